// The main window on the offscreen platform: mode changes, the file commands,
// the per-mode layout, the check-box rules, colours, the date split, the
// languages, keyboard and screen-reader access, and whole runs on the worker
// thread with progress, completion and Cancel.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <fstream>
#include <sstream>

#include "settings/settings_file.h"
#include "ui/main_window.h"
#include "window_lookup.h"

using geoplait::Rgb;
using geoplait::Settings;
using geoplait::ui::MainWindow;

namespace {

// Answers every message box the window shows, recording "caption: text".
class ModalAnswerer {
public:
    ModalAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            shown << box->windowTitle() + ": " + box->text();
            box->button(box->button(QMessageBox::Cancel) != nullptr && !answerOk ? QMessageBox::Cancel
                                                                                 : QMessageBox::Ok)
                ->click();
        });
        timer_.start(10);
    }
    QStringList shown;
    bool answerOk = true;

private:
    QTimer timer_;
};

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

class MainWindowTest : public QObject {
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
    void Click(const QString& name) { Find<QAbstractButton>(name)->click(); }
    QString Text(const QString& edit) { return Find<QLineEdit>(edit)->text(); }
    void SetText(const QString& edit, const QString& text) { Find<QLineEdit>(edit)->setText(text); }
    bool Shown(const QString& name) { return Find<QWidget>(name)->isVisibleTo(window_.get()); }
    // A log of 400 epochs; its path.
    QString WriteLog() {
        const QString input = dir_.filePath("walk.log");
        std::ofstream log(input.toStdString(), std::ios::binary);
        for (int i = 0; i < 400; ++i) {
            // Without checksums: the times change from epoch to epoch.
            log << "$GPRMC,0315" << (10 + i % 50) << ".00,A,3540.8742,N,13946.0275,E,2.52,259.9,150424,,,A\n"
                << "$GPGGA,0315" << (10 + i % 50) << ".00,3540.8742,N,13946.0275,E,1,08,0.9,38.2,M,36.7,M,,\n";
        }
        return input;
    }
    // Starts the window on the given mode and files.
    void Open(const QString& mode, const QString& input, const QString& output) {
        settings_.current.Mode = mode.toStdString();
        settings_.current.InputFile = input.toStdString();
        settings_.current.OutputFile = output.toStdString();
        window_->ApplyModeLayout();
    }

private slots:
    void init() {
        settings_ = Settings{};
        settings_.startDir = dir_.path().toStdString();
        geoplait::SetDefaultSettings(settings_);
        geoplait::ApplyBaselineSettings(settings_);
        window_ = std::make_unique<MainWindow>(settings_);
        window_->show();
    }
    void cleanup() { window_.reset(); }

