// The settings dialogs, driven as a user would: built and acted on directly,
// or run modally through their entry points with a timer doing the clicking.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>

#include "settings/convert_settings.h"
#include "ui/dialogs.h"
#include "ui/item_dialogs.h"
#include "ui/option_dialogs.h"

using namespace geoplait;
using namespace geoplait::ui;

namespace {

Settings Defaults() {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    settings.current.Language = "English";
    return settings;
}

template <typename T>
T& Find(const QWidget& dialog, const QString& name) {
    auto* found = dialog.findChild<T*>(name);
    if (found == nullptr) qFatal("no control %s", qPrintable(name));
    return *found;
}

void Click(const QWidget& dialog, const QString& name) { Find<QAbstractButton>(dialog, name).click(); }

QPushButton& Button(const QWidget& dialog, QDialogButtonBox::StandardButton which) {
    return *dialog.findChild<QDialogButtonBox*>()->button(which);
}

// Runs `act` on the dialog once its modal loop is running.
void WhenShown(const std::function<void(QDialog&)>& act) {
    QTimer::singleShot(0, [act] { act(*qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
}

// A sample input file with `line` as its content.
QString SampleFile(const QTemporaryDir& dir, const QByteArray& line) {
    const QString path = dir.filePath(QStringLiteral("sample.csv"));
    std::ofstream(path.toStdString(), std::ios::binary) << line.toStdString();
    return path;
}

QStringList CheckedBoxes(const QWidget& dialog) {
    QStringList checked;
    for (const QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->isChecked()) checked << box->objectName();
    }
    checked.sort();
    return checked;
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}

using Exec = bool (*)(QWidget*, Settings&);
struct DialogCase {
    const char* name;
    Exec exec;
    std::function<void(QDialog&)> change;  // something worth keeping, had it been OK
    const char* escNotice;
};

const DialogCase kDialogs[] = {
    {"input", ExecInputItemDialog, [](QDialog& d) { Click(d, "CsvFull"); }, "Cancel..."},
    {"output", ExecOutputItemDialog, [](QDialog& d) { Click(d, "chizroid"); }, "Cancel..."},
    {"photo", ExecPhotoDialog, [](QDialog& d) { Click(d, "Photo_IconThumbnail"); }, nullptr},
    {"offset", ExecOffsetDialog,
     [](QDialog& d) { Click(d, "OffNS>>"); Find<QSlider>(d, "OffAltitude_slider").setValue(-40); }, nullptr},
    {"group", ExecGroupLineDialog,
     [](QDialog& d) { Click(d, "ColorPreset_Preset(1)"); Find<QComboBox>(d, "TransparentPercent_03").setCurrentIndex(7); },
     "Cancel"},
    {"speed", ExecSpeedRangeDialog, [](QDialog& d) { Click(d, "SpeedPreset_x10"); Click(d, "ColorPreset_R"); }, "Cancel"},
};

const DialogCase& DialogNamed(const QString& name) {
    for (const DialogCase& entry : kDialogs) {
        if (name == QLatin1String(entry.name)) return entry;
    }
    qFatal("no dialog %s", qPrintable(name));
}

std::unique_ptr<QDialog> Build(const QString& name, const Settings& settings) {
    if (name == "input") return std::make_unique<InputItemDialog>(nullptr, settings);
    if (name == "output") return std::make_unique<OutputItemDialog>(nullptr, settings);
    if (name == "photo") return std::make_unique<PhotoDialog>(nullptr, settings);
    if (name == "offset") return std::make_unique<OffsetDialog>(nullptr, settings);
    if (name == "group") return std::make_unique<GroupLineDialog>(nullptr, settings);
    return std::make_unique<SpeedRangeDialog>(nullptr, settings);
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void leavingWithoutOkKeepsEverySetting_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("leave");
        for (const DialogCase& entry : kDialogs) {
            for (const char* leave : {"Cancel", "Esc", "close box"}) {
                QTest::addRow("%s %s", entry.name, leave) << entry.name << leave;
            }
        }
    }
    void leavingWithoutOkKeepsEverySetting() {
        QFETCH(QString, dialog);
        QFETCH(QString, leave);
        const DialogCase& entry = DialogNamed(dialog);
        QTemporaryDir dir;
        Settings settings = Defaults();
        settings.current.InputFile = SampleFile(dir, "a,b,c\n").toStdString();
        settings.current.Mode = "kml(Line) -> csv(Custom)";  // the output dialog clears columns here
        const ConvertSettings before = settings.current;

        QString notice;
        QTimer answerer;  // the notice opens after the dialog's own loop has ended
        connect(&answerer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                notice = box->windowTitle() + ": " + box->text();
                box->accept();
            }
        });
        answerer.start(5);
        WhenShown([&](QDialog& shown) {
            entry.change(shown);
            if (leave == "Cancel") Button(shown, QDialogButtonBox::Cancel).click();
            if (leave == "Esc") QTest::keyClick(&shown, Qt::Key_Escape);
            if (leave == "close box") shown.close();
        });
        QVERIFY(!entry.exec(nullptr, settings));
        QVERIFY(settings.current == before);
        const bool told = leave != "Cancel" && entry.escNotice != nullptr;
        QCOMPARE(notice, told ? QStringLiteral("Check: ") + entry.escNotice : QString());
    }

