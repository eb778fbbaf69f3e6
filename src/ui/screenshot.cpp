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
#include <QTimer>

#include "ui/dialogs.h"
#include "ui/main_window.h"

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
};
constexpr DialogShot kDialogShots[] = {
    {"input-items.png", &ExecInputItemDialog}, {"output-items.png", &ExecOutputItemDialog},
    {"photo.png", &ExecPhotoDialog},           {"offset.png", &ExecOffsetDialog},
    {"group-line.png", &ExecGroupLineDialog},  {"speed-range.png", &ExecSpeedRangeDialog},
};

}  // namespace

int TakeScreenshots(MainWindow& window, const QString& dir) {
    QDir().mkpath(dir);
    bool ok = true;
    const std::pair<const char*, const char*> languages[] = {{"English", "main.png"},
                                                             {"日本語", "main-ja.png"}};
    window.show();
    for (const auto& [language, file] : languages) {
        window.settings().current.Language = language;
        window.ApplyModeLayout();
        Settle(400);
        ok = SavePicture(window, dir + "/" + file) && ok;
    }
    window.settings().current.Language = "English";
    window.ApplyModeLayout();
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
        shot.open(&window, copy);
        grabber.stop();
    }
    return ok ? 0 : 1;
}

}  // namespace geoplait::ui