    void modeChange_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("wantInput");
        QTest::addColumn<QString>("wantOutput");
        QTest::addColumn<int>("bom");
        QTest::addColumn<int>("photo");  // Photo and Kmz were both on: both stay or both go
        QTest::newRow("gpx -> kml") << "gpx -> kml" << "/t/a.log" << "/t/a.gpx" << "/t/a.kml" << 1 << 1;
        QTest::newRow("gpx -> pot") << "gpx -> pot" << "/t/a.log" << "/t/a.gpx" << "/t/a.pot" << 0 << 0;
        QTest::newRow("summary") << "nmea(log) -> Summary(html)" << "/t/a.log" << "/t/a.log" << "/t/a.html" << 0 << 0;
        QTest::newRow("photo only") << "Photo(Only) -> kml" << "/t/a.gpx" << "/t/a.log" << "/t/a.kml" << 1 << 1;
        QTest::newRow("dot in folder") << "csv(Full) -> kml" << "/data/r1.2/track" << "/data/r1.2/track.csv"
                                       << "/t/a.kml" << 1 << 1;
        QTest::newRow("dot starts name") << "pot -> kml" << "/data/.track" << "/data/.track.pot" << "/t/a.kml" << 1 << 1;
    }
    void modeChange() {
        QFETCH(QString, mode);
        QFETCH(QString, input);
        QFETCH(QString, wantInput);
        QFETCH(QString, wantOutput);
        QFETCH(int, bom);
        QFETCH(int, photo);
        settings_.current.Photo = settings_.current.Kmz = 1;
        settings_.current.Photo_CreateDirectory = 1;
        Open("nmea(log) -> kml", input, "/t/a.kml");
        Choose("mode", mode);
        const geoplait::ConvertSettings& s = settings_.current;
        QCOMPARE(Text("inputFile"), wantInput);
        QCOMPARE(QString::fromStdString(s.InputFile), wantInput);
        QCOMPARE(Text("outputFile"), wantOutput);
        QCOMPARE(QString::fromStdString(s.OutputFile), wantOutput);
        QCOMPARE(s.Bom, bom);
        QCOMPARE(s.Photo, photo);
        QCOMPARE(s.Kmz, photo);
        QCOMPARE(Find<QCheckBox>("photo")->isChecked(), photo == 1);
        QCOMPARE(Find<QCheckBox>("kmz")->isChecked(), photo == 1);
    }

    void fileCommands_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("wantOutput");
        QTest::addColumn<QString>("wantName");  // after "Set"
        QTest::newRow("F") << "f" << "nmea(log) -> kml" << "/in/x.log" << "/out/y.kml" << "/out/x.kml" << "x";
        QTest::newRow("D") << "d" << "nmea(log) -> kml" << "/in/x.log" << "/out/y.kml" << "/in/y.kml" << "y";
        QTest::newRow("F, bare names") << "f" << "nmea(log) -> gpx" << "x" << "y.gpx" << "x.gpx" << "x";
        QTest::newRow("D, bare input") << "d" << "nmea(log) -> pot" << "x.log" << "/o.d/y" << "y" << "y";
        QTest::newRow("F, dotted folder") << "f" << "gpx -> kml" << "/r1.2/t" << "/o/y.kml" << "/o/t.kml" << "t";
    }
    void fileCommands() {
        QFETCH(QString, button);
        QFETCH(QString, mode);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, wantOutput);
        QFETCH(QString, wantName);
        Open(mode, input, output);
        Click(button);
        QCOMPARE(Text("outputFile"), wantOutput);
        QCOMPARE(QString::fromStdString(settings_.current.OutputFile), wantOutput);
        Click("set");
        QCOMPARE(Text("kmlName"), wantName);
    }

    // One mode of each layout row: what it shows, what it hides, what it sets.
    void layout_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::newRow("nmea -> kml") << "nmea(log) -> kml"
            << QStringList{"satellites", "startDate", "kmlBox", "photoBox", "trackBox", "placemarkBox",
                           "speedGroup", "labelDegrees", "tokyo", "errorOmit", "vLineSwatch"}
            << QStringList{"labelTex", "inputItem", "outputItem"};
        QTest::newRow("nmea -> pot") << "nmea(log) -> pot"
            << QStringList{"recordStart", "startDate", "labelNo", "labelKm", "labelSpeed", "labelElapsed"}
            << QStringList{"tokyo", "satellites", "kmlBox", "trackBox", "splitBox", "labelDate", "labelTex",
                           "gpxType", "csvHeader"};
        QTest::newRow("nmea -> summary") << "nmea(log) -> Summary(csv)"
            << QStringList{"lineDistance", "splitDate", "errorOmit"}
            << QStringList{"fileSplit", "speedGroup", "tokyo", "labelsBox", "trackBox", "outputItem", "csvHeader"};
        QTest::newRow("csv full -> csv custom") << "csv(Full) -> csv(Custom)"
            << QStringList{"outputItem", "fileSplit", "csvHeader"} << QStringList{"inputItem", "satellites", "gpxType"};
        QTest::newRow("csv custom -> kml") << "csv(Custom) -> kml"
            << QStringList{"inputItem", "kmlBox", "lineDistance", "labelDate"}
            << QStringList{"altitudeBox", "timeStampBox", "lineDistanceSec", "splitDate", "labelTime",
                           "labelElapsed", "labelSatellites", "labelTex", "labelSpeed", "speedGroup",
                           "satellites", "startDate", "labelDegrees"};
        QTest::newRow("csv custom -> pot") << "csv(Custom) -> pot"
            << QStringList{"inputItem", "labelNo", "recordStart"} << QStringList{"startDate", "tokyo", "labelElapsed"};
        QTest::newRow("csv custom -> nmea") << "csv(Custom) -> nmea(log)"
            << QStringList{"tokyo", "inputItem", "errorOmit"} << QStringList{"outputItem", "kmlBox"};
        QTest::newRow("pot -> csv custom") << "pot -> csv(Custom)"
            << QStringList{"outputItem", "recordStart", "csvHeader"} << QStringList{"inputItem", "errorOmit", "tokyo"};
        QTest::newRow("gpx -> kml") << "gpx -> kml" << QStringList{"kmlBox", "labelTex", "tokyo"}
            << QStringList{"errorOmit", "speedGroup", "labelDegrees", "labelSatellites", "labelSpeed"};
        QTest::newRow("kml line -> gpx") << "kml(Line) -> gpx" << QStringList{"outputItem", "inputFile", "gpxType"}
            << QStringList{"tokyo", "errorOmit", "filtersBox", "kmlBox", "splitBox", "csvHeader"};
        QTest::newRow("nmea -> geojson") << "nmea(log) -> geojson"
            << QStringList{"lineDistance", "lineDistanceSec", "splitDate", "errorOmit"}
            << QStringList{"fileSplit", "gpxType", "csvHeader", "kmlBox", "labelsBox"};
        QTest::newRow("nmea -> geojson") << "nmea(log) -> geojson"
            << QStringList{"lineDistance", "lineDistanceSec", "splitDate", "errorOmit"}
            << QStringList{"fileSplit", "gpxType", "csvHeader", "kmlBox", "labelsBox"};
        QTest::newRow("photo only") << "Photo(Only) -> kml" << QStringList{"kmlBox", "photoBox"}
            << QStringList{"inputFile", "f", "d", "errorOmit", "tokyo", "filtersBox", "trackBox", "vLineSwatch"};
    }
    void layout() {
        QFETCH(QString, mode);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        settings_.current.Tokyo2WGS84 = 1;
        settings_.current.Label_Elapsed = 1;
        settings_.current.Imput_Date = 3;  // the CSV Custom input has a date item only
        Open("nmea(log) -> kml", "/t/a.log", "/t/a.kml");
        Choose("mode", mode);
        for (const QString& name : shown) QVERIFY2(Shown(name), qPrintable(name + " hidden"));
        for (const QString& name : hidden) QVERIFY2(!Shown(name), qPrintable(name + " shown"));
        const geoplait::ConvertSettings& s = settings_.current;
        // Hidden with the photos only, where no position is shifted, it keeps its value.
        QCOMPARE(s.Tokyo2WGS84, Shown("tokyo") || mode.startsWith("Photo") ? 1 : 0);
        if (mode.endsWith("-> pot")) QVERIFY(s.Placemark == 1 && s.Label_No == 1 && s.Label_Km == 1);
        if (mode == "csv(Custom) -> kml" || mode == "csv(Custom) -> pot") QCOMPARE(s.Label_Elapsed, 0);
        // Every layout fits a 1366x768 screen with room for a title bar and a panel.
        const QSize size = window_->minimumSizeHint();
        QVERIFY2(size.width() <= 1366 && size.height() <= 700,
                 qPrintable(QString("%1x%2").arg(size.width()).arg(size.height())));
    }

    void typeAndDistance_data() {
        QTest::addColumn<QString>("clicks");  // T: "Type", D: "Distance()"
        QTest::addColumn<bool>("type");
        QTest::addColumn<bool>("distance");
        QTest::newRow("T") << "T" << true << false;
        QTest::newRow("TD") << "TD" << false << true;
        QTest::newRow("DT") << "DT" << true << false;
        QTest::newRow("TT") << "TT" << false << false;
        QTest::newRow("DTD") << "DTD" << false << true;
    }
    void typeAndDistance() {
        QFETCH(QString, clicks);
        QFETCH(bool, type);
        QFETCH(bool, distance);
        for (QChar c : clicks) {
            Click(c == 'T' ? "posType" : "posDistance");
            QVERIFY(!(Find<QCheckBox>("posType")->isChecked() && Find<QCheckBox>("posDistance")->isChecked()));
        }
        QCOMPARE(Find<QCheckBox>("posType")->isChecked(), type);
        QCOMPARE(Find<QCheckBox>("posDistance")->isChecked(), distance);
        QCOMPARE(settings_.current.PosType, type ? 1 : 0);
        QCOMPARE(settings_.current.PosDistance, distance ? 1 : 0);
        QCOMPARE(Find<QComboBox>("posTypeCombo")->isEnabled(), type);
        // Greyed edits look disabled but still take typing.
        auto* interval = Find<QLineEdit>("interval");
        QCOMPARE(interval->property("greyed").toBool(), type || distance);
        QCOMPARE(Find<QLineEdit>("posDistanceEdit")->property("greyed").toBool(), !distance);
        QVERIFY(interval->isEnabled());
        QTest::keyClicks(interval, "7");
        QVERIFY(interval->text().endsWith('7'));
    }

    void defaultRestoresColours_data() {
        QTest::addColumn<QString>("theme");
        QTest::newRow("first") << "theme1";
        QTest::newRow("second") << "theme2";
        QTest::newRow("third") << "theme3";
    }
    void defaultRestoresColours() {
        QFETCH(QString, theme);
        Click(theme);
        QVERIFY(settings_.config.BackgroundColor != (Rgb{240, 240, 245}));
        QCOMPARE(window_->palette().color(QPalette::Window),
                 QColor(settings_.config.BackgroundColor.R, settings_.config.BackgroundColor.G,
                        settings_.config.BackgroundColor.B));
        ModalAnswerer answers;  // Default asks first: OK
        Click("default");
        QVERIFY(settings_.config.BackgroundColor == (Rgb{240, 240, 245}));
        QVERIFY(settings_.config.EditColor == (Rgb{250, 255, 250}));
        QVERIFY(settings_.config.ComboColor == (Rgb{255, 250, 250}));
        QCOMPARE(window_->palette().color(QPalette::Window), QColor(240, 240, 245));
        QCOMPARE(Find<QLineEdit>("kmlName")->palette().color(QPalette::Base), QColor(250, 255, 250));
        // The machine's defaults: its zone and the locale's language (LC_ALL=C).
        QCOMPARE(settings_.current.TimeZone, std::string("system"));
        QCOMPARE(settings_.current.Language, std::string("English"));
        QCOMPARE(Find<QComboBox>("timeZone")->currentText(), QString("system"));
    }

    // A settings file with Kmz on and Photo_CreateDirectory off: Photo Config
    // left by Cancel keeps Kmz (nothing was decided), left by OK turns it off
    // (without copied photos there is nothing to pack).
    void photoConfigCancelKeepsKmz_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("Cancel") << false;
        QTest::newRow("OK") << true;
    }
    void photoConfigCancelKeepsKmz() {
        QFETCH(bool, ok);
        {
            std::ofstream ini(dir_.filePath("photo.ini").toStdString(), std::ios::binary);
            ini << "[config]\n  AutoLoad=1\n[config general]\n  Photo=1\n  Kmz=1\n[config Photo]\n  Photo_CreateDirectory=0\n";
        }
        struct : geoplait::UserInterface {
            void Show(const geoplait::NoticeText&) override {}
            bool Ask(const geoplait::NoticeText&) override { return true; }
            void SetMessageLine(const std::string&) override {}
            void SetStatusLine(const std::string&) override {}
        } quiet;
        window_.reset();
        geoplait::LoadSettingsFile(settings_, quiet, "photo.ini", geoplait::LoadPass::AllKeys);
        geoplait::ApplyBaselineSettings(settings_);
        QCOMPARE(settings_.current.Kmz, 1);
        QCOMPARE(settings_.current.Photo_CreateDirectory, 0);
        window_ = std::make_unique<MainWindow>(settings_);
        window_->show();
        Open("nmea(log) -> kml", "/t/a.log", "/t/a.kml");
        QVERIFY(Find<QCheckBox>("kmz")->isChecked());
        bool answered = false;
        QTimer::singleShot(50, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            answered = true;
        });
        Click("photoConfig");
        QVERIFY(answered);
        QCOMPARE(settings_.current.Kmz, ok ? 0 : 1);
        QCOMPARE(Find<QCheckBox>("kmz")->isChecked(), !ok);
        QCOMPARE(settings_.current.Photo, 1);
    }

    void splitDateGivesBackTexts() {
        SetText("lineDistance", "500");
        SetText("lineDistanceSec", "120");
        Click("splitDate");
        QCOMPARE(Text("lineDistance"), QString());
        QCOMPARE(Text("lineDistanceSec"), QString());
        QCOMPARE(settings_.current.TrackGroupDate, 1);
        QCOMPARE(settings_.current.LineDistanceSec, std::string("120"));
        Click("splitDate");
        QCOMPARE(Text("lineDistance"), QString("500"));
        QCOMPARE(Text("lineDistanceSec"), QString("120"));
        QCOMPARE(settings_.current.TrackGroupDate, 0);
    }

    // Every language sets its own texts, whatever language came before;
    // unit-dependent rows follow the units.
    void languages() {
        struct Step {
            const char* language;
            const char* units;
            const char* create;
            const char* tex;
            const char* kml;
            const char* range;
            const char* split;
        };
        const Step steps[] = {
            {"日本語", "Km/Meter", "処理(&C)", "テキスト(POT)", "KMLファイル作成", " (1-9999)", "距離(Meter)"},
            {"汉语(簡)", "Km/Meter", "处理(&C)", "文本(POT)", "KML文件生成", "（1-9999）", "距离(Meter)"},
            {"한국", "Km/Meter", "처리(&C)", "텍스트(POT)", "KML 파일 생성", " (1-9999)", "거리(Meter)"},
            {"English", "Statute Mile/Feet", "&Create", "Tex(POT)", "KML File Create", " (1-9999)", "Distance(Mile)"},
            {"國語(繁)", "Km/Meter", "處理(&C)", "文字(POT)", "KML檔案產生", " (1-9999)", "距離(Meter)"},
            {"日本語", "Nautical Mile/Feet", "処理(&C)", "テキスト(POT)", "KMLファイル作成", " (1-9999)", "距離(Feet)"},
        };
        Choose("mode", "gpx -> kml");  // shows "Tex(POT)/Name(Gpx)"
        for (const Step& step : steps) {
            Choose("units", QString::fromUtf8(step.units));
            Choose("language", QString::fromUtf8(step.language));
            QCOMPARE(Find<QPushButton>("create")->text(), QString::fromUtf8(step.create));
            QCOMPARE(Find<QCheckBox>("labelTex")->text(), QString::fromUtf8(step.tex));
            QCOMPARE(Find<QGroupBox>("kmlBox")->title(), QString::fromUtf8(step.kml));
            const bool japanese = QString::fromUtf8(step.language) == "日本語";
            QCOMPARE(Find<QPushButton>("create")->toolTip().isEmpty(), !japanese);
            QCOMPARE(Find<QLineEdit>("lineDistance")->accessibleName(), QString::fromUtf8(step.split));
            const QList<QLabel*> labels = window_->findChildren<QLabel*>();
            QVERIFY(std::any_of(labels.begin(), labels.end(),
                                [&](const QLabel* l) { return l->text() == QString::fromUtf8(step.range); }));
        }
        settings_.current.MeterMile = "Statute Mile/Feet";
        settings_.current.Language = "English";
        window_->ShowDialogSettings();
        QCOMPARE(Find<QCheckBox>("labelIntervalKm")->text(), QString("Interval(Mile)"));
        QCOMPARE(Find<QCheckBox>("labelKm")->text(), QString("Mile"));
        const QList<QLabel*> labels = window_->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [](const QLabel* l) { return l->text() == "(Statute Mile)"; }));
    }

    // The zone beside Time Diff: shown and collected as any text, its list
    // searched by any part of a name; Time Diff counts only without a zone.
    void timeZone() {
        auto* zone = Find<QComboBox>("timeZone");
        auto* difference = Find<QComboBox>("timeDiff");
        QVERIFY(zone->isEditable());
        QCOMPARE(zone->itemText(0), QString());
        QCOMPARE(zone->itemText(1), QString("system"));
        QVERIFY(zone->findText("Europe/Berlin") > 1);
        QVERIFY(difference->isEnabled());
        settings_.current.TimeZone = "America/St_Johns";
        window_->ShowDialogSettings();
        QCOMPARE(zone->currentText(), QString("America/St_Johns"));
        QVERIFY(!difference->isEnabled());
        zone->setEditText("  Europe/Berlin ");
        window_->CollectDialogSettings();
        QCOMPARE(settings_.current.TimeZone, std::string("Europe/Berlin"));
        zone->setEditText("");
        QVERIFY(difference->isEnabled());
        window_->CollectDialogSettings();
        QCOMPARE(settings_.current.TimeZone, std::string());
        zone->completer()->setCompletionPrefix("berl");
        QCOMPARE(zone->completer()->currentCompletion(), QString("Europe/Berlin"));
    }

    // A screen reader can name every control the keyboard reaches, and the
    // keyboard reaches them in reading order.
    void keyboardAndScreenReader() {
        for (QWidget* widget : window_->findChildren<QWidget*>()) {
            if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(window_.get())) continue;
            if (widget->parentWidget() != nullptr && qobject_cast<QComboBox*>(widget->parentWidget())) continue;
            if (qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) != nullptr) continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(face != nullptr);
            QVERIFY2(!face->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(widget->objectName()));
        }
        const QStringList order = {"mode", "inputFile", "outputFile", "includeData", "startDate", "kmlName",
                                   "photo", "track", "placemark", "lineDistance", "labelNo", "load", "create"};
        QWidget* at = Find<QWidget>(order.front());
        for (const QString& next : order.mid(1)) {
            int steps = 0;
            while (at->objectName() != next && steps++ < 500) at = at->nextInFocusChain();
            QVERIFY2(at->objectName() == next, qPrintable(next));
        }
    }

    // A whole conversion from the window on the worker thread, then a second
    // one cancelled half-way: the earlier output stays.
    void runAndCancel() {
        const QString output = dir_.filePath("walk.pot");
        Open("nmea(log) -> pot", WriteLog(), output);
        ModalAnswerer answers;
        std::atomic<int> seen{0};
        window_->SetProgressObserver([&](const geoplait::RunProgress& p) { seen = p.records; });
        Click("create");
        QVERIFY(!Find<QPushButton>("create")->isEnabled());
        QVERIFY(Find<QPushButton>("cancel")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!window_->IsRunning(), 30000);
        QCOMPARE(answers.shown, QStringList{"Complete: Complete Record=400/400\n\n"});
        QCOMPARE(seen.load(), 400);
        // The bar goes by bytes of the input: all of it read.
        QCOMPARE(Find<QProgressBar>("progress")->value(), 1000);
        QCOMPARE(Find<QProgressBar>("progress")->format(), QString("400 records  %p%  pass 1"));
        QVERIFY(Find<QPushButton>("create")->isEnabled());
        const std::string earlier = ReadAll(output);
        QVERIFY(earlier.size() > 1000);

        // Held at record 200 until Cancel is pressed.
        QSemaphore release;
        std::atomic<bool> held{false};
        window_->SetProgressObserver([&](const geoplait::RunProgress& p) {
            if (p.records != 200) return;
            held = true;
            release.acquire();
        });
        answers.shown.clear();
        settings_.current.Label_Km = 0;  // the new output would differ
        Click("create");
        QTRY_VERIFY_WITH_TIMEOUT(held.load(), 30000);
        QTRY_COMPARE(Find<QProgressBar>("progress")->format(), QString("200 records  %p%  pass 1"));
        QCOMPARE(Find<QProgressBar>("progress")->maximum(), 1000);
        QVERIFY(Find<QProgressBar>("progress")->value() < 1000);
        Click("cancel");
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!window_->IsRunning(), 30000);
        QCOMPARE(answers.shown,
                 (QStringList{"Check!: Already exists Output File. Do you want to replace it?",
                              "Cancel: Cancelled Record=200/200\nOutput File Not Replaced."}));
        QCOMPARE(ReadAll(output), earlier);
    }

    // Closing the window during a run asks first: OK stops the run, keeps
    // the earlier output and closes; Cancel lets the run go on.
    void closeDuringRun_data() {
        QTest::addColumn<bool>("stop");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void closeDuringRun() {
        QFETCH(bool, stop);
        const QString output = dir_.filePath("walk.gpx");
        std::ofstream(output.toStdString()) << "earlier";
        Open("nmea(log) -> gpx", WriteLog(), output);
        ModalAnswerer answers;
        QSemaphore release;
        std::atomic<bool> held{false};
        window_->SetProgressObserver([&](const geoplait::RunProgress& p) {
            if (p.records != 10) return;
            held = true;
            release.acquire();
        });
        Click("create");
        QTRY_VERIFY_WITH_TIMEOUT(held.load(), 30000);
        answers.shown.clear();
        answers.answerOk = stop;
        QVERIFY(!window_->close());
        // Asked in the interface language (Japanese by default), its caption too.
        QCOMPARE(answers.shown, QStringList{QString::fromUtf8("確認!: 処理中です。変換を中止して閉じますか？")});
        QVERIFY(window_->isVisible());
        answers.answerOk = true;
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!window_->IsRunning(), 30000);
        QTRY_COMPARE(window_->isVisible(), !stop);
        if (stop) {
            QCOMPARE(answers.shown.size(), 1);
            QCOMPARE(ReadAll(output), std::string("earlier"));
        } else {
            QVERIFY(answers.shown.size() == 2 && answers.shown[1].startsWith("Complete: Complete Record="));
            QVERIFY(ReadAll(output).size() > 1000);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
