// geoplait: the converter's window. Start-up: the settings as both programs
// load them (LoadStartupSettings), then the window.
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>

#include <expat.h>

#include <atomic>
#include <cstdio>
#include <string_view>

#include "base/signal_watch.h"
#include "base/temporary_files.h"
#include "settings/convert_settings.h"
#include "settings/settings_file.h"
#include "settings/startup_settings.h"
#include "ui/dialog_frame.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/screenshot.h"

namespace {

// Messages of the settings file before the window exists, their buttons in
// the language of the settings read so far.
class StartupUi : public geoplait::UserInterface {
public:
    explicit StartupUi(const geoplait::Settings& settings) : settings_(settings) {}
    void Show(const geoplait::NoticeText& notice) override {
        QMessageBox box(QMessageBox::Information, QString::fromStdString(notice.caption),
                        QString::fromStdString(notice.text), QMessageBox::Ok);
        geoplait::ui::LabelStandardButtons(box, geoplait::ui::LanguageIndex(settings_.current.Language));
        box.exec();
    }
    bool Ask(const geoplait::NoticeText& question) override {
        QMessageBox box(QMessageBox::Question, QString::fromStdString(question.caption),
                        QString::fromStdString(question.text), QMessageBox::Ok | QMessageBox::Cancel);
        geoplait::ui::LabelStandardButtons(box, geoplait::ui::LanguageIndex(settings_.current.Language));
        return box.exec() == QMessageBox::Ok;
    }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}

private:
    const geoplait::Settings& settings_;
};

// SIGINT, SIGTERM and SIGHUP: the first closes the window as its close button
// does (a run under way is cancelled first: it removes its temporary files
// and keeps the earlier outputs; an open message box is answered Cancel); a
// second removes the temporary files of the process and ends it at once.
void OnSignal(int count, std::atomic<geoplait::ui::MainWindow*>& window) {
    geoplait::ui::MainWindow* shown = window.load();
    if (count == 1 && shown != nullptr) {
        QMetaObject::invokeMethod(
            shown,
            [shown] {
                shown->close();
                if (QWidget* box = QApplication::activeModalWidget()) box->close();
            },
            Qt::QueuedConnection);
        return;
    }
    geoplait::RemoveRegisteredTemporaries();
    _exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    // The versions, without a display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("geoplait %s\nQt %s\n%s\n", geoplait::kVersionText, qVersion(), XML_ExpatVersion());
        return 0;
    }
    // Before any thread starts, so that every thread leaves the signals to the watch.
    std::atomic<geoplait::ui::MainWindow*> shownWindow{nullptr};
    geoplait::SignalWatch signalWatch([&shownWindow](int count) { OnSignal(count, shownWindow); });
    QApplication app(argc, argv);
    QApplication::setApplicationName("geoplait");
    QApplication::setApplicationVersion(geoplait::kVersionText);
    QApplication::setDesktopFileName("geoplait");

    geoplait::Settings settings;
    StartupUi startupUi(settings);
    geoplait::LoadStartupSettings(settings, startupUi, geoplait::StartupDirectory());

    geoplait::ui::MainWindow window(settings);
    const QStringList arguments = QApplication::arguments();
    if (const qsizetype at = arguments.indexOf("--screenshot"); at >= 0 && at + 1 < arguments.size()) {
        return geoplait::ui::TakeScreenshots(window, arguments.at(at + 1));
    }
    // Its natural size, but never more than the screen has room for.
    if (const QScreen* screen = window.screen()) {
        window.resize(window.sizeHint().boundedTo(screen->availableGeometry().size()));
    }
    window.show();
    shownWindow = &window;
    const int status = QApplication::exec();
    shownWindow = nullptr;
    return status;
}
