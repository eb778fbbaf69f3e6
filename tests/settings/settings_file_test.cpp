#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_keys.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RecordingUi;
using test::ShownMessage;
using test::TempDir;
using test::WriteFileBytes;
using Messages = std::vector<ShownMessage>;
using CS = ConvertSettings;

const std::string kBom = "\xEF\xBB\xBF";
const struct tm kWhen {};

Settings DefaultedSettings(const std::string& startDir = ".") {
    Settings settings;
    settings.startDir = startDir;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    return settings;
}

// Start-up as the program does it: defaults, the file in `pass`, apply.
Settings LoadedSettings(const std::string& startDir, RecordingUi& ui, int pass = 1) {
    Settings settings;
    settings.startDir = startDir;
    SetDefaultSettings(settings);
    LoadSettingsFile(settings, ui, kSettingsFileName, pass);
    ApplyBaselineSettings(settings);
    return settings;
}

// A settings file holding `bytes`, loaded as at start-up.
Settings LoadedBytes(const std::string& bytes, RecordingUi& ui, int pass = 1) {
    TempDir dir;
    WriteFileBytes(dir.File(kSettingsFileName), bytes);
    return LoadedSettings(dir.path(), ui, pass);
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

// Every regular file below `root` with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files[entry.path().string()] = ReadFileBytes(entry.path().string());
    }
    return files;
}

// ---- The file as written (the defaults byte for byte: golden job_write_ini_defaults)

