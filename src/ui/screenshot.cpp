#include "ui/screenshot.h"

#include <QApplication>
#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/preview_pane.h"

namespace geoplait::ui {

namespace {

// Lets the window lay itself out and paint.
void Settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

bool SavePicture(QWidget& widget, const QString& path) { return widget.grab().save(path, "PNG"); }

using DialogCall = bool (*)(QWidget*, Settings&);
struct DialogShot {
    const char* file;
    DialogCall open;
    const char* language;  // nullptr: the window's (English)
};
constexpr DialogShot kDialogShots[] = {
    {"input-items.png", &ExecInputItemDialog, nullptr}, {"output-items.png", &ExecOutputItemDialog, nullptr},
    {"photo.png", &ExecPhotoDialog, nullptr},           {"offset.png", &ExecOffsetDialog, nullptr},
    {"group-line.png", &ExecGroupLineDialog, nullptr},  {"speed-range.png", &ExecSpeedRangeDialog, nullptr},
    {"photo-ja.png", &ExecPhotoDialog, "日本語"},       {"speed-range-ko.png", &ExecSpeedRangeDialog, "한국"},
};

// A made-up walk of three legs with breaks between them, so that the
// preview shows three line groups, placemarks and both ends.
std::string WriteDemoLog(const QString& path) {
    std::ofstream log(path.toStdString(), std::ios::binary);
    auto sentence = [&log](const std::string& body) {
        unsigned char sum = 0;
        for (char c : body) sum = static_cast<unsigned char>(sum ^ static_cast<unsigned char>(c));
        char tail[8];
        std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
        log << '$' << body << tail;
    };
    int seconds = 0;
    for (int leg = 0; leg < 3; ++leg) {
        for (int i = 0; i < 120; ++i, seconds += 5) {
            const double t = leg * 120 + i;
            const double north = 40.0 + 1.2 * std::sin(t / 60.0) + 0.002 * t;
            const double east = 46.0 + 0.01 * t + 0.3 * std::sin(t / 23.0);
            char time[32], lat[32], lon[32];
            std::snprintf(time, sizeof time, "%02d%02d%02d.00", 3 + seconds / 3600, seconds / 60 % 60, seconds % 60);
            std::snprintf(lat, sizeof lat, "35%07.4f", north);
            std::snprintf(lon, sizeof lon, "139%07.4f", east);
            sentence(std::string("GPRMC,") + time + ",A," + lat + ",N," + lon + ",E,3.1,80.0,150424,,,A");
            sentence(std::string("GPGGA,") + time + "," + lat + ",N," + lon + ",E,1,08,0.9,38.2,M,36.7,M,,");
        }
        seconds += 900;
    }
    return path.toStdString();
}

bool TakePreviewPicture(MainWindow& window, const QString& file) {
    Settings& settings = window.settings();
    const Settings before = settings;
    ConvertSettings& s = settings.current;
    s.Mode = "nmea(log) -> kml";
    s.InputFile = WriteDemoLog(QDir::current().filePath("demo.log"));
    s.LineDistanceSec = "300";
    s.Placemark = 1;
    s.Interval = "30";
    s.PosType = 0;
    s.SpeedGroup = 0;
    window.ApplyModeLayout();
    window.findChild<QPushButton*>("preview")->click();
    PreviewPane* pane = window.Preview();
    QElapsedTimer clock;
    clock.start();
    Settle(300);
    while (pane->IsReading() && clock.elapsed() < 20000) Settle(50);
    Settle(300);
    const bool ok = SavePicture(*pane, file);
    pane->close();
    settings = before;
    window.ApplyModeLayout();
    return ok;
}

}  // namespace

int TakeScreenshots(MainWindow& window, const QString& dir) {
    QDir().mkpath(dir);
    bool ok = true;
    const std::pair<const char*, const char*> languages[] = {{"English", "main.png"},
                                                             {"日本語", "main-ja.png"}};
    // Its natural size, as the program opens it.
    if (const QScreen* screen = window.screen()) {
        window.resize(window.sizeHint().boundedTo(screen->availableGeometry().size()));
    }
    window.show();
    for (const auto& [language, file] : languages) {
        window.settings().current.Language = language;
        window.ApplyModeLayout();
        Settle(400);
        ok = SavePicture(window, dir + "/" + file) && ok;
    }
    // The window filling small screens: the panels scroll, the rest stays whole.
    const std::pair<QSize, const char*> screens[] = {{QSize(1024, 768), "main-1024x768.png"},
                                                     {QSize(1280, 720), "main-1280x720.png"}};
    window.settings().current.Language = "English";
    window.ApplyModeLayout();
    const QSize natural = window.size();
    for (const auto& [screen, file] : screens) {
        window.resize(screen);
        Settle(400);
        ok = SavePicture(window, dir + "/" + file) && ok;
    }
    window.resize(natural);
    Settle(200);
    for (const DialogShot& shot : kDialogShots) {
        // The dialog is modal: a timer takes its picture and leaves it with
        // Cancel, and answers any message box that follows.
        bool taken = false;
        QTimer grabber;
        QObject::connect(&grabber, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == &window) return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->buttons().front()->click();
                return;
            }
            if (!taken) ok = SavePicture(*modal, dir + "/" + shot.file) && ok;
            taken = true;
            auto* buttons = modal->findChild<QDialogButtonBox*>();
            if (QPushButton* cancel = buttons != nullptr ? buttons->button(QDialogButtonBox::Cancel) : nullptr;
                cancel != nullptr && cancel->isVisible()) {
                cancel->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        });
        grabber.start(500);
        Settings copy = window.settings();
        if (shot.language != nullptr) copy.current.Language = shot.language;
        shot.open(&window, copy);
        grabber.stop();
    }
    ok = TakePreviewPicture(window, dir + "/preview.png") && ok;
    return ok ? 0 : 1;
}

}  // namespace geoplait::ui
