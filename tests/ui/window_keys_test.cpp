// Keys that must not lose work and results that stay readable: Esc, the
// keyboard on the mode combo, a typed input path across mode changes,
// Default's question, the status line after a run, Open and Folder.
#include <QAbstractItemView>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <fstream>

#include "settings/settings_file.h"
#include "ui/main_window.h"
#include "window_lookup.h"

using geoplait::ConvertSettings;
using geoplait::Settings;
using geoplait::ui::MainWindow;

namespace {

// Answers every message box the window shows, recording "caption: text".
class ModalAnswerer {
public:
    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            shown << box->windowTitle() + ": " + box->text();
            QAbstractButton* button = box->button(answer_);
            (button != nullptr ? button : box->button(QMessageBox::Ok))->click();
        });
        timer_.start(10);
    }
    QStringList shown;

private:
    QMessageBox::StandardButton answer_;
    QTimer timer_;
};

}  // namespace

class WindowKeysTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    Settings settings_;
    std::unique_ptr<MainWindow> window_;

    template <typename T>
    T* Find(const QString& name) {
        return geoplait::ui::test::FindControl<T>(window_.get(), name);
    }
    void Start(const std::string& mode) {
        window_.reset();
        settings_ = Settings{};
        settings_.startDir = dir_.path().toStdString();
        geoplait::SetDefaultSettings(settings_);
        geoplait::ApplyBaselineSettings(settings_);
        settings_.current.Mode = mode;
        settings_.current.Language = "English";
        settings_.current.Tokyo2WGS84 = 1;
        settings_.current.Placemark = 0;
        settings_.current.InputFile = "/t/x.nmea";
        settings_.current.OutputFile = "/t/x.kml";
        window_ = std::make_unique<MainWindow>(settings_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    // The settings the window holds, as the settings file would have them.
    ConvertSettings Held() {
        window_->CollectDialogSettings();
        return settings_.current;
    }

private slots:
    void cleanup() { window_.reset(); }

    // Esc in the window itself does nothing; with the mode list open it
    // closes the list and nothing more.
    void escClosesOnlyWhatIsOpen() {
        Start("nmea(log) -> kml");
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(window_->isVisible());

        auto* mode = Find<QComboBox>("mode");
        mode->setFocus();
        mode->showPopup();
        QTRY_VERIFY(mode->view()->isVisible());
        QTest::keyClick(mode->view(), Qt::Key_Escape);
        QTRY_VERIFY(!mode->view()->isVisible());
        QTest::qWait(50);
        QVERIFY(window_->isVisible());
        QCOMPARE(mode->currentText(), QString("nmea(log) -> kml"));
    }

    // Down then Up on the closed combo passes "nmea(log) -> pot" (which turns
    // Tokyo -> WGS84 off and Placemark on) and comes back: the settings are
    // those a mouse pick of the starting mode leaves.
    void keyStepsApplyTheRulesOnce_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("end");
        QTest::newRow("down up") << "nmea(log) -> kml" << QList<int>{Qt::Key_Down, Qt::Key_Up} << "nmea(log) -> kml";
        QTest::newRow("down down") << "nmea(log) -> kml" << QList<int>{Qt::Key_Down, Qt::Key_Down}
                                   << "nmea(log) -> gpx";
        QTest::newRow("pot and back") << "gpx -> kml" << QList<int>{Qt::Key_Down, Qt::Key_Up} << "gpx -> kml";
    }
    void keyStepsApplyTheRulesOnce() {
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QString, end);
        Start(start.toStdString());
        ConvertSettings before = Held();
        auto* mode = Find<QComboBox>("mode");
        mode->setFocus();
        QTRY_VERIFY(mode->hasFocus());
        for (int key : keys) QTest::keyClick(mode, static_cast<Qt::Key>(key));
        QCOMPARE(mode->currentText(), end);
        const ConvertSettings byKeys = Held();

        Start(start.toStdString());
        geoplait::ui::test::ChooseText(Find<QComboBox>("mode"), end);
        const ConvertSettings byMouse = Held();
        QCOMPARE(byKeys.Tokyo2WGS84, byMouse.Tokyo2WGS84);
        QCOMPARE(byKeys.Placemark, byMouse.Placemark);
        QCOMPARE(byKeys.InputFile, byMouse.InputFile);
        QVERIFY(byKeys == byMouse);
        if (end == start) QCOMPARE(byKeys.Tokyo2WGS84, before.Tokyo2WGS84);
    }

    // Separate picks from the list still build on each other.
    void picksFollowEachOther() {
        Start("nmea(log) -> kml");
        geoplait::ui::test::ChooseText(Find<QComboBox>("mode"), "nmea(log) -> pot");
        geoplait::ui::test::ChooseText(Find<QComboBox>("mode"), "nmea(log) -> kml");
        QCOMPARE(Held().Tokyo2WGS84, 0);
        QCOMPARE(Held().Placemark, 1);
    }

    // A typed path keeps its name while its extension fits the new input.
    void typedPathKeepsAFittingExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("want");
        QTest::newRow("nmea") << "/t/x.nmea" << "nmea(log) -> gpx" << "/t/x.nmea";
        QTest::newRow("NMEA capitals") << "/t/x.NMEA" << "nmea(log) -> pot" << "/t/x.NMEA";
        QTest::newRow("txt") << "/t/x.txt" << "nmea(log) -> gpx" << "/t/x.txt";
        QTest::newRow("log") << "/t/x.log" << "Photo(Only) -> kml" << "/t/x.log";
        QTest::newRow("nmea to gpx input") << "/t/x.nmea" << "gpx -> kml" << "/t/x.gpx";
        QTest::newRow("txt to csv input") << "/t/x.txt" << "csv(Full) -> kml" << "/t/x.csv";
        QTest::newRow("no extension") << "/t/x" << "nmea(log) -> gpx" << "/t/x.log";
        QTest::newRow("bare dot") << "/t/x." << "nmea(log) -> gpx" << "/t/x.log";
        QTest::newRow("gpx kept") << "/t/x.gpx" << "gpx -> pot" << "/t/x.gpx";
    }
    void typedPathKeepsAFittingExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, mode);
        QFETCH(QString, want);
        Start("nmea(log) -> kml");
        auto* input = Find<QLineEdit>("inputFile");
        input->clear();
        QTest::keyClicks(input, typed);
        geoplait::ui::test::ChooseText(Find<QComboBox>("mode"), mode);
        QCOMPARE(input->text(), want);
        QCOMPARE(QString::fromStdString(settings_.current.InputFile), want);
    }

    // Every switch shows when it has the keyboard: flat ones and colour swatches included.
    void focusShows_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"autoLoad", "autoSave", "theme1", "theme3", "trackSwatch", "create"}) {
            QTest::newRow(name) << name;
        }
    }
    void focusShows() {
        QFETCH(QString, name);
        Start("nmea(log) -> kml");
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto* button = Find<QPushButton>(name);
        // Focus frames are drawn once the keyboard has moved the focus.
        Find<QPushButton>("load")->setFocus();
        QTest::keyClick(window_.get(), Qt::Key_Tab);
        Find<QPushButton>("load")->setFocus();
        QTRY_VERIFY(!button->hasFocus());
        const QImage before = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(button->hasFocus());
        const QImage after = button->grab().toImage();
        QCOMPARE(after.size(), before.size());
        int changed = 0;
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) changed += before.pixel(x, y) != after.pixel(x, y);
        }
        QVERIFY2(changed >= before.width(), qPrintable(QString::number(changed)));
    }

    // Closing a dialog gives the keyboard back to the button that opened it;
    // a dialog opens with it on its first control, not on OK.
    void dialogsGiveFocusBack_data() {
        QTest::addColumn<QString>("opener");
        for (const char* name : {"positionOffset", "group", "photoConfig", "inputItem", "outputItem"}) {
            QTest::newRow(name) << name;
        }
    }
    void dialogsGiveFocusBack() {
        QFETCH(QString, opener);
        Start("nmea(log) -> kml");
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        settings_.current.Photo = 1;
        window_->ApplyModeLayout();
        if (opener == "inputItem" || opener == "outputItem") {
            geoplait::ui::test::ChooseText(Find<QComboBox>("mode"), "csv(Custom) -> csv(Custom)");
        }
        auto* button = Find<QPushButton>(opener);
        QVERIFY(button->isVisible() && button->isEnabled());
        button->setFocus();
        QString focused;
        QTimer::singleShot(100, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            QWidget* at = dialog->focusWidget();
            focused = at != nullptr ? at->metaObject()->className() + QString(" ") + at->objectName() : "none";
            if (auto* push = qobject_cast<QPushButton*>(at)) focused += " " + push->text();
            for (QPushButton* push : dialog->findChildren<QPushButton*>()) {
                if (push->text().remove('&') == "Cancel") push->click();
            }
        });
        button->click();
        QVERIFY2(!focused.isEmpty() && !focused.endsWith("OK") && focused != "none", qPrintable(focused));
        QTRY_VERIFY(button->hasFocus());
    }

    // A greyed edit (it still takes typing) tells a screen reader it is unavailable.
    void greyedSaysUnavailable() {
        Start("nmea(log) -> kml");
        auto* include = Find<QAbstractButton>("includeData");
        if (include->isChecked()) include->click();
        auto* start = Find<QLineEdit>("recordStart");
        QVERIFY(start->property("greyed").toBool());
        QCOMPARE(start->accessibleDescription(), QString("unavailable (not used with these settings)"));
        include->click();
        QVERIFY(!start->property("greyed").toBool());
        QCOMPARE(start->accessibleDescription(), QString());
        QCOMPARE(Find<QPushButton>("f")->accessibleDescription(), QString("Output named after the input file"));
    }

    // Default asks first: Cancel keeps every setting, OK resets them.
    void defaultAsksFirst() {
        Start("nmea(log) -> kml");
        Find<QLineEdit>("kmlName")->setText("Kept");
        {
            ModalAnswerer answers(QMessageBox::Cancel);
            Find<QPushButton>("default")->click();
            QCOMPARE(answers.shown, QStringList{"Default: Reset every setting to its default?"});
        }
        QCOMPARE(Find<QLineEdit>("kmlName")->text(), QString("Kept"));
        QCOMPARE(Held().Tokyo2WGS84, 1);
        {
            ModalAnswerer answers(QMessageBox::Ok);
            Find<QPushButton>("default")->click();
            QCOMPARE(answers.shown.size(), 1);
        }
        QCOMPARE(Held().Tokyo2WGS84, 0);
        QVERIFY(Find<QLineEdit>("kmlName")->text() != QString("Kept"));
    }

    // In Japanese the question is Japanese.
    void defaultAsksInTheLanguage() {
        Start("nmea(log) -> kml");
        geoplait::ui::test::ChooseText(Find<QComboBox>("language"), QString::fromUtf8("日本語"));
        ModalAnswerer answers(QMessageBox::Cancel);
        Find<QPushButton>("default")->click();
        QCOMPARE(answers.shown, QStringList{QString::fromUtf8("初期値: すべての設定を初期値に戻しますか？")});
    }

    // After a run the status line keeps its result once the box is closed;
    // Open says so when the desktop cannot open the output, and Open and
    // Folder go when the output changes.
    void resultStaysAndOpenSaysWhyNot() {
        Start("nmea(log) -> pot");
        const QString input = dir_.filePath("walk.log");
        {
            std::ofstream log(input.toStdString(), std::ios::binary);
            for (int i = 0; i < 45; ++i) {
                log << "$GPRMC,0315" << (10 + i) << ".00,A,3540.8742,N,13946.0275,E,2.52,259.9,150424,,,A\n";  // times vary: no checksum
            }
        }
        Find<QLineEdit>("inputFile")->setText(input);
        Find<QLineEdit>("outputFile")->setText(dir_.filePath("walk.pot"));
        {
            ModalAnswerer answers;
            Find<QPushButton>("create")->click();
            QTRY_VERIFY_WITH_TIMEOUT(!window_->IsRunning(), 30000);
            QCOMPARE(answers.shown.size(), 1);
        }
        QCOMPARE(Find<QLabel>("status")->text(), QString("Complete Record=45/45"));
        QCOMPARE(Find<QProgressBar>("progress")->accessibleDescription(), QString("Complete Record=45/45"));
        QTest::qWait(50);
        QCOMPARE(Find<QLabel>("status")->text(), QString("Complete Record=45/45"));

        QStringList opened;
        window_->SetUrlOpener([&](const QUrl& url) {
            opened << url.toLocalFile();
            return false;
        });
        QVERIFY(Find<QPushButton>("openOutput")->isVisibleTo(window_.get()));
        {
            ModalAnswerer answers;
            Find<QPushButton>("openOutput")->click();
            QCOMPARE(answers.shown, QStringList{"Open: No application could open " + dir_.filePath("walk.pot")});
        }
        QCOMPARE(opened, QStringList{dir_.filePath("walk.pot")});
        Find<QLineEdit>("outputFile")->setText(dir_.filePath("other.pot"));
        QVERIFY(!Find<QPushButton>("openOutput")->isVisibleTo(window_.get()));
        QVERIFY(!Find<QPushButton>("showFolder")->isVisibleTo(window_.get()));

        // A failed run leaves its problem there.
        Find<QLineEdit>("inputFile")->setText(dir_.filePath("missing.log"));
        {
            ModalAnswerer answers;
            Find<QPushButton>("create")->click();
            QTRY_VERIFY_WITH_TIMEOUT(!window_->IsRunning(), 30000);
        }
        QCOMPARE(Find<QLabel>("status")->text(), QString("Input File Not Found.."));
        QVERIFY(!Find<QPushButton>("openOutput")->isVisibleTo(window_.get()));
    }
};

QTEST_MAIN(WindowKeysTest)
#include "window_keys_test.moc"