    void inputPresetThenOk_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QList<int>>("positions");  // N/S, lat, E/W, lon, alt, date, time, speed, degrees
        QTest::addColumn<QStringList>("types");     // lat, lon, date, time, speed
        QTest::newRow("CsvFull") << "CsvFull" << QList<int>{4, 3, 6, 5, 10, 25, 2, 23, 24}
                                 << QStringList{"ddmm.mmmm", "ddmm.mmmm", "ddmmyy", "hhmmss UTC", "knots"};
        QTest::newRow("G-navi") << "G-navi" << QList<int>{0, 2, 0, 1, 3, 5, 4, 0, 0}
                                << QStringList{"dd.dddddd", "dd.dddddd", "yyyy/mm/dd", "hh:mm:ss UTC+Diff", "km"};
    }
    void inputPresetThenOk() {
        QFETCH(QString, preset);
        QFETCH(QList<int>, positions);
        QFETCH(QStringList, types);
        QTemporaryDir dir;
        Settings settings = Defaults();
        settings.current.InputFile = SampleFile(dir, "t,123456,3540.1,N,13945.2,E,x,y,z,35.5\n").toStdString();
        settings.current.Imput_Speed = 1;
        settings.current.Imput_Speed_nk = "km";
        settings.current.Imput_Date_ymd = "yymmdd";
        QString previews;
        WhenShown([&](QDialog& shown) {
            Click(shown, preset);
            for (const char* row : {"Imput_Latitude", "Imput_Longitude", "Imput_Altitude", "Imput_Time"}) {
                previews += Find<QLineEdit>(shown, QString(row) + "_preview").text() + ";";
            }
            Button(shown, QDialogButtonBox::Ok).click();
        });
        QVERIFY(ExecInputItemDialog(nullptr, settings));
        const ConvertSettings& s = settings.current;
        QCOMPARE((QList<int>{s.Imput_Latitude_ns, s.Imput_Latitude, s.Imput_Longitude_ew, s.Imput_Longitude,
                             s.Imput_Altitude, s.Imput_Date, s.Imput_Time, s.Imput_Speed, s.Imput_Degrees}),
                 positions);
        QCOMPARE((QStringList{Qs(s.Imput_Latitude_dms), Qs(s.Imput_Longitude_dms), Qs(s.Imput_Date_ymd),
                              Qs(s.Imput_Time_hms), Qs(s.Imput_Speed_nk)}),
                 types);
        QCOMPARE(previews, preset == "CsvFull" ? "3540.1;13945.2;35.5;123456;" : "123456;t;3540.1;N;");
    }

    void inputFirstLine_data() {
        QTest::addColumn<QByteArray>("content");  // "-": no input file
        QTest::addColumn<int>("offered");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("speed");  // typed as the speed item's position
        QTest::addColumn<QString>("preview");
        QTest::addColumn<int>("stored");
        QByteArray thirty = "i1";
        for (int i = 2; i <= 30; ++i) thirty += ",i" + QByteArray::number(i);
        QTest::newRow("30 items") << thirty + "\nnext" << 30 << "sample.csv" << "7" << "i7" << 7;
        QTest::newRow("2047 characters") << QByteArray("x,").repeated(1500) << 1024 << "sample.csv" << "7" << "x" << 7;
        QTest::newRow("no input file") << QByteArray("-") << 64 << " ** No Imput File **" << "7" << "" << 7;
        QTest::newRow("beyond the line") << QByteArray("a,b,c,d,e") << 5 << "sample.csv" << "7" << "" << 7;
        QTest::newRow("mark and CR LF") << QByteArray("\xEF\xBB\xBFk,v\r\n") << 2 << "sample.csv" << "2" << "v" << 2;
        QTest::newRow("trailing comma") << QByteArray("a,") << 2 << "sample.csv" << "2" << "" << 2;
        QTest::newRow("not a number") << QByteArray("a,b") << 2 << "sample.csv" << "x" << "" << 0;
        QTest::newRow("negative") << QByteArray("a,b") << 2 << "sample.csv" << "-2" << "" << 0;
    }
    void inputFirstLine() {
        QFETCH(QByteArray, content);
        QFETCH(int, offered);
        QFETCH(QString, shown);
        QFETCH(QString, speed);
        QFETCH(QString, preview);
        QFETCH(int, stored);
        QTemporaryDir dir;
        Settings settings = Defaults();
        settings.current.InputFile = content == "-" ? dir.filePath("none.csv").toStdString()
                                                    : SampleFile(dir, content).toStdString();
        InputItemDialog dialog(nullptr, settings);
        QCOMPARE(Find<QLabel>(dialog, "InputFileName").text(), shown);
        QCOMPARE(Find<QComboBox>(dialog, "Imput_Speed").count(), offered);
        QVERIFY(!Find<QComboBox>(dialog, "Imput_Speed").isEnabled());
        Click(dialog, "Imput_Speed_on");
        Find<QComboBox>(dialog, "Imput_Speed").setEditText(speed);
        QCOMPARE(Find<QLineEdit>(dialog, "Imput_Speed_preview").text(), preview);
        dialog.accept();
        QCOMPARE(dialog.Edited().Imput_Speed, stored);
    }

    void inputRowSwitches() {
        QTemporaryDir dir;
        Settings settings = Defaults();
        settings.current.InputFile = SampleFile(dir, "a,b,c,d,e,f\n").toStdString();
        InputItemDialog dialog(nullptr, settings);
        QVERIFY(!Find<QLabel>(dialog, "Imput_Latitude_ns_sign").isHidden());
        QVERIFY(!Find<QCheckBox>(dialog, "Imput_Latitude_on").isEnabled());
        Click(dialog, "Imput_Latitude_ns_on");
        Find<QComboBox>(dialog, "Imput_Latitude_ns").setEditText("4");
        QVERIFY(Find<QLabel>(dialog, "Imput_Latitude_ns_sign").isHidden());
        QCOMPARE(Find<QLineEdit>(dialog, "Imput_Latitude_ns_preview").text(), "d");
        Click(dialog, "Imput_Latitude_ns_on");
        QVERIFY(!Find<QLabel>(dialog, "Imput_Latitude_ns_sign").isHidden());
        QCOMPARE(Find<QComboBox>(dialog, "Imput_Latitude_ns").currentText(), "0");
        QCOMPARE(Find<QLineEdit>(dialog, "Imput_Latitude_ns_preview").text(), "");
        Click(dialog, "CsvFull");
        Click(dialog, "Imput_Time_on");
        QVERIFY(!Find<QComboBox>(dialog, "Imput_Time_type").isEnabled());
        dialog.accept();
        QCOMPARE(dialog.Edited().Imput_Time, 0);
        QCOMPARE(dialog.Edited().Imput_Latitude_ns, 4);
    }

    void outputColumnsByMode_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("greyed");
        const QStringList receiver{"Output_Satellites", "Output_Dilution"};
        const QStringList hemispheres{"Output_Latitude_ns", "Output_Longitude_ew"};
        const QStringList speed{"Output_Speed_knots", "Output_Speed_km", "Output_Degrees"};
        QTest::newRow("nmea") << "nmea(log) -> csv(Custom)" << QStringList{};
        QTest::newRow("csv(Custom)") << "csv(Custom) -> csv(Custom)"
                                     << QStringList{"Output_Latitude_ns", "Output_Altitude", "Output_Time_utc",
                                                    "Output_Time_utc9", "Output_Elapsed_sec", "Output_interval_hms",
                                                    "Output_interval_sec", "Output_Degrees"} + receiver;
        QTest::newRow("pot") << "pot -> csv(Custom)" << hemispheres + speed + receiver;
        QTest::newRow("gpx") << "gpx -> csv(Custom)" << hemispheres + receiver;
        QTest::newRow("fit") << "fit -> csv(Custom)" << receiver;
        QTest::newRow("kml(Point)") << "kml(Point) -> nmea(log)" << speed + receiver;
        QTest::newRow("kml(Line)") << "kml(Line) -> csv(Custom)"
                                   << QStringList{"Output_Date_dmy", "Output_Date_ymd", "Output_Time_utc",
                                                  "Output_Time_utc9", "Output_Elapsed_Distance", "Output_Elapsed_hms",
                                                  "Output_Elapsed_sec", "Output_interval_Distance",
                                                  "Output_interval_hms", "Output_interval_sec"} + speed + receiver;
    }
    void outputColumnsByMode() {
        QFETCH(QString, mode);
        QFETCH(QStringList, greyed);
        Settings settings = Defaults();
        settings.current.Mode = "nmea(log) -> csv(Custom)";
        // A CSV Custom input with E/W, date and speed items only.
        settings.current.Imput_Longitude_ew = 3;
        settings.current.Imput_Date = 4;
        settings.current.Imput_Speed = 5;
        {
            OutputItemDialog all(nullptr, settings);
            Click(all, "AllSet");
            all.accept();
            settings.current = all.Edited();
        }
        settings.current.Mode = mode.toStdString();
        OutputItemDialog dialog(nullptr, settings);
        QStringList disabled;
        for (const QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
            if (!box->isEnabled()) disabled << box->objectName();
        }
        QCOMPARE(Sorted(disabled), Sorted(greyed));
        QCOMPARE(Find<QPushButton>(dialog, "AllSet").isEnabled(), greyed.isEmpty());
        QCOMPARE(Find<QPushButton>(dialog, "Default").isEnabled(), greyed.isEmpty());
        dialog.accept();
        settings.current = dialog.Edited();
        settings.current.Mode = "nmea(log) -> csv(Custom)";
        OutputItemDialog after(nullptr, settings);
        QCOMPARE(static_cast<int>(CheckedBoxes(after).size() + greyed.size()), kOutputBoxCount);
        for (const QString& name : greyed) QVERIFY(!CheckedBoxes(after).contains(name));
    }

    void outputCommands_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("checked");
        const QString nmea = "nmea(log) -> csv(Custom)";
        QTest::newRow("chizroid") << nmea << "chizroid"
                                  << QStringList{"Output_Name", "Output_Latitude_ddd", "Output_Longitude_ddd",
                                                 "Output_Date_ymd", "Output_Time_utc9"};
        QTest::newRow("chizroid, kml(Line)") << "kml(Line) -> csv(Custom)" << "chizroid"
                                             << QStringList{"Output_Name", "Output_Latitude_ddd",
                                                            "Output_Longitude_ddd"};
        QTest::newRow("All Clear") << nmea << "AllClear" << QStringList{};
        QTest::newRow("Default") << nmea << "Default"
                                 << QStringList{"Output_Latitude_dmm", "Output_Longitude_dmm", "Output_Altitude",
                                                "Output_Speed_km", "Output_Date_ymd", "Output_Time_utc9",
                                                "Output_Elapsed_Distance", "Output_Elapsed_hms",
                                                "Output_interval_Distance", "Output_interval_hms", "Output_No"};
    }
    void outputCommands() {
        QFETCH(QString, mode);
        QFETCH(QString, command);
        QFETCH(QStringList, checked);
        Settings settings = Defaults();
        settings.current.Mode = mode.toStdString();
        settings.current.Output_Extend_Data = settings.current.Output_Satellites = 1;
        OutputItemDialog dialog(nullptr, settings);
        Click(dialog, command);
        QCOMPARE(CheckedBoxes(dialog), Sorted(checked));
    }

    void itemDialogLanguages_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("control");  // object name, or "OK", "Cancel", "title"
        QTest::addColumn<QString>("text");
        QTest::newRow("ja OK") << "日本語" << "input" << "OK" << "保存";
        QTest::newRow("ja Cancel") << "日本語" << "input" << "Cancel" << "キャンセル";
        QTest::newRow("zh-cn Cancel") << "汉语(簡)" << "output" << "Cancel" << "取消";
        QTest::newRow("zh-tw Cancel") << "國語(繁)" << "input" << "Cancel" << "廢除";
        QTest::newRow("ko Cancel") << "한국" << "output" << "Cancel" << "캔슬";
        QTest::newRow("ja title") << "日本語" << "output" << "title" << "出力項目設定";
        QTest::newRow("zh-tw title") << "國語(繁)" << "input" << "title" << "輸入項目設定";
        QTest::newRow("ja row") << "日本語" << "input" << "Imput_Latitude_on" << "緯度";
        QTest::newRow("ko column") << "한국" << "output" << "Output_Latitude_ns" << "위도(북위/남위) [N|S]";
        QTest::newRow("unknown language") << "Klingon" << "input" << "Cancel" << "Cancel";
    }
    void itemDialogLanguages() {
        QFETCH(QString, language);
        QFETCH(QString, dialog);
        QFETCH(QString, control);
        QFETCH(QString, text);
        Settings settings = Defaults();
        settings.current.Language = language.toStdString();
        const std::unique_ptr<QDialog> shown = Build(dialog, settings);
        QString shownText = control == "title" ? shown->windowTitle() : QString();
        if (control == "OK") shownText = Button(*shown, QDialogButtonBox::Ok).text();
        if (control == "Cancel") shownText = Button(*shown, QDialogButtonBox::Cancel).text();
        if (shownText.isEmpty()) shownText = Find<QAbstractButton>(*shown, control).text();
        QCOMPARE(shownText, text);
    }

    void offsetSteps_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("distance");
        QTest::newRow(">> Km") << "Km/Meter" << "OffNS>>" << "1.00" << "30.91 m";
        QTest::newRow(">> Statute") << "Statute Mile/Feet" << "OffNS>>" << "1.00" << "101.40 Feet";
        QTest::newRow("< Nautical") << "Nautical Mile/Feet" << "OffNS<" << "-0.01" << "-1.01 Feet";
        QTest::newRow("<< Km") << "Km/Meter" << "OffNS<<" << "-1.00" << "-30.91 m";
        QTest::newRow("longitude >") << "Km/Meter" << "OffWE>" << "0.01" << "0.00 m   ";
    }
    void offsetSteps() {
        QFETCH(QString, unit);
        QFETCH(QString, button);
        QFETCH(QString, value);
        QFETCH(QString, distance);
        Settings settings = Defaults();
        settings.current.MeterMile = unit.toStdString();
        OffsetDialog dialog(nullptr, settings);
        const QString field = button.left(5);
        Click(dialog, button);
        QCOMPARE(Find<QLineEdit>(dialog, field).text(), value);
        QCOMPARE(Find<QSlider>(dialog, field + "_slider").value(), qRound(value.toDouble() * 100));
        QCOMPARE(Find<QLabel>(dialog, "Distance").text(), distance);
        dialog.accept();
        QCOMPARE(Qs(field == "OffNS" ? dialog.Edited().OffNS : dialog.Edited().OffWE), value);
    }

    void offsetAltitudeAtTheTopAndReset() {
        Settings settings = Defaults();
        settings.current.OffNS = "2.5";
        OffsetDialog dialog(nullptr, settings);
        dialog.show();
        auto& slider = Find<QSlider>(dialog, "OffAltitude_slider");
        // The slider's topmost pixel is the highest offset.
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.width() / 2, 1));
        QTest::keyClick(&slider, Qt::Key_Up);
        QVERIFY(Find<QLineEdit>(dialog, "OffAltitude").text().toInt() >= 2);  // both went higher
        slider.setValue(slider.minimum());
        QCOMPARE(Find<QLineEdit>(dialog, "OffAltitude").text(), "100");
        QCOMPARE(Find<QLabel>(dialog, "AltitudeNote").text(), "-100");
        QCOMPARE(Find<QLabel>(dialog, "Distance").text(), "77.27 m   ");
        Find<QLineEdit>(dialog, "OffWE").setText("-0.5");  // a typed value wins on OK
        dialog.accept();
        QCOMPARE(Qs(dialog.Edited().OffAltitude), "100");
        QCOMPARE(Qs(dialog.Edited().OffWE), "-0.5");
        Click(dialog, "Reset");
        QCOMPARE(Find<QLabel>(dialog, "Distance").text(), "0.00 m   ");
        QCOMPARE(Find<QSlider>(dialog, "OffNS_slider").value(), 0);
        QCOMPARE(Find<QLabel>(dialog, "AltitudeNote").text(), "0");
    }

    void groupTransparencyAndWidth_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("hex");
        QTest::newRow(" 0%") << 0 << " 0%" << "FF";
        QTest::newRow("50%") << 4 << "50%" << "7F";
        QTest::newRow("88%") << 7 << "88%" << "1F";
    }
    void groupTransparencyAndWidth() {
        QFETCH(int, index);
        QFETCH(QString, percent);
        QFETCH(QString, hex);
        Settings settings = Defaults();
        settings.current.Transparent[4] = "80";  // not in the list: kept
        settings.current.TransparentPercent[4] = "";
        GroupLineDialog dialog(nullptr, settings);
        Find<QComboBox>(dialog, "TransparentPercent_03").setCurrentIndex(index);
        Find<QComboBox>(dialog, "LineWidth_03").setCurrentText("24");
        dialog.accept();
        QCOMPARE(Qs(dialog.Edited().TransparentPercent[2]), percent);
        QCOMPARE(Qs(dialog.Edited().Transparent[2]), hex);
        QCOMPARE(Qs(dialog.Edited().LineWidth[2]), "24");
        QCOMPARE(Qs(dialog.Edited().Transparent[4]), "80");
    }

    void colourPresets_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("colour");
        QTest::newRow("group Preset(1)") << "group" << "ColorPreset_Preset(1)" << 0 << "F9A9AD";
        QTest::newRow("group Preset(2)") << "group" << "ColorPreset_Preset(2)" << 3 << "00A0FF";
        QTest::newRow("speed R") << "speed" << "ColorPreset_R" << 1 << "E9E9FF";
        QTest::newRow("speed B") << "speed" << "ColorPreset_B" << 11 << "FF1515";
        QTest::newRow("speed default") << "speed" << "ColorPreset_default" << 0 << "0000FF";
    }
    void colourPresets() {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        QFETCH(int, group);
        QFETCH(QString, colour);
        Settings settings = Defaults();
        settings.current.LineColorRGB.fill("123456");
        const std::unique_ptr<QDialog> shown = Build(dialog, settings);
        Click(*shown, button);
        shown->accept();
        QCOMPARE(Qs(static_cast<SettingsDialog&>(*shown).Edited().LineColorRGB[static_cast<size_t>(group)]), colour);
    }

    void speedPresets_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<double>("step");  // 0: the default ranges
        QTest::newRow("x10") << "SpeedPreset_x10" << 10.0;
        QTest::newRow("x3") << "SpeedPreset_x3" << 3.0;
        QTest::newRow("default") << "SpeedPreset_default" << 0.0;
    }
    void speedPresets() {
        QFETCH(QString, button);
        QFETCH(double, step);
        Settings settings = Defaults();
        const auto defaults = settings.current.SpeedRange;
        settings.current.SpeedRange.fill(1.5);
        SpeedRangeDialog dialog(nullptr, settings);
        QCOMPARE(Find<QLineEdit>(dialog, "SpeedRange_02").text(), "1.50");
        Click(dialog, button);
        QCOMPARE(Find<QLineEdit>(dialog, "SpeedRange_12").text(), step > 0 ? Fixed2(11 * step) : "200.00");
        dialog.accept();
        for (size_t n = 0; n < kGroupCount; ++n) {
            QCOMPARE(dialog.Edited().SpeedRange[n], step > 0 ? static_cast<double>(n) * step : defaults[n]);
        }
    }

    void photoRules() {
        Settings settings = Defaults();
        PhotoDialog dialog(nullptr, settings);
        auto& url = Find<QCheckBox>(dialog, "Photo_IconUrl");
        QVERIFY(!url.isChecked() && !Find<QLineEdit>(dialog, "Photo_IconUrl_edit").isEnabled());
        Click(dialog, "Photo_IconThumbnail");  // unchecking one icon checks the other
        QVERIFY(url.isChecked() && Find<QLineEdit>(dialog, "Photo_IconUrl_edit").isEnabled());
        QVERIFY(!Find<QLineEdit>(dialog, "Photo_IconThumbnail_Sizel").isEnabled());
        Click(dialog, "Photo_TimeAdjustCAL");  // the two clock corrections exclude each other
        QVERIFY(!Find<QCheckBox>(dialog, "Photo_TimeAdjust").isChecked());
        QVERIFY(!Find<QLineEdit>(dialog, "Photo_TimeAdjustSec").isEnabled());
        Click(dialog, "Photo_Icon_Title");
        QVERIFY(!Find<QLabel>(dialog, "TitleHint").isHidden());
        Find<QLineEdit>(dialog, "Photo_PhotoWidth").setText(QString(70, 'x'));
        // The interpolation window is edited only with interpolation on.
        QVERIFY(!Find<QLineEdit>(dialog, "Photo_InterpolateSec").isEnabled());
        Click(dialog, "Photo_Interpolate");
        QVERIFY(Find<QLineEdit>(dialog, "Photo_InterpolateSec").isEnabled());
        Find<QLineEdit>(dialog, "Photo_InterpolateSec").setText("30");
        // The sidecar name is chosen with sidecars on.
        auto& sidecarName = Find<QComboBox>(dialog, "Photo_SidecarName");
        QCOMPARE(sidecarName.currentText(), QString("Full (NAME.EXT.xmp)"));
        QVERIFY(!sidecarName.isEnabled());
        Click(dialog, "Photo_Sidecar");
        QVERIFY(sidecarName.isEnabled());
        sidecarName.setCurrentIndex(1);
        dialog.accept();
        const ConvertSettings& s = dialog.Edited();
        QCOMPARE(s.Photo_SidecarName, std::string("Short"));
        QCOMPARE((QList<int>{s.Photo_Interpolate, s.Photo_Sidecar}), (QList<int>{1, 1}));
        QCOMPARE(s.Photo_InterpolateSec, std::string("30"));
        QCOMPARE((QList<int>{s.Photo_IconUrl, s.Photo_IconThumbnail, s.Photo_TimeAdjust, s.Photo_TimeAdjustCAL,
                             s.Photo_Icon_Title, s.Photo_FileDate}),
                 (QList<int>{1, 0, 0, 1, 1, 1}));
        QCOMPARE(s.Photo_PhotoWidth.size(), size_t{63});
        QVERIFY(QRegularExpression("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(Qs(s.Photo_CalCameraDate + " " + s.Photo_CalCameraTime))
                    .hasMatch());
    }

    // The sidecar name choice speaks the interface language, its caption
    // names it; a value outside its list shows nothing and is kept.
    void photoSidecarName() {
        Settings settings = Defaults();
        settings.current.Language = "한국";
        settings.current.Photo_SidecarName = "Short";
        {
            PhotoDialog dialog(nullptr, settings);
            auto& combo = Find<QComboBox>(dialog, "Photo_SidecarName");
            QCOMPARE(combo.currentText(), QString("짧게 (NAME.xmp)"));
            QString caption;
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                if (label->buddy() == &combo) caption = label->text();
            }
            QCOMPARE(caption, QString("사이드카 이름"));
        }
        settings.current.Photo_SidecarName = "Tiny";
        PhotoDialog dialog(nullptr, settings);
        QCOMPARE(Find<QComboBox>(dialog, "Photo_SidecarName").currentIndex(), -1);
        dialog.accept();
        QCOMPARE(dialog.Edited().Photo_SidecarName, std::string("Tiny"));
    }

    // Every control a screen reader can reach has a name, and every dialog fits a 1366x768 screen.
    void namedAndFitting_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("language");
        for (const DialogCase& entry : kDialogs) QTest::newRow(entry.name) << entry.name << "English";
        QTest::newRow("input ja") << "input" << "日本語";
        QTest::newRow("output ko") << "output" << "한국";
        QTest::newRow("photo zh-tw") << "photo" << "國語(繁)";
    }
    void namedAndFitting() {
        QFETCH(QString, dialog);
        QFETCH(QString, language);
        Settings settings = Defaults();
        settings.current.Language = language.toStdString();
        const std::unique_ptr<QDialog> shown = Build(dialog, settings);
        shown->show();
        QVERIFY(shown->sizeHint().width() <= 1366 && shown->sizeHint().height() <= 700);
        for (QWidget* widget : shown->findChildren<QWidget*>()) {
            // The edit inside a combo or picker speaks through its owner; a combo's list is its own window.
            if (!(widget->focusPolicy() & Qt::TabFocus) || widget->isHidden() || widget->window() != shown.get() ||
                qobject_cast<QComboBox*>(widget->parentWidget()) || qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            const QString name = accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(widget->objectName() + " has no accessible name"));
        }
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
