// The window as assistive technology and the keyboard reach it: check-box
// rules on toggle() as on click(), buddies for every combo, the message lines
// read by their text, Enter and Alt+letter; the automatic save after a run;
// and the window's size following the layout.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

#include "settings/settings_file.h"
#include "ui/dialogs.h"
#include "window_lookup.h"
#include "ui/main_window.h"

using geoplait::Settings;
using geoplait::ui::MainWindow;

namespace {

// Answers every message box the window shows with OK, recording "caption: text".
class ModalAnswerer {
public:
    ModalAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            shown << box->windowTitle() + ": " + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start(10);
    }
    QStringList shown;

private:
    QTimer timer_;
};

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every combo of `root` has a label naming it through Qt's buddy relation
// (what Qt reports to AT-SPI), and an editable combo's edit too.
void VerifyComboBuddies(const QWidget& root) {
    const QList<QComboBox*> combos = root.findChildren<QComboBox*>();
    QVERIFY(!combos.isEmpty());
    for (QComboBox* combo : combos) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(combo);
        const auto labels = face->relations(QAccessible::Label);
        QVERIFY2(!labels.isEmpty(), qPrintable(combo->objectName()));
        QVERIFY2(!labels.front().first->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(combo->objectName()));
        if (combo->lineEdit() != nullptr) {
            QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(combo->lineEdit());
            QVERIFY2(!edit->relations(QAccessible::Label).isEmpty(), qPrintable(combo->objectName()));
            QVERIFY(!edit->text(QAccessible::Name).isEmpty());
        }
    }
}

// One rule-bearing switch: after it is flipped, `dependent` shows `property`
// ("enabled", "greyed" or "checked") as the switch is checked (or the opposite).
struct RuleRow {
    const char* box;
    const char* dependent;
    const char* property;
    bool same;
    std::function<int(const Settings&)> setting;  // what the switch keeps
};

const RuleRow kRules[] = {
    {"includeData", "recordStart", "greyed", false, [](const Settings& s) { return s.current.IncludeData; }},
    {"dateFilter", "startDate", "greyed", false, [](const Settings& s) { return s.current.IncludeData_date; }},
    {"altitude", "vLine", "enabled", true, [](const Settings& s) { return s.current.Altitude; }},
    {"photo", "photoDir", "enabled", true, [](const Settings& s) { return s.current.Photo; }},
    {"track", "lineWidth", "enabled", true, [](const Settings& s) { return s.current.TrackLine; }},
    {"placemark", "iconSize", "greyed", false, [](const Settings& s) { return s.current.Placemark; }},
    {"posType", "posTypeCombo", "enabled", true, [](const Settings& s) { return s.current.PosType; }},
    {"posDistance", "posDistanceEdit", "greyed", false, [](const Settings& s) { return s.current.PosDistance; }},
    {"iconUrl", "iconUrlEdit", "greyed", false, [](const Settings& s) { return s.current.PosIconUrl; }},
    {"speedGroup", "speed", "enabled", true, [](const Settings& s) { return s.current.SpeedGroup; }},
    {"splitDate", "lineDistanceSec", "empty", true, [](const Settings& s) { return s.current.TrackGroupDate; }},
    {"autoSave", "autoSave", "checked", true, [](const Settings& s) { return s.config.AutoSave == "1" ? 1 : 0; }},
    {"autoLoad", "autoLoad", "checked", true, [](const Settings& s) { return s.config.AutoLoad == "1" ? 1 : 0; }},
};

}  // namespace

class WindowAccessTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    Settings settings_;
    std::unique_ptr<MainWindow> window_;

    template <typename T>
    T* Find(const QString& name) {
        return geoplait::ui::test::FindControl<T>(window_.get(), name);
    }
    void Choose(const QString& combo, const QString& text) { geoplait::ui::test::ChooseText(Find<QComboBox>(combo), text); }
    void Start(const std::string& mode) {
        window_.reset();
        settings_ = Settings{};
        settings_.startDir = dir_.path().toStdString();
        geoplait::SetDefaultSettings(settings_);
        geoplait::ApplyBaselineSettings(settings_);
        settings_.current.Mode = mode;
        settings_.current.Placemark = 1;
        settings_.current.TrackLine = 1;
        settings_.current.LineDistanceSec = "120";
        window_ = std::make_unique<MainWindow>(settings_);
        window_->show();
    }
    // What every control shows and the settings file the window would write.
    QStringList Snapshot() {
        QStringList state;
        for (const QWidget* w : window_->findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
            const auto* button = qobject_cast<const QAbstractButton*>(w);
            const auto* edit = qobject_cast<const QLineEdit*>(w);
            state << QString("%1 %2 %3 %4 %5")
                         .arg(w->objectName())
                         .arg(w->isEnabled())
                         .arg(w->property("greyed").toBool())
                         .arg(button != nullptr && button->isChecked())
                         .arg(edit != nullptr ? edit->text() : QString());
        }
        window_->CollectDialogSettings();
        std::tm when{};
        state << QString::fromStdString(geoplait::SettingsFileText(settings_, when));
        return state;
    }
    bool Property(const QString& name, const QString& property) {
        QWidget* w = Find<QWidget>(name);
        if (property == "greyed") return w->property("greyed").toBool();
        if (property == "checked") return qobject_cast<QAbstractButton*>(w)->isChecked();
        if (property == "empty") return qobject_cast<QLineEdit*>(w)->text().isEmpty();
        return w->isEnabled();
    }
    QString SettingsFile() { return dir_.filePath("geoplait.ini"); }