TEST(SettingsFileText, WritesTheCurrentInstanceInFileForms) {
    Settings settings = DefaultedSettings();
    ConvertSettings& cur = settings.current;
    cur.MeterMile = "Statute Mile/Feet";
    cur.Language = "한국";
    cur.Mode = "pot -> kml";
    cur.VLineColor = "102030";  // BBGGRR
    cur.LineColorRGB[11] = "0A0B0C";
    cur.LineWidth[11] = "7";
    cur.Transparent[11] = "1F";
    cur.SpeedRange = {0, 1.5, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12.5};
    cur.Default_UTC_Date = "311299";
    settings.config.EditColor = {1, 2, 3};
    std::string text = SettingsFileText(settings, kWhen);
    for (const char* line : {
             "\n  MeterMile=UnitSMF\n", "\n  Language=ko-kr\n", "\n  Mode=Pot2Kml\n",
             "\n  VLineColor=48,32,16\n", "\n  LineColorRGB_12=12,11,10\n  LineWidth_12=7\n  Transparent_12=1F\n",
             "\n  SpeedRange_01=0.00;1.49\n  SpeedRange_02=1.50;1.99\n",
             "\n  SpeedRange_11=10.00;12.49\n  SpeedRange_12=12.50;999.99\n",
             "\n  Default_UTC_Date=311299;\t(ddmmyy) 1900/01/01\n", "\n  EditColor=1,2,3\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(SettingsFileText, UnknownDisplayTextsLeaveTheirLineOut) {
    Settings settings = DefaultedSettings();
    std::string expected = SettingsFileText(settings, kWhen);
    for (const char* line : {"  MeterMile=UnitKM\n", "  Language=jp-jp\n", "  Mode=Geoplait\n"}) {
        ASSERT_NE(expected.find(line), std::string::npos) << line;
        expected.erase(expected.find(line), std::string(line).size());
    }
    settings.current.MeterMile = "km";
    settings.current.Language = "Deutsch";
    settings.current.Mode = "nmea -> kml";
    EXPECT_EQ(SettingsFileText(settings, kWhen), expected);
}

// ---- Saving

TEST(SaveSettingsFile, WritesBomCrLfReplacesKeepingPermissionsAndReports) {
    TempDir dir;
    WriteFileBytes(dir.File("geoplait.ini"), "old\n");
    ASSERT_EQ(chmod(dir.File("geoplait.ini").c_str(), 0640), 0);
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    ASSERT_TRUE(SaveSettingsFile(settings, ui, kSettingsFileName, 1));
    EXPECT_EQ(ui.messages, (Messages{{"Parameter Saved. ", "Message"}}));
    // The banner carries the time of writing; the rest is fixed.
    const std::string bytes = ReadFileBytes(dir.File("geoplait.ini"));
    const std::string expected = kBom + Crlf(SettingsFileText(settings, kWhen));
    const std::string head = kBom + "# Geoplait.ini   Ver 0.33  (Create:";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    ASSERT_NE(bytes.find('\n'), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.find('\n')), expected.substr(expected.find('\n')));
    struct stat st {};
    ASSERT_EQ(stat(dir.File("geoplait.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u) << "no temporary file is left";

    // An automatic save is silent; a name holding "/" is used as given.
    settings.startDir = "/nonexistent-start-dir";
    ui.messages.clear();
    EXPECT_TRUE(SaveSettingsFile(settings, ui, dir.File("other.ini"), 0));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(test::FileExists(dir.File("other.ini")));
    EXPECT_EQ(SettingsFilePath(settings, "geoplait.ini"), "/nonexistent-start-dir/geoplait.ini");
}

TEST(SaveSettingsFile, FailedSavesReportAndChangeNoFile) {
    const ShownMessage notCreated{"Config File Not Create. ", "Error"};
    const ShownMessage inhibit{"Save Inhibit. geoplait.ini(ProtectMode)", "Protect"};
    // The directory holds geoplait.ini and a plain file, or a directory of `blocked`'s name.
    const struct { const char* name; const char* protect; int show; const char* startDir; const char* blocked;
                   ShownMessage message; } cases[] = {
        {"protect, shown", "1", 1, "", "", inhibit},
        {"protect, automatic", "1", 0, "", "", inhibit},
        {"start dir missing", "0", 1, "/missing", "", notCreated},
        {"start dir is a file", "0", 1, "/plain", "", notCreated},
        {"settings path is a directory", "0", 1, "", "geoplait.ini", notCreated},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("plain"), "x");
        if (*c.blocked != '\0') fs::create_directory(dir.File(c.blocked));
        if (!fs::exists(dir.File("geoplait.ini"))) WriteFileBytes(dir.File("geoplait.ini"), kBom + "  Name=Old\r\n");
        Settings settings = DefaultedSettings(dir.path() + c.startDir);
        settings.config.Protect = c.protect;
        const auto before = Snapshot(dir.path());
        RecordingUi ui;
        EXPECT_FALSE(SaveSettingsFile(settings, ui, kSettingsFileName, c.show)) << c.name;
        EXPECT_EQ(ui.messages, (Messages{c.message})) << c.name;
        EXPECT_EQ(Snapshot(dir.path()), before) << c.name;
    }
}

// ---- Write, then read back

// Gives every field in the table a value other than its default.
void ChangeEveryField(Settings& settings) {
    int i = 0;
    for (const SettingKey& entry : kSettingKeys) {
        std::string text = "v" + std::to_string(++i) + " x";
        switch (entry.type) {
        case KeyType::ConfigText:
            if (!entry.startupSwitch) settings.config.*entry.configText = text;
            break;
        case KeyType::ConfigRgb: settings.config.*entry.configRgb = Rgb{i, i + 1, i + 2}; break;
        case KeyType::Text:
        case KeyType::Path: settings.current.*entry.text = text; break;
        case KeyType::Flag:
        case KeyType::Int: settings.current.*entry.number = i + 1000; break;
        default: break;
        }
    }
    settings.config.AutoSave = "1";
    ConvertSettings& cur = settings.current;
    cur.MeterMile = "Nautical Mile/Feet";
    cur.Language = "國語(繁)";
    cur.Mode = "kml(Point) -> csv(Custom)";
    cur.VLineColor = "0A0B0C";
    cur.VLineTransparent = "3F";
    cur.VLineTransparentPercent = "75%";
    cur.Photo_Exif_DateTimeOriginal = 0;
    cur.PosIconUrl = 1;
    cur.TIME_IncludeStart = "09:05:00";
    cur.InputFile = "/data/logs/日本語 file.log";
    const char* hex[] = {"000001", "000100", "010000", "ABCDEF", "123456", "FEDCBA",
                         "0F0F0F", "F0F0F0", "7F7F7F", "808080", "FFFFFF", "000000"};
    const char* alpha[] = {"FF", "DF", "BF", "9F", "7F", "5F", "3F", "1F", "FF", "DF", "BF", "9F"};
    for (size_t n = 0; n < kGroupCount; ++n) {
        cur.LineColorRGB[n] = hex[n];
        cur.LineWidth[n] = std::to_string(n + 3);
        cur.Transparent[n] = alpha[n];
        cur.TransparentPercent[n] = PercentOfTransparent(alpha[n]);
        cur.SpeedRange[n] = 1.25 * static_cast<double>(n) + 0.5;
    }
}

TEST(SettingsRoundTrip, EveryFieldComesBack) {
    for (bool changed : {false, true}) {
        TempDir dir;
        Settings written = DefaultedSettings(dir.path());
        if (changed) ChangeEveryField(written);
        RecordingUi ui;
        ASSERT_TRUE(SaveSettingsFile(written, ui, kSettingsFileName, 0));
        Settings read = LoadedSettings(dir.path(), ui);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(read.config, written.config) << changed;
        EXPECT_EQ(read.current, written.current) << changed;
        if (!changed) {
            // The baseline holds the colours as "R,G,B" without the alignment blanks.
            EXPECT_EQ(read.baseline.LineColorRGB[0], "255,0,0");
            EXPECT_EQ(read.baseline.VLineColor, "0,255,0");
        }
    }
}

// ---- The read grammar, one line at a time

using Field = std::function<std::string(const Settings&)>;
Field Text(std::string CS::*f) { return [f](const Settings& s) { return s.baseline.*f; }; }
Field Int(int CS::*f) { return [f](const Settings& s) { return std::to_string(s.baseline.*f); }; }
Field Group(GroupTexts CS::*f, size_t n) {
    return [f, n](const Settings& s) { return (s.baseline.*f)[n]; };
}
Field Speed(size_t n) {
    return [n](const Settings& s) {
        char text[64];
        std::snprintf(text, sizeof text, "%g", s.baseline.SpeedRange[n]);
        return std::string(text);
    };
}
const Field kBackground = [](const Settings& s) {
    const Rgb& c = s.config.BackgroundColor;
    return std::to_string(c.R) + "," + std::to_string(c.G) + "," + std::to_string(c.B);
};
// The groups (from 1) whose LineWidth became "9".
const Field kNines = [](const Settings& s) {
    std::string groups;
    for (size_t n = 0; n < kGroupCount; ++n) {
        if (s.baseline.LineWidth[n] == "9") groups += (groups.empty() ? "" : ",") + std::to_string(n + 1);
    }
    return groups;
};

TEST(ApplySettingsLine, Grammar) {
    const Field name = Text(&CS::Name);
    const std::string kanji70 = Repeat("日", 70), kanji63 = Repeat("日", 63);
    struct Case { std::string line; bool known; Field field; std::string expected; };
    const Field bom = Int(&CS::Bom), miles = Text(&CS::MeterMile), lang = Text(&CS::Language),
                mode = Text(&CS::Mode), bg = kBackground;
    const std::vector<Case> cases = {
        // Tidying, comments and keys.
        {"  Name=Track\n", true, name, "Track"}, {"   Name   =   Track  \n", true, name, "Track"},
        {"Name=My   Track  One\n", true, name, "My Track One"}, {"Name=\tTrack\n", true, name, "\tTrack"},
        {"Name=a=b\n", true, name, "a"}, {"Name=Track ; note\n", true, name, "Track"},
        {"Name=;note\n", true, name, ""}, {"Name=\n", true, name, ""}, {"Name=Track", true, name, "Track"},
        {"Name=Track\r\n", true, name, "Track"}, {"Name=Tr\rack\n", true, name, "Tr"},
        {std::string("Name=Tr\0ack\n", 12), true, name, "Tr"},
        {"Name Track\n", false, name, "KmlName"}, {"#Name=Track\n", false, name, "KmlName"},
        {"  ;Name=Track\n", false, name, "KmlName"}, {" [Name=Track]\n", false, name, "KmlName"},
        {"Name;=Track\n", false, name, "KmlName"}, {"name=Track\n", false, name, "KmlName"},
        {"Na me=Track\n", false, name, "KmlName"}, {"\n", false, name, "KmlName"},
        {"=\n", false, name, "KmlName"}, {std::string("Na\0me=Track\n", 12), false, name, "KmlName"},
        {"Nome=Track\n", false, name, "KmlName"},
        {std::string(2100, 'x') + "Name=abc", false, name, "KmlName"},  // "=" beyond 2048 characters
        // Integers.
        {"Bom=0", true, bom, "0"}, {"Bom= 1 ", true, bom, "1"}, {"Bom=yes", true, bom, "0"},
        {"Bom=", true, bom, "0"}, {"Bom=12abc", true, bom, "12"}, {"Bom=-3", true, bom, "-3"},
        {"Bom=+4", true, bom, "4"}, {"Bom=99999999999", true, bom, "2147483647"},
        {"Bom=-99999999999", true, bom, "-2147483648"}, {"Imput_Speed=7", true, Int(&CS::Imput_Speed), "7"},
        {"Output_Extend_Data=1", true, Int(&CS::Output_Extend_Data), "1"},
        {"Create_GPGGA=0 ; off", true, Int(&CS::Create_GPGGA), "0"},
        // RGB triples.
        {"BackgroundColor=1,2,3", true, bg, "1,2,3"}, {"BackgroundColor= 10 , 20 , 30 ", true, bg, "10,20,30"},
        {"BackgroundColor=10,20", true, bg, "10,20,0"}, {"BackgroundColor=", true, bg, "0,0,0"},
        {"BackgroundColor=a,7,b", true, bg, "0,7,0"}, {"BackgroundColor=1,2,3,4", true, bg, "1,2,3"},
        {"BackgroundColor=300,-1,255", true, bg, "255,0,255"},
        // Choices and modes: file values only, exact case.
        {"MeterMile=UnitKM", true, miles, "Km/Meter"}, {"MeterMile=UnitNMF", true, miles, "Nautical Mile/Feet"},
        {"MeterMile=UnitSMF", true, miles, "Statute Mile/Feet"}, {"MeterMile=unitnmf", true, miles, "Km/Meter"},
        {"MeterMile=Statute Mile/Feet", true, miles, "Km/Meter"},
        {"Language=jp-jp", true, lang, "日本語"}, {"Language=en-us", true, lang, "English"},
        {"Language=zh-cn", true, lang, "汉语(簡)"}, {"Language=zh-tw", true, lang, "國語(繁)"},
        {"Language=ko-kr", true, lang, "한국"}, {"Language=English", true, lang, "日本語"},
        {"Mode=Pot2Kml", true, mode, "pot -> kml"}, {"  Mode  =  Nmea2Gpx  ", true, mode, "nmea(log) -> gpx"},
        {"Mode=Geoplait", true, mode, "nmea(log) -> kml"}, {"Mode=Photo2kml", true, mode, "Photo(Only) -> kml"},
        {"Mode=pot -> kml", true, mode, "nmea(log) -> kml"}, {"Mode=Pot2KML", true, mode, "nmea(log) -> kml"},
        // Texts.
        {"TimeDifference=+ 9:00", true, Text(&CS::TimeDifference), "+ 9:00"},
        {"TimeDifference=-  5:30", true, Text(&CS::TimeDifference), "- 5:30"},
        {"VLineColor=  0,128,  0", true, Text(&CS::VLineColor), "0,128, 0"},
        {"VLineTransparent=5F", true, Text(&CS::VLineTransparent), "5F"},
        {"Default_UTC_Date=311299;\t(ddmmyy) 1900/01/01", true, Text(&CS::Default_UTC_Date), "311299"},
        {"InputFile=C:\\My  Logs\\a.log", true, Text(&CS::InputFile), "C:\\My Logs\\a.log"},
        // Cut to 63 (texts) or 511 (paths) characters, never inside a character.
        {"RecordStart=" + std::string(80, '7'), true, Text(&CS::RecordStart), std::string(63, '7')},
        {"Photo_PhotoUrl_edit=" + kanji70, true, Text(&CS::Photo_PhotoUrl_edit), kanji63},
        {"OutputFile=" + std::string(600, 'p'), true, Text(&CS::OutputFile), std::string(511, 'p')},
        {"Name=" + kanji70 + std::string(600, 'p'), true, name, kanji70 + std::string(441, 'p')},
        {"LineWidth_02=" + kanji70, true, Group(&CS::LineWidth, 1), kanji63},
        {"LatitudeNS=" + kanji70, true, [](const Settings& s) { return s.config.LatitudeNS; }, kanji63},
        // A value that is no valid UTF-8 is ignored.
        {"Name=\xFF", true, name, "KmlName"}, {"Name=a\x80", true, name, "KmlName"},
        {"Name=\xC3", true, name, "KmlName"}, {"Name=\xC0\xAF", true, name, "KmlName"},
        {"Name=\xED\xA0\x80", true, name, "KmlName"}, {"Name=\xF4\x90\x80\x80", true, name, "KmlName"},
        {"Name=\xE6\x97", true, name, "KmlName"}, {"Bom=0\xE6\x97", true, bom, "1"},
        {"Name=\xF0\x9F\x97\xBA map", true, name, "\xF0\x9F\x97\xBA map"},
        // Numbered keys.
        {"LineWidth_01=9", true, kNines, "1"}, {"LineWidth_1=9", true, kNines, "1"},
        {"LineWidth_12=9", true, kNines, "12"}, {"LineWidth_07_x=9", true, kNines, "7"},
        {"LineWidth_13=9", false, kNines, ""}, {"LineWidth_00=9", false, kNines, ""},
        {"LineWidth_=9", false, kNines, ""}, {"LineWidth=9", false, kNines, ""},
        {"LineWidth_-1=9", false, kNines, ""}, {"LineWidth_ab=9", false, kNines, ""},
        {"Linewidth_01=9", false, kNines, ""}, {"VLineTransparent_01=3F", false, Text(&CS::VLineTransparent), "7F"},
        {"  LineColorRGB_03=  1,  2,  3", true, Group(&CS::LineColorRGB, 2), "1, 2, 3"},
        {"  Transparent_04=7F", true, Group(&CS::Transparent, 3), "7F"},
        // Speed ranges: the lower bound only.
        {"  SpeedRange_05=7.50;9.99", true, Speed(4), "7.5"}, {"  SpeedRange_03=3.25;1000", true, Speed(2), "3.25"},
        {"  SpeedRange_03=3.25;1000", true, Speed(3), "6"}, {"  SpeedRange_06=abc", true, Speed(5), "0"},
        {"  SpeedRange_07=nan", true, Speed(6), "0"}, {"  SpeedRange_08=-2.5e1", true, Speed(7), "-25"},
        {"  SpeedRange_09=+.5", true, Speed(8), "0.5"}, {"  SpeedRange_10=1e999", true, Speed(9), "0"},
    };
    const Settings defaults = DefaultedSettings();
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        EXPECT_EQ(ApplySettingsLine(settings, c.line, 1), c.known) << c.line;
        EXPECT_EQ(c.field(settings), c.expected) << c.line;
        if (!c.known) {
            EXPECT_EQ(settings.baseline, defaults.baseline) << c.line;
            EXPECT_EQ(settings.config, defaults.config) << c.line;
        }
    }
}

TEST(ApplySettingsLine, LastLineOfAKeyWinsAndBaselineFeedsCurrent) {
    Settings settings = DefaultedSettings();
    for (const char* line : {"Name=first", "Name=second", "Mode=Pot2Kml", "Mode=NoSuchMode",
                             "LineColorRGB_03=1,2,3", "Transparent_04=3F"}) {
        ApplySettingsLine(settings, line, 1);
    }
    EXPECT_EQ(settings.baseline.Name, "second");
    EXPECT_EQ(settings.baseline.Mode, "pot -> kml");
    ApplyBaselineSettings(settings);
    EXPECT_EQ(settings.current.LineColorRGB[2], "030201");
    EXPECT_EQ(settings.current.TransparentPercent[3], "75%");
}

TEST(ApplySettingsLine, PassZeroStoresOnlyTheStartupSwitches) {
    Settings settings = DefaultedSettings();
    for (const char* line : {"AutoLoad=1", "AutoSave=1", "Protect=1", "BackgroundColor=1,2,3", "Name=Other"}) {
        EXPECT_TRUE(ApplySettingsLine(settings, line, 0)) << line;
    }
    EXPECT_FALSE(ApplySettingsLine(settings, "Nothing=1", 0));
    EXPECT_EQ(settings.config.AutoLoad + settings.config.AutoSave + settings.config.Protect, "111");
    EXPECT_EQ(settings.config.BackgroundColor, (Rgb{240, 240, 245}));
    EXPECT_EQ(settings.baseline.Name, "KmlName");
}

TEST(ApplyCurrentOnlySetting, AcceptsOnlyTheCurrentOnlyKeys) {
    Settings settings = DefaultedSettings();
    ConvertSettings& cur = settings.current;
    for (const char* line : {"TrackLine=0", " Photo_CalNowDate = 2024/01/02 ", "Photo_CalNowTime=10:00:00",
                             "Photo_CalCameraDate=2024/01/01", "Photo_CalCameraTime=09:59:30"}) {
        EXPECT_TRUE(ApplyCurrentOnlySetting(cur, line)) << line;
    }
    EXPECT_EQ(cur.TrackLine, 0);
    EXPECT_EQ(cur.Photo_CalNowDate + "|" + cur.Photo_CalNowTime + "|" + cur.Photo_CalCameraDate + "|" +
                  cur.Photo_CalCameraTime,
              "2024/01/02|10:00:00|2024/01/01|09:59:30");
    const ConvertSettings before = cur;
    for (const char* line : {"Bom=0", "Name=x", "TrackLine", "#TrackLine=1", "trackline=1", "LineWidth_01=5",
                             "VLineTransparentPercent=12%"}) {
        EXPECT_FALSE(ApplyCurrentOnlySetting(cur, line)) << line;
    }
    EXPECT_EQ(cur, before);
    // The file grammar does not know them.
    EXPECT_FALSE(ApplySettingsLine(settings, "TrackLine=0", 1));
    EXPECT_FALSE(ApplySettingsLine(settings, "Photo_CalNowDate=2024/01/02", 1));
}

// ---- Reading whole files

TEST(LoadSettingsFile, MissingFileOrDirectory) {
    for (bool directory : {false, true}) {
        for (int pass : {0, 1}) {
            TempDir dir;
            if (directory) fs::create_directory(dir.File("geoplait.ini"));
            Settings settings = DefaultedSettings(dir.path());
            settings.baseline.TIME_IncludeStart = "9:00:00";  // the fix-up runs anyway
            RecordingUi ui;
            LoadSettingsFile(settings, ui, kSettingsFileName, pass);
            EXPECT_EQ(ui.messages, (pass == 1 ? Messages{{"Config File Not found. ", "Error"}} : Messages{}));
            EXPECT_EQ(settings.baseline.TIME_IncludeStart, "09:00:00");
            settings.baseline.TIME_IncludeStart = "";
            EXPECT_EQ(settings.baseline, DefaultedSettings().baseline);
        }
    }
}

TEST(LoadSettingsFile, PassZeroAgainstPassOne) {
    const std::string file = "[config]\r\n  AutoLoad=1\r\n  Protect=1\r\n  BackgroundColor=1,2,3\r\n"
                             "[config general]\r\n  Name=FromFile\r\n";
    RecordingUi ui;
    Settings zero = LoadedBytes(file, ui, 0);
    EXPECT_EQ(zero.config.AutoLoad + zero.config.Protect, "11");
    EXPECT_EQ(zero.config.BackgroundColor, (Rgb{240, 240, 245}));
    EXPECT_EQ(zero.current.Name, "KmlName");
    Settings one = LoadedBytes(file, ui, 1);
    EXPECT_EQ(one.config.BackgroundColor, (Rgb{1, 2, 3}));
    EXPECT_EQ(one.current.Name, "FromFile");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(LoadSettingsFile, FileFormsAndPieces) {
    // Name|Bom|RecordStart|TIME_IncludeStart|TIME_IncludeEnd|Label_Description of the current instance.
    auto summary = [](const ConvertSettings& c) {
        return c.Name + "|" + std::to_string(c.Bom) + "|" + c.RecordStart + "|" + c.TIME_IncludeStart + "|" +
               c.TIME_IncludeEnd + "|" + std::to_string(c.Label_Description);
    };
    auto times = [](const std::string& value) {
        return "  TIME_IncludeStart=" + value + "\n  TIME_IncludeEnd=" + value + "\n";
    };
    const std::string long62 = std::string(62, '1').replace(1, 1, ":");
    // Cut after "  Label_" of a written file whose Label_Description, after the cut, is 0.
    Settings written = DefaultedSettings();
    written.current.Name = "Before";
    written.current.Label_Description = 0;
    const std::string text = kBom + Crlf(SettingsFileText(written, kWhen));
    const std::string truncated = text.substr(0, text.find("  Label_Altitude=") + 8);
    // 5 + 4090 characters fill the first read; the rest comes as a line of its own.
    const std::string overLong = "Name=" + std::string(4090, 'a') + "Bom=0" + std::string(3000, 'b') + "\n" +
                                 std::string(70000, 'c') + "\nRecordStart=5\n";
    const struct { const char* name; std::string bytes, expected; } cases[] = {
        {"bom crlf", kBom + "  Name=X Y\r\n  Bom=0\r\n", "X Y|0|1|||1"},
        {"no bom lf", "  Name=X Y\n  Bom=0\n", "X Y|0|1|||1"},
        {"no final line end", "Name=X Y\nBom=0", "X Y|0|1|||1"},
        {"keys in any section", "[config CreateNmea]\n  Bom=0\n[config Photo]\n  Name=X Y\n", "X Y|0|1|||1"},
        {"utf-16le", std::string("\xFF\xFE" "N\0a\0m\0e\0=\0X\0 \0Y\0\n\0B\0o\0m\0=\0" "0\0", 30), "X Y|0|1|||1"},
        {"include times get two hour digits", times("9:05:00"), "KmlName|1|1|09:05:00|09:05:00|1"},
        {"include times, two digits", times("09:05:00"), "KmlName|1|1|09:05:00|09:05:00|1"},
        {"include times, empty", times(""), "KmlName|1|1|||1"},
        {"include times, one character", times("9"), "KmlName|1|1|9|9|1"},
        {"include times, colons", times("::"), "KmlName|1|1|0::|0::|1"},
        {"include times, 62 characters", times(long62), "KmlName|1|1|0" + long62 + "|0" + long62 + "|1"},
        {"include times, cut first", times(long62 + "1"), "KmlName|1|1|0" + long62 + "|0" + long62 + "|1"},
        {"truncated file keeps what was read", truncated, "Before|1|1|||1"},
        {"over-long lines arrive in pieces", overLong, std::string(511, 'a') + "|0|5|||1"},
    };
    for (const auto& c : cases) {
        RecordingUi ui;
        EXPECT_EQ(summary(LoadedBytes(c.bytes, ui).current), c.expected) << c.name;
        EXPECT_TRUE(ui.messages.empty()) << c.name;
    }
}

TEST(LoadSettingsFile, BadFilesLeaveTheDefaults) {
    std::string binary;
    uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        binary += static_cast<char>((seed >> 16) & 0xFF);
    }
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"bom only", kBom},
        {"blank lines", "\n\r\n  \n"},
        {"binary", binary},
        {"nul bytes", std::string(5000, '\0')},
        {"equals only", std::string(9000, '=')},
        {"utf-16 mark, odd length", "\xFF\xFE\x41"},
        {"keys without values", "Name\nBom\nName;=x\nBom ; =1\n"},
        {"bad utf-8 values", "Name=\xFF\xFE\nMode=Pot2Kml\xC3\nIconURL=\xE6\x97\n"},
    };
    const Settings defaults = DefaultedSettings();
    for (const auto& [name, bytes] : cases) {
        RecordingUi ui;
        Settings settings = LoadedBytes(bytes, ui);
        EXPECT_EQ(settings.config, defaults.config) << name;
        EXPECT_EQ(settings.current, defaults.current) << name;
        EXPECT_TRUE(ui.messages.empty()) << name;
    }
}

}  // namespace
}  // namespace geoplait