private slots:
    void cleanup() { window_.reset(); }

    // Each rule-bearing switch flipped with toggle() (what AT-SPI's Toggle
    // action does) and with click() leaves the window and its settings alike.
    void toggleAsClick_data() {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < std::size(kRules); ++i) QTest::newRow(kRules[i].box) << static_cast<int>(i);
    }
    void toggleAsClick() {
        QFETCH(int, row);
        const RuleRow& rule = kRules[row];
        QStringList after[2];
        for (int way = 0; way < 2; ++way) {
            Start("nmea(log) -> kml");
            auto* box = Find<QAbstractButton>(rule.box);
            const bool before = box->isChecked();
            if (way == 0) {
                box->toggle();
            } else {
                box->click();
            }
            QCOMPARE(box->isChecked(), !before);
            QCOMPARE(Property(rule.dependent, rule.property), rule.same == box->isChecked());
            QCOMPARE(rule.setting(settings_), box->isChecked() ? 1 : 0);
            after[way] = Snapshot();
        }
        QCOMPARE(after[0], after[1]);
    }

    // Toggled through assistive technology, "Type" then "Distance()" leaves
    // only "Distance()" checked and saved.
    void typeThenDistanceToggled() {
        Start("nmea(log) -> kml");
        Find<QCheckBox>("posType")->toggle();
        Find<QCheckBox>("posDistance")->toggle();
        QVERIFY(!Find<QCheckBox>("posType")->isChecked());
        QCOMPARE(settings_.current.PosType, 0);
        QCOMPARE(settings_.current.PosDistance, 1);
    }

    // Settings shown after Load are shown as they are: no rule runs on them.
    void loadShowsFileAsItIs() {
        Start("nmea(log) -> kml");
        settings_.current.PosType = 1;
        settings_.current.PosDistance = 1;
        settings_.current.TrackGroupDate = 1;
        settings_.current.LineDistanceSec = "300";
        window_->ApplyModeLayout();
        QVERIFY(Find<QCheckBox>("posType")->isChecked());
        QVERIFY(Find<QCheckBox>("posDistance")->isChecked());
        QCOMPARE(Find<QLineEdit>("lineDistanceSec")->text(), QString("300"));
        QCOMPARE(settings_.current.PosType, 1);
        QCOMPARE(settings_.current.PosDistance, 1);
    }

    void combosHaveBuddies() {
        Start("nmea(log) -> kml");
        VerifyComboBuddies(*window_);
        QAccessibleInterface* vline =
            QAccessible::queryAccessibleInterface(Find<QComboBox>("vLineTransparency"));
        QCOMPARE(vline->relations(QAccessible::Label).front().first->text(QAccessible::Name),
                 QString("Vertical-line transparency"));
        using Exec = bool (*)(QWidget*, Settings&);
        for (Exec open : {Exec{&geoplait::ui::ExecInputItemDialog}, Exec{&geoplait::ui::ExecPhotoDialog},
                          Exec{&geoplait::ui::ExecGroupLineDialog}}) {
            int seen = 0;
            ModalAnswerer notices;  // the notice some dialogs show after Esc
            QTimer checker;
            QObject::connect(&checker, &QTimer::timeout, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr || seen > 0) return;
                seen = static_cast<int>(dialog->findChildren<QComboBox*>().size());
                VerifyComboBuddies(*dialog);
                dialog->reject();
            });
            checker.start(20);
            Settings copy = settings_;
            open(window_.get(), copy);
            QVERIFY(seen >= 2);
        }
    }

    void linesReadByTheirText() {
        Start("nmea(log) -> kml");
        Choose("language", "English");  // the descriptions follow the language
        window_->SetMessageLine(" ***** Processing *****");
        window_->SetStatusLine("Complete");
        const std::pair<const char*, const char*> lines[] = {{"message", "Message"}, {"status", "Status"}};
        for (const auto& [name, description] : lines) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Find<QLabel>(name));
            QCOMPARE(face->text(QAccessible::Name), Find<QLabel>(name)->text());
            QCOMPARE(face->text(QAccessible::Description), QString(description));
        }
    }

    // Enter on a focused button presses it, as Space does.
    void enterPressesFocusedButton() {
        Start("nmea(log) -> kml");
        window_->activateWindow();
        auto* autoLoad = Find<QPushButton>("autoLoad");
        const bool before = autoLoad->isChecked();
        autoLoad->setFocus();
        QTest::keyClick(autoLoad, Qt::Key_Return);
        QTRY_COMPARE(autoLoad->isChecked(), !before);
        QCOMPARE(settings_.config.AutoLoad, std::string(before ? "0" : "1"));
        QTest::keyClick(autoLoad, Qt::Key_Enter);
        QTRY_COMPARE(autoLoad->isChecked(), before);
    }

    // The buttons with mnemonics have one each, unique in the window, in every language.
    void mnemonicsUnique_data() {
        QTest::addColumn<QString>("language");
        for (const char* language : {"日本語", "English", "汉语(簡)", "國語(繁)", "한국"}) {
            QTest::newRow(language) << QString::fromUtf8(language);
        }
    }
    void mnemonicsUnique() {
        QFETCH(QString, language);
        Start("nmea(log) -> kml");
        Choose("language", language);
        QMap<QChar, QString> owners;
        for (const QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
            const QString text = button->text();
            const qsizetype at = text.indexOf('&');
            if (at < 0 || at + 1 >= text.size()) continue;
            const QChar letter = text.at(at + 1).toUpper();
            QVERIFY2(!owners.contains(letter), qPrintable(button->objectName() + " " + owners.value(letter)));
            owners[letter] = button->objectName();
        }
        for (const char* name : {"create", "cancel", "load", "save", "default", "end", "inputSearch",
                                 "outputSearch", "photoSearch"}) {
            QVERIFY2(owners.values().contains(name), name);
        }
        if (language != "English") QVERIFY(Find<QPushButton>("create")->text().endsWith("(&C)"));
    }

    // A save made during a run is what the file holds after the run: the
    // automatic save comes after the run with the window's own settings.
    void saveDuringRunIsKept_data() {
        QTest::addColumn<bool>("autoStaysOn");
        QTest::newRow("Auto. switched off, Save") << false;
        QTest::newRow("Auto. left on") << true;
    }
    void saveDuringRunIsKept() {
        QFETCH(bool, autoStaysOn);
        Start("nmea(log) -> pot");
        const QString input = dir_.filePath("walk.log");
        {
            std::ofstream log(input.toStdString(), std::ios::binary);
            for (int i = 0; i < 300; ++i) {
                log << "$GPRMC,0315" << (10 + i % 50)
                    << ".00,A,3540.8742,N,13946.0275,E,2.52,259.9,150424,,,A\n";  // times vary: no checksum
            }
        }
        settings_.config.AutoSave = "1";
        settings_.current.InputFile = input.toStdString();
        settings_.current.OutputFile = dir_.filePath("walk.pot").toStdString();
        settings_.current.Name = "Before";
        window_->ApplyModeLayout();
        QFile::remove(SettingsFile());
        ModalAnswerer answers;
        QSemaphore release;
        std::atomic<bool> held{false};
        window_->SetProgressObserver([&](const geoplait::RunProgress& p) {
            if (p.records != 100) return;
            held = true;
            release.acquire();
        });
        Find<QPushButton>("create")->click();
        QTRY_VERIFY_WITH_TIMEOUT(held.load(), 30000);
        Find<QLineEdit>("kmlName")->setText("During");
        if (!autoStaysOn) {
            Find<QPushButton>("autoSave")->click();
            Find<QPushButton>("save")->click();
        }
        const std::string saved = ReadAll(SettingsFile());
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!window_->IsRunning(), 30000);
        const std::string after = ReadAll(SettingsFile());
        QVERIFY(after.find("Name=During") != std::string::npos);
        QVERIFY(after.find("Name=Before") == std::string::npos);
        QVERIFY(after.find(autoStaysOn ? "AutoSave=1" : "AutoSave=0") != std::string::npos);
        if (!autoStaysOn) QCOMPARE(after, saved);
        QCOMPARE(settings_.config.AutoSave, std::string(autoStaysOn ? "1" : "0"));
    }

    // After a mode with fewer groups the window shrinks to fit; widened,
    // the path edits take the room.
    void sizeFollowsLayout() {
        Start("nmea(log) -> kml");
        window_->resize(window_->sizeHint());
        QTest::qWait(50);
        const QSize full = window_->size();
        Choose("mode", "nmea(log) -> nmea(log)");
        QTRY_VERIFY(window_->width() < full.width() || window_->height() < full.height());
        QVERIFY(window_->width() <= full.width() && window_->height() <= full.height());

        Choose("mode", "nmea(log) -> kml");
        window_->resize(window_->sizeHint());
        QTest::qWait(50);
        const int photoDir = Find<QLineEdit>("photoDir")->width();
        const int iconUrl = Find<QLineEdit>("iconUrlEdit")->width();
        window_->resize(window_->width() + 400, window_->height());
        // Most of the room goes to the two middle columns.
        QTRY_VERIFY(Find<QLineEdit>("photoDir")->width() > photoDir + 150);
        QVERIFY(Find<QLineEdit>("iconUrlEdit")->width() > iconUrl + 150);
    }

    // The "Label Size" edit has room for its number in every language.
    void labelSizeWidth_data() { mnemonicsUnique_data(); }
    void labelSizeWidth() {
        QFETCH(QString, language);
        Start("nmea(log) -> kml");
        Choose("language", language);
        window_->resize(window_->sizeHint());
        QTest::qWait(50);
        auto* edit = Find<QLineEdit>("labelSize");
        QVERIFY2(edit->width() >= 7 * edit->fontMetrics().averageCharWidth(), qPrintable(QString::number(edit->width())));
    }
};

QTEST_MAIN(WindowAccessTest)
#include "window_access_test.moc"
