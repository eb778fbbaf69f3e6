#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_keys.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::ReadFileBytes;
using test::RecordingUi;
using test::ShownMessage;
using test::TempDir;
using test::WriteFileBytes;

const std::string kBom = "\xEF\xBB\xBF";

Settings DefaultedSettings(const std::string& startDir = ".") {
    Settings settings;
    settings.startDir = startDir;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    return settings;
}

// Start-up as the program does it: defaults, pass 0, pass 1 when AutoLoad, apply.
Settings LoadedSettings(const std::string& startDir, RecordingUi& ui, int pass = 1) {
    Settings settings;
    settings.startDir = startDir;
    SetDefaultSettings(settings);
    LoadSettingsFile(settings, ui, kSettingsFileName, pass);
    ApplyBaselineSettings(settings);
    return settings;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The whole file for the defaults; {TAB} stands for a tab.
const char* const kDefaultFileText = R"(# Geoplait.ini   Ver 0.33  (Create:20240305 070809)
# ---------------------------------------------------------------------------------------
# Note. 
#  [config]
#    AutoLoad        0:off  1:on
#    AutoSave        0:off  1:on
#    Protect (Save)  0:off  1:on
#    BackgroundColor R[0-255],G[0-255],B[0-255]
#    EditColor       R[0-255],G[0-255],B[0-255]
#    ComboColor      R[0-255],G[0-255],B[0-255]
#    LatitudeNS      N:North S:South    System default latitude
#    LongitudeWE     W:West  E:East     System default longitude
#  [config general]
#    TimeDifference    + 9:00    (Fix 6 Charactor  1:[+|-] 2-3:(Hou) 4:[:] 5-6:(Min))
#    MeterMile         [UnitKM|UnitNMF|UnitSMF]
#    Language          [jp-jp|en-us|zh-cn|zh-tw|ko-kr]
#    Mode              [InType]2[OutType] Type:[Nmea|Kml|CsfFull|CsvCustom|Pot|Gpx|.....]
#    InputFile          FullPath&FileName
#    OutputFile         FullPath&FileName
# ---------------------------------------------------------------------------------------
# 
[config]
  AutoLoad=0
  AutoSave=0
  Protect=0
  BackgroundColor=240,240,245
  EditColor=250,255,250
  ComboColor=255,250,250
  LatitudeNS=N
  LongitudeWE=E

[config general]
  TimeDifference=+ 9:00
  MeterMile=UnitKM
  Language=jp-jp
  Mode=Geoplait
  InputFile=GPSFile.log
  OutputFile=KMLFile.kml
  Bom=1
  Tokyo2WGS84=0
  IncludeData=0
  RecordStart=1
  RecordEnd=9999999
  Satellites=0
  Margin=999999
  Distance=0
  ReNumber=1
  OmitErrorData=1
  IncludeData_date=0
  DATE_IncludeStart=
  TIME_IncludeStart=
  DATE_IncludeEnd=
  TIME_IncludeEnd=
  Name=KmlName
  Altitude=0
  VLineAltitude=0
  VLineColor=0,255,0
  VLineTransparent=7F
  Photo=0
  Kmz=0
  PhotoDir=
  TimeStampPath=1
  TimeStampPosition=1
  LineDistance=
  LineDistanceSec=600
  TrackGroupDate=0
  FileSplit=0
  SpeedGroup=0
  Placemark=1
  PosType=0
  PosDistance=0
  Interval=1
  PosType_edit=Start & End
  PosDistance_edit=
  IconSize=0.5
  LabelSize=0.8
  PosIconUrl=0
  IconURL=http://maps.google.com/mapfiles/kml/pal4/icon25.png
  Label_No=1
  Label_Km=1
  Label_Speed=1
  Label_Elapsed=1
  Label_Degrees=0
  Label_Date=0
  Label_Time=0
  Label_IntervalTime=0
  Label_Altitude=0
  Label_IntervalKm=0
  Label_Satellites=0
  Label_Tex=0
  Label_LatLon=0
  Label_Description=1

[config CsvInput]
  Imput_Latitude_ns=0
  Imput_Latitude=1
  Imput_Longitude_ew=0
  Imput_Longitude=2
  Imput_Altitude=0
  Imput_Date=0
  Imput_Time=0
  Imput_Speed=0
  Imput_Degrees=0
  Imput_Latitude_dms=ddmm.mmmm
  Imput_Longitude_dms=ddmm.mmmm
  Imput_Date_ymd=ddmmyy
  Imput_Time_hms=hhmmss UTC
  Imput_Speed_nk=knots

[config CsvOutput]
  Output_Name=0
  Output_Latitude_ns=0
  Output_Latitude_dmm=1
  Output_Latitude_ddd=0
  Output_Latitude_dms=0
  Output_Longitude_ew=0
  Output_Longitude_dmm=1
  Output_Longitude_ddd=0
  Output_Longitude_dms=0
  Output_Altitude=1
  Output_Speed_knots=0
  Output_Speed_km=1
  Output_Degrees=0
  Output_Satellites=0
  Output_Dilution=0
  Output_Date_dmy=0
  Output_Date_ymd=1
  Output_Time_utc=0
  Output_Time_utc9=1
  Output_Elapsed_Distance=1
  Output_Elapsed_hms=1
  Output_Elapsed_sec=0
  Output_interval_Distance=1
  Output_interval_hms=1
  Output_interval_sec=0
  Output_No=1
  Output_Extend_Data=0

[config Group]
  LineColorRGB_01=255,0,0
  LineWidth_01=2
  Transparent_01=FF
  LineColorRGB_02=0,255,0
  LineWidth_02=2
  Transparent_02=FF
  LineColorRGB_03=0,0,255
  LineWidth_03=2
  Transparent_03=FF
  LineColorRGB_04=255,255,0
  LineWidth_04=2
  Transparent_04=FF
  LineColorRGB_05=255,0,255
  LineWidth_05=2
  Transparent_05=FF
  LineColorRGB_06=0,255,255
  LineWidth_06=2
  Transparent_06=FF
  LineColorRGB_07=255,160,160
  LineWidth_07=2
  Transparent_07=FF
  LineColorRGB_08=160,255,160
  LineWidth_08=2
  Transparent_08=FF
  LineColorRGB_09=160,160,255
  LineWidth_09=2
  Transparent_09=FF
  LineColorRGB_10=255,255,160
  LineWidth_10=2
  Transparent_10=FF
  LineColorRGB_11=255,160,255
  LineWidth_11=2
  Transparent_11=FF
  LineColorRGB_12=160,255,255
  LineWidth_12=2
  Transparent_12=FF

[config SpeedGroup]
  SpeedRange_01=0.00;3.99
  SpeedRange_02=4.00;4.99
  SpeedRange_03=5.00;5.99
  SpeedRange_04=6.00;6.99
  SpeedRange_05=7.00;9.99
  SpeedRange_06=10.00;14.99
  SpeedRange_07=15.00;19.99
  SpeedRange_08=20.00;39.99
  SpeedRange_09=40.00;79.99
  SpeedRange_10=80.00;99.99
  SpeedRange_11=100.00;199.99
  SpeedRange_12=200.00;999.99

[config Photo]
  Photo_TimeAdjust=1
  Photo_TimeAdjustCAL=0
  Photo_Exif_GPS_TimeStamp=1
  Photo_Exif_DateTimeOriginal=1
  Photo_Exif_DateTime=1
  Photo_FileDate=1
  Photo_Exif_GPS_Point=1
  Photo_IconUrl=0
  Photo_IconThumbnail=1
  Photo_Icon_FileName=1
  Photo_Icon_Date=0
  Photo_Icon_Time=0
  Photo_Icon_Title=0
  Photo_Icon_Latitude=0
  Photo_Icon_Longitudinal=0
  Photo_PhotoUrl=0
  Photo_CreateDirectory=1
  Photo_CsvOut=0
  Photo_Comment=1
  Photo_TimeStamp=1
  Photo_Label=1
  Photo_TimeAdjustSec=0
  Photo_Default_Latitude_ns=N
  Photo_Default_Latitude=354154.00
  Photo_Default_Longitudinal_we=E
  Photo_Default_Longitudinal=1394623.00
  Photo_IconUrl_edit=http://maps.google.com/mapfiles/kml/pal4/icon46.png
  Photo_IconThumbnail_Sizel=1.2
  Photo_PhotoUrl_edit=http://
  Photo_LabelSize=0.9
  Photo_IconSize=0.9
  Photo_PhotoWidth=320

[config Adjustment]
  OffNS=0.00
  OffWE=0.00
  OffAltitude=0

[config CreateNmea]
  Create_GPGGA=1
  Create_GPRMC=1
  Default_NS=N
  Default_WE=E
  Default_Altitude=0.0
  Default_Unit=M
  Default_UTC_Date=010100;{TAB}(ddmmyy) 1900/01/01
  Default_UTC_Time=000000

# ---------------------------------------------------------------------------------------
)";

struct tm FixedTime() {
    struct tm when {};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 5;
    when.tm_hour = 7;
    when.tm_min = 8;
    when.tm_sec = 9;
    return when;
}

std::string DefaultFileText() { return ReplaceAll(kDefaultFileText, "{TAB}", "\t"); }

// ---------------------------------------------------------------------------
// The file as written

TEST(SettingsFileText, DefaultsByteForByte) {
    Settings settings = DefaultedSettings();
    EXPECT_EQ(SettingsFileText(settings, FixedTime()), DefaultFileText());
}

TEST(SettingsFileText, BannerTimeIsZeroPadded) {
    Settings settings = DefaultedSettings();
    struct tm when {};
    when.tm_year = 1999 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 31;
    when.tm_hour = 23;
    when.tm_min = 59;
    when.tm_sec = 58;
    std::string text = SettingsFileText(settings, when);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "# Geoplait.ini   Ver 0.33  (Create:19991231 235958)\n");
}

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
    std::string text = SettingsFileText(settings, FixedTime());
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
    settings.current.MeterMile = "km";
    settings.current.Language = "Deutsch";
    settings.current.Mode = "nmea -> kml";
    std::string text = SettingsFileText(settings, FixedTime());
    std::string expected = DefaultFileText();
    for (const char* line : {"  MeterMile=UnitKM\n", "  Language=jp-jp\n", "  Mode=Geoplait\n"}) {
        expected.erase(expected.find(line), std::string(line).size());
    }
    EXPECT_EQ(text, expected);
}

TEST(SaveSettingsFile, WritesBomCrLfAndReports) {
    TempDir dir;
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    ASSERT_TRUE(SaveSettingsFile(settings, ui, kSettingsFileName, 1));
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Parameter Saved. ", "Message"}}));
    std::string bytes = ReadFileBytes(dir.File("geoplait.ini"));
    std::string expected = kBom + Crlf(DefaultFileText());
    // The banner carries the time of writing; the rest is fixed.
    size_t firstEnd = expected.find('\n');
    ASSERT_GT(bytes.size(), firstEnd);
    EXPECT_EQ(bytes.substr(bytes.find('\n')), expected.substr(firstEnd));
    const std::string head = kBom + "# Geoplait.ini   Ver 0.33  (Create:";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_FALSE(test::FileExists(dir.File("geoplait.ini.tmp")));
}

TEST(SaveSettingsFile, AutomaticSaveIsSilent) {
    TempDir dir;
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    EXPECT_TRUE(SaveSettingsFile(settings, ui, kSettingsFileName, 0));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(test::FileExists(dir.File("geoplait.ini")));
}

TEST(SaveSettingsFile, NameWithSlashIsUsedAsGiven) {
    TempDir dir;
    Settings settings = DefaultedSettings("/nonexistent-start-dir");
    RecordingUi ui;
    EXPECT_TRUE(SaveSettingsFile(settings, ui, dir.File("other.ini"), 0));
    EXPECT_TRUE(test::FileExists(dir.File("other.ini")));
    EXPECT_EQ(SettingsFilePath(settings, "geoplait.ini"), "/nonexistent-start-dir/geoplait.ini");
}

TEST(SaveSettingsFile, ProtectRefusesAndKeepsTheOldFile) {
    TempDir dir;
    WriteFileBytes(dir.File("geoplait.ini"), "old content\n");
    Settings settings = DefaultedSettings(dir.path());
    settings.config.Protect = "1";
    for (int show : {1, 0}) {
        RecordingUi ui;
        EXPECT_FALSE(SaveSettingsFile(settings, ui, kSettingsFileName, show));
        EXPECT_EQ(ui.messages,
                  (std::vector<ShownMessage>{{"Save Inhibit. geoplait.ini(ProtectMode)", "Protect"}}));
        EXPECT_EQ(ReadFileBytes(dir.File("geoplait.ini")), "old content\n");
    }
}

TEST(SaveSettingsFile, UncreatableFileIsReportedNotFatal) {
    TempDir dir;
    WriteFileBytes(dir.File("plainfile"), "x");
    const std::vector<std::string> startDirs = {
        dir.File("missing"),           // directory does not exist
        dir.File("plainfile"),         // "directory" is a file
    };
    for (const std::string& startDir : startDirs) {
        Settings settings = DefaultedSettings(startDir);
        RecordingUi ui;
        EXPECT_FALSE(SaveSettingsFile(settings, ui, kSettingsFileName, 1)) << startDir;
        EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Config File Not Create. ", "Error"}})) << startDir;
    }
    EXPECT_EQ(ReadFileBytes(dir.File("plainfile")), "x");
}

TEST(SaveSettingsFile, FailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string old = kBom + "[config general]\r\n  Name=Old\r\n";
    WriteFileBytes(dir.File("geoplait.ini"), old);
    // The temporary file cannot be created: a directory holds its name.
    ASSERT_EQ(mkdir(dir.File("geoplait.ini.tmp").c_str(), 0755), 0);
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    EXPECT_FALSE(SaveSettingsFile(settings, ui, kSettingsFileName, 1));
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Config File Not Create. ", "Error"}}));
    EXPECT_EQ(ReadFileBytes(dir.File("geoplait.ini")), old);
}

TEST(SaveSettingsFile, SettingsPathIsADirectory) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.File("geoplait.ini").c_str(), 0755), 0);
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    EXPECT_FALSE(SaveSettingsFile(settings, ui, kSettingsFileName, 1));
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Config File Not Create. ", "Error"}}));
    EXPECT_FALSE(test::FileExists(dir.File("geoplait.ini.tmp")));
}

TEST(SaveSettingsFile, ReplacesTheOldFileKeepingItsPermissions) {
    TempDir dir;
    WriteFileBytes(dir.File("geoplait.ini"), "old\n");
    ASSERT_EQ(chmod(dir.File("geoplait.ini").c_str(), 0640), 0);
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    ASSERT_TRUE(SaveSettingsFile(settings, ui, kSettingsFileName, 0));
    struct stat st {};
    ASSERT_EQ(stat(dir.File("geoplait.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(ReadFileBytes(dir.File("geoplait.ini")), "old\n");
}

// ---------------------------------------------------------------------------
// Write, then read back

// Gives every field in the table a value other than its default.
void ChangeEveryField(Settings& settings) {
    int i = 0;
    for (const SettingKey& entry : kSettingKeys) {
        ++i;
        std::string text = "v" + std::to_string(i) + " x";
        switch (entry.type) {
        case KeyType::ConfigText:
            if (!entry.startupSwitch) settings.config.*entry.configText = text;
            break;
        case KeyType::ConfigRgb:
            settings.config.*entry.configRgb = Rgb{i, i + 1, i + 2};
            break;
        case KeyType::Text:
        case KeyType::Path:
            settings.current.*entry.text = text;
            break;
        case KeyType::Flag:
        case KeyType::Int:
            settings.current.*entry.number = i + 1000;
            break;
        default:
            break;
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
    TempDir dir;
    Settings written = DefaultedSettings(dir.path());
    ChangeEveryField(written);
    ASSERT_NE(written.current, DefaultedSettings().current);
    RecordingUi ui;
    ASSERT_TRUE(SaveSettingsFile(written, ui, kSettingsFileName, 0));

    Settings read = LoadedSettings(dir.path(), ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(read.config, written.config);
    EXPECT_EQ(read.current, written.current);
    EXPECT_EQ(read.current.Photo_Exif_DateTimeOriginal, 0);
    EXPECT_EQ(read.current.PosIconUrl, 1);
    EXPECT_EQ(read.current.LineColorRGB[3], "ABCDEF");
    EXPECT_EQ(read.current.SpeedRange[11], 14.25);
}

TEST(SettingsRoundTrip, DefaultsComeBack) {
    TempDir dir;
    Settings written = DefaultedSettings(dir.path());
    RecordingUi ui;
    ASSERT_TRUE(SaveSettingsFile(written, ui, kSettingsFileName, 0));
    Settings read = LoadedSettings(dir.path(), ui);
    EXPECT_EQ(read.config, written.config);
    EXPECT_EQ(read.current, written.current);
    // The baseline holds the colours as "R,G,B" without the alignment blanks.
    EXPECT_EQ(read.baseline.LineColorRGB[0], "255,0,0");
    EXPECT_EQ(read.baseline.VLineColor, "0,255,0");
}

// ---------------------------------------------------------------------------
// The read grammar, one line at a time

TEST(ApplySettingsLine, TidyingCommentsAndKeys) {
    struct Case {
        const char* name;
        std::string line;
        bool known;
        std::string name_field;  // expected Name afterwards
    };
    const std::vector<Case> cases = {
        {"plain", "  Name=Track\n", true, "Track"},
        {"blanks round =", "   Name   =   Track  \n", true, "Track"},
        {"inner blanks collapse", "Name=My   Track  One\n", true, "My Track One"},
        {"tab is no blank", "Name=\tTrack\n", true, "\tTrack"},
        {"value ends at next =", "Name=a=b\n", true, "a"},
        {"end-of-line comment", "Name=Track ; note\n", true, "Track"},
        {"comment right after =", "Name=;note\n", true, ""},
        {"empty value", "Name=\n", true, ""},
        {"no line end", "Name=Track", true, "Track"},
        {"crlf", "Name=Track\r\n", true, "Track"},
        {"lone cr ends the value", "Name=Tr\rack\n", true, "Tr"},
        {"no =", "Name Track\n", false, "KmlName"},
        {"# comment", "#Name=Track\n", false, "KmlName"},
        {"; comment", "  ;Name=Track\n", false, "KmlName"},
        {"section", " [Name=Track]\n", false, "KmlName"},
        {"comment takes the =", "Name;=Track\n", false, "KmlName"},
        {"other case", "name=Track\n", false, "KmlName"},
        {"key with inner blank", "Na me=Track\n", false, "KmlName"},
        {"empty line", "\n", false, "KmlName"},
        {"only =", "=\n", false, "KmlName"},
        {"nul ends the line", std::string("Name=Tr\0ack\n", 12), true, "Tr"},
        {"nul before =", std::string("Na\0me=Track\n", 12), false, "KmlName"},
        {"unknown key", "Nome=Track\n", false, "KmlName"},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        EXPECT_EQ(ApplySettingsLine(settings, c.line, 1), c.known) << c.name;
        EXPECT_EQ(settings.baseline.Name, c.name_field) << c.name;
    }
}

TEST(ApplySettingsLine, ValuesByType) {
    struct Case {
        const char* line;
        int ConvertSettings::*field;
        int expected;
    };
    const std::vector<Case> cases = {
        {"Bom=0", &ConvertSettings::Bom, 0},
        {"Bom= 1 ", &ConvertSettings::Bom, 1},
        {"Bom=yes", &ConvertSettings::Bom, 0},
        {"Bom=", &ConvertSettings::Bom, 0},
        {"Bom=12abc", &ConvertSettings::Bom, 12},
        {"Bom=-3", &ConvertSettings::Bom, -3},
        {"Bom=+4", &ConvertSettings::Bom, 4},
        {"Bom=99999999999", &ConvertSettings::Bom, 2147483647},
        {"Bom=-99999999999", &ConvertSettings::Bom, -2147483647 - 1},
        {"Imput_Speed=7", &ConvertSettings::Imput_Speed, 7},
        {"Output_Extend_Data=1", &ConvertSettings::Output_Extend_Data, 1},
        {"Create_GPGGA=0 ; off", &ConvertSettings::Create_GPGGA, 0},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        EXPECT_TRUE(ApplySettingsLine(settings, c.line, 1)) << c.line;
        EXPECT_EQ(settings.baseline.*c.field, c.expected) << c.line;
    }
}

TEST(ApplySettingsLine, RgbTriples) {
    struct Case {
        const char* line;
        Rgb expected;
    };
    const std::vector<Case> cases = {
        {"BackgroundColor=1,2,3", {1, 2, 3}},
        {"BackgroundColor= 10 , 20 , 30 ", {10, 20, 30}},
        {"BackgroundColor=10,20", {10, 20, 0}},
        {"BackgroundColor=", {0, 0, 0}},
        {"BackgroundColor=a,7,b", {0, 7, 0}},
        {"BackgroundColor=1,2,3,4", {1, 2, 3}},
        {"BackgroundColor=300,-1,255", {255, 0, 255}},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        EXPECT_TRUE(ApplySettingsLine(settings, c.line, 1)) << c.line;
        EXPECT_EQ(settings.config.BackgroundColor, c.expected) << c.line;
    }
}

TEST(ApplySettingsLine, ChoicesAndModes) {
    struct Case {
        const char* line;
        std::string ConvertSettings::*field;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"MeterMile=UnitKM", &ConvertSettings::MeterMile, "Km/Meter"},
        {"MeterMile=UnitNMF", &ConvertSettings::MeterMile, "Nautical Mile/Feet"},
        {"MeterMile=UnitSMF", &ConvertSettings::MeterMile, "Statute Mile/Feet"},
        {"MeterMile=unitnmf", &ConvertSettings::MeterMile, "Km/Meter"},
        {"MeterMile=Statute Mile/Feet", &ConvertSettings::MeterMile, "Km/Meter"},
        {"Language=jp-jp", &ConvertSettings::Language, "日本語"},
        {"Language=en-us", &ConvertSettings::Language, "English"},
        {"Language=zh-cn", &ConvertSettings::Language, "汉语(簡)"},
        {"Language=zh-tw", &ConvertSettings::Language, "國語(繁)"},
        {"Language=ko-kr", &ConvertSettings::Language, "한국"},
        {"Language=English", &ConvertSettings::Language, "日本語"},
        {"Mode=Pot2Kml", &ConvertSettings::Mode, "pot -> kml"},
        {"  Mode  =  Nmea2Gpx  ", &ConvertSettings::Mode, "nmea(log) -> gpx"},
        {"Mode=Geoplait", &ConvertSettings::Mode, "nmea(log) -> kml"},
        {"Mode=Photo2kml", &ConvertSettings::Mode, "Photo(Only) -> kml"},
        {"Mode=pot -> kml", &ConvertSettings::Mode, "nmea(log) -> kml"},
        {"Mode=Pot2KML", &ConvertSettings::Mode, "nmea(log) -> kml"},
        {"TimeDifference=+ 9:00", &ConvertSettings::TimeDifference, "+ 9:00"},
        {"TimeDifference=-  5:30", &ConvertSettings::TimeDifference, "- 5:30"},
        {"VLineColor=  0,128,  0", &ConvertSettings::VLineColor, "0,128, 0"},
        {"VLineTransparent=5F", &ConvertSettings::VLineTransparent, "5F"},
        {"Default_UTC_Date=311299;\t(ddmmyy) 1900/01/01", &ConvertSettings::Default_UTC_Date, "311299"},
        {"InputFile=C:\\My  Logs\\a.log", &ConvertSettings::InputFile, "C:\\My Logs\\a.log"},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        EXPECT_TRUE(ApplySettingsLine(settings, c.line, 1)) << c.line;
        EXPECT_EQ(settings.baseline.*c.field, c.expected) << c.line;
    }
}

TEST(ApplySettingsLine, LastLineOfAKeyWins) {
    Settings settings = DefaultedSettings();
    ApplySettingsLine(settings, "Name=first", 1);
    ApplySettingsLine(settings, "Name=second", 1);
    ApplySettingsLine(settings, "Mode=Pot2Kml", 1);
    ApplySettingsLine(settings, "Mode=NoSuchMode", 1);
    EXPECT_EQ(settings.baseline.Name, "second");
    EXPECT_EQ(settings.baseline.Mode, "pot -> kml");
}

TEST(ApplySettingsLine, NumberedKeys) {
    struct Case {
        const char* line;
        bool known;
        int group;  // index changed, -1 none
    };
    const std::vector<Case> cases = {
        {"LineWidth_01=9", true, 0},
        {"LineWidth_1=9", true, 0},
        {"LineWidth_12=9", true, 11},
        {"LineWidth_07_x=9", true, 6},
        {"LineWidth_13=9", false, -1},
        {"LineWidth_00=9", false, -1},
        {"LineWidth_=9", false, -1},
        {"LineWidth=9", false, -1},
        {"LineWidth_-1=9", false, -1},
        {"LineWidth_ab=9", false, -1},
        {"Linewidth_01=9", false, -1},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        const Settings before = settings;
        EXPECT_EQ(ApplySettingsLine(settings, c.line, 1), c.known) << c.line;
        for (size_t n = 0; n < kGroupCount; ++n) {
            EXPECT_EQ(settings.baseline.LineWidth[n], static_cast<int>(n) == c.group ? "9" : "2") << c.line;
        }
        if (!c.known) {
            EXPECT_EQ(settings.baseline, before.baseline) << c.line;
        }
    }
}

TEST(ApplySettingsLine, EveryNumberedPrefix) {
    Settings settings = DefaultedSettings();
    EXPECT_TRUE(ApplySettingsLine(settings, "  LineColorRGB_03=  1,  2,  3", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  Transparent_04=7F", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  SpeedRange_05=7.50;9.99", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  SpeedRange_06=abc", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  SpeedRange_07=nan", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  SpeedRange_08=-2.5e1", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  SpeedRange_09=+.5", 1));
    EXPECT_TRUE(ApplySettingsLine(settings, "  SpeedRange_10=1e999", 1));
    EXPECT_FALSE(ApplySettingsLine(settings, "  VLineTransparent_01=3F", 1));
    EXPECT_EQ(settings.baseline.LineColorRGB[2], "1, 2, 3");
    EXPECT_EQ(settings.baseline.Transparent[3], "7F");
    EXPECT_EQ(settings.baseline.SpeedRange[4], 7.5);
    EXPECT_EQ(settings.baseline.SpeedRange[5], 0.0);
    EXPECT_EQ(settings.baseline.SpeedRange[6], 0.0);
    EXPECT_EQ(settings.baseline.SpeedRange[7], -25.0);
    EXPECT_EQ(settings.baseline.SpeedRange[8], 0.5);
    EXPECT_EQ(settings.baseline.SpeedRange[9], 0.0);
    EXPECT_EQ(settings.baseline.VLineTransparent, "7F");
    ApplyBaselineSettings(settings);
    EXPECT_EQ(settings.current.LineColorRGB[2], "030201");
    EXPECT_EQ(settings.current.TransparentPercent[3], "50%");
}

TEST(ApplySettingsLine, SpeedRangeReadsTheLowerBoundOnly) {
    Settings settings = DefaultedSettings();
    ApplySettingsLine(settings, "  SpeedRange_02=4.00;4.99", 1);
    ApplySettingsLine(settings, "  SpeedRange_03=3.25;1000", 1);
    EXPECT_EQ(settings.baseline.SpeedRange[1], 4.0);
    EXPECT_EQ(settings.baseline.SpeedRange[2], 3.25);
    EXPECT_EQ(settings.baseline.SpeedRange[3], 6.0);  // untouched by the upper bound
}

TEST(ApplySettingsLine, TextsAreCutToTheirCapacity) {
    Settings settings = DefaultedSettings();
    std::string kanji;
    for (int i = 0; i < 70; ++i) kanji += "日";
    std::string longPath(600, 'p');
    ApplySettingsLine(settings, "RecordStart=" + std::string(80, '7'), 1);
    ApplySettingsLine(settings, "Photo_PhotoUrl_edit=" + kanji, 1);
    ApplySettingsLine(settings, "OutputFile=" + longPath, 1);
    ApplySettingsLine(settings, "Name=" + kanji + longPath, 1);
    ApplySettingsLine(settings, "LineWidth_02=" + kanji, 1);
    ApplySettingsLine(settings, "LatitudeNS=" + kanji, 1);
    std::string kanji63;
    for (int i = 0; i < 63; ++i) kanji63 += "日";
    EXPECT_EQ(settings.baseline.RecordStart, std::string(63, '7'));
    EXPECT_EQ(settings.baseline.Photo_PhotoUrl_edit, kanji63);
    EXPECT_EQ(settings.baseline.OutputFile, std::string(511, 'p'));
    EXPECT_EQ(settings.baseline.Name, kanji + std::string(441, 'p'));
    EXPECT_EQ(settings.baseline.LineWidth[1], kanji63);
    EXPECT_EQ(settings.config.LatitudeNS, kanji63);
}

TEST(ApplySettingsLine, InvalidUtf8ValueIsIgnored) {
    const std::vector<std::string> values = {
        "\xFF", "a\x80", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97",
    };
    for (const std::string& value : values) {
        Settings settings = DefaultedSettings();
        ApplySettingsLine(settings, "Name=Good", 1);
        EXPECT_TRUE(ApplySettingsLine(settings, "Name=" + value, 1));
        EXPECT_TRUE(ApplySettingsLine(settings, "Bom=0" + value, 1));
        EXPECT_EQ(settings.baseline.Name, "Good");
        EXPECT_EQ(settings.baseline.Bom, 1);
    }
    Settings settings = DefaultedSettings();
    EXPECT_TRUE(ApplySettingsLine(settings, "Name=\xF0\x9F\x97\xBA map", 1));
    EXPECT_EQ(settings.baseline.Name, "\xF0\x9F\x97\xBA map");
}

TEST(ApplySettingsLine, EqualsBeyond2048CharactersGivesNoKnownKey) {
    Settings settings = DefaultedSettings();
    EXPECT_FALSE(ApplySettingsLine(settings, std::string(2100, 'x') + "Name=abc", 1));
    EXPECT_EQ(settings.baseline, DefaultedSettings().baseline);
}

TEST(ApplySettingsLine, PassZeroStoresOnlyTheStartupSwitches) {
    Settings settings = DefaultedSettings();
    EXPECT_TRUE(ApplySettingsLine(settings, "AutoLoad=1", 0));
    EXPECT_TRUE(ApplySettingsLine(settings, "AutoSave=1", 0));
    EXPECT_TRUE(ApplySettingsLine(settings, "Protect=1", 0));
    EXPECT_TRUE(ApplySettingsLine(settings, "BackgroundColor=1,2,3", 0));
    EXPECT_TRUE(ApplySettingsLine(settings, "Name=Other", 0));
    EXPECT_FALSE(ApplySettingsLine(settings, "Nothing=1", 0));
    EXPECT_EQ(settings.config.AutoLoad, "1");
    EXPECT_EQ(settings.config.AutoSave, "1");
    EXPECT_EQ(settings.config.Protect, "1");
    EXPECT_EQ(settings.config.BackgroundColor, (Rgb{240, 240, 245}));
    EXPECT_EQ(settings.baseline.Name, "KmlName");
}

TEST(ApplyCurrentOnlySetting, AcceptsOnlyTheCurrentOnlyKeys) {
    Settings settings = DefaultedSettings();
    ConvertSettings& cur = settings.current;
    EXPECT_TRUE(ApplyCurrentOnlySetting(cur, "TrackLine=0"));
    EXPECT_TRUE(ApplyCurrentOnlySetting(cur, " Photo_CalNowDate = 2024/01/02 "));
    EXPECT_TRUE(ApplyCurrentOnlySetting(cur, "Photo_CalNowTime=10:00:00"));
    EXPECT_TRUE(ApplyCurrentOnlySetting(cur, "Photo_CalCameraDate=2024/01/01"));
    EXPECT_TRUE(ApplyCurrentOnlySetting(cur, "Photo_CalCameraTime=09:59:30"));
    EXPECT_EQ(cur.TrackLine, 0);
    EXPECT_EQ(cur.Photo_CalNowDate, "2024/01/02");
    EXPECT_EQ(cur.Photo_CalNowTime, "10:00:00");
    EXPECT_EQ(cur.Photo_CalCameraDate, "2024/01/01");
    EXPECT_EQ(cur.Photo_CalCameraTime, "09:59:30");

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

// ---------------------------------------------------------------------------
// Reading whole files

TEST(LoadSettingsFile, MissingFile) {
    TempDir dir;
    for (int pass : {0, 1}) {
        Settings settings = DefaultedSettings(dir.path());
        settings.baseline.TIME_IncludeStart = "9:00:00";  // the fix-up runs anyway
        RecordingUi ui;
        LoadSettingsFile(settings, ui, kSettingsFileName, pass);
        if (pass == 1) {
            EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Config File Not found. ", "Error"}}));
        } else {
            EXPECT_TRUE(ui.messages.empty());
        }
        EXPECT_EQ(settings.baseline.TIME_IncludeStart, "09:00:00");
    }
}

TEST(LoadSettingsFile, DirectoryInsteadOfFile) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.File("geoplait.ini").c_str(), 0755), 0);
    RecordingUi ui;
    Settings settings = LoadedSettings(dir.path(), ui);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Config File Not found. ", "Error"}}));
    EXPECT_EQ(settings.current, DefaultedSettings(dir.path()).current);
}

TEST(LoadSettingsFile, PassZeroAgainstPassOne) {
    TempDir dir;
    WriteFileBytes(dir.File("geoplait.ini"),
                   "[config]\r\n  AutoLoad=1\r\n  Protect=1\r\n  BackgroundColor=1,2,3\r\n"
                   "[config general]\r\n  Name=FromFile\r\n");
    RecordingUi ui;
    Settings zero = LoadedSettings(dir.path(), ui, 0);
    EXPECT_EQ(zero.config.AutoLoad, "1");
    EXPECT_EQ(zero.config.Protect, "1");
    EXPECT_EQ(zero.config.BackgroundColor, (Rgb{240, 240, 245}));
    EXPECT_EQ(zero.current.Name, "KmlName");

    Settings one = LoadedSettings(dir.path(), ui, 1);
    EXPECT_EQ(one.config.BackgroundColor, (Rgb{1, 2, 3}));
    EXPECT_EQ(one.current.Name, "FromFile");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(LoadSettingsFile, FileForms) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"bom crlf", kBom + "  Name=X Y\r\n  Bom=0\r\n"},
        {"no bom lf", "  Name=X Y\n  Bom=0\n"},
        {"no final line end", "Name=X Y\nBom=0"},
        {"keys in any section", "[config CreateNmea]\n  Bom=0\n[config Photo]\n  Name=X Y\n"},
        {"utf-16le", std::string("\xFF\xFE" "N\0a\0m\0e\0=\0X\0 \0Y\0\n\0B\0o\0m\0=\0" "0\0", 30)},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("geoplait.ini"), c.bytes);
        RecordingUi ui;
        Settings settings = LoadedSettings(dir.path(), ui);
        EXPECT_EQ(settings.current.Name, "X Y") << c.name;
        EXPECT_EQ(settings.current.Bom, 0) << c.name;
    }
}

TEST(LoadSettingsFile, IncludeTimesGetTwoHourDigits) {
    struct Case {
        std::string value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"9:05:00", "09:05:00"}, {"09:05:00", "09:05:00"}, {"", ""}, {"9", "9"}, {"::", "0::"},
        {std::string(62, '1').replace(1, 1, ":"), "0" + std::string(62, '1').replace(1, 1, ":")},
        {std::string(63, '1').replace(1, 1, ":"), "0" + std::string(62, '1').replace(1, 1, ":")},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("geoplait.ini"),
                       "  TIME_IncludeStart=" + c.value + "\n  TIME_IncludeEnd=" + c.value + "\n");
        RecordingUi ui;
        Settings settings = LoadedSettings(dir.path(), ui);
        EXPECT_EQ(settings.baseline.TIME_IncludeStart, c.expected) << c.value;
        EXPECT_EQ(settings.baseline.TIME_IncludeEnd, c.expected) << c.value;
    }
}

TEST(LoadSettingsFile, BadFilesLeaveTheDefaults) {
    std::string binary;
    uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        binary += static_cast<char>((seed >> 16) & 0xFF);
    }
    const std::vector<std::pair<const char*, std::string>> cases = {
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
    for (const auto& [name, bytes] : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("geoplait.ini"), bytes);
        RecordingUi ui;
        Settings settings = LoadedSettings(dir.path(), ui);
        Settings defaults = DefaultedSettings(dir.path());
        EXPECT_EQ(settings.config, defaults.config) << name;
        EXPECT_EQ(settings.current, defaults.current) << name;
        EXPECT_TRUE(ui.messages.empty()) << name;
    }
}

TEST(LoadSettingsFile, TruncatedFileKeepsWhatWasRead) {
    TempDir dir;
    Settings written = DefaultedSettings(dir.path());
    written.current.Name = "Before";
    written.current.Label_Description = 0;  // after the cut
    std::string text = kBom + Crlf(SettingsFileText(written, FixedTime()));
    size_t cut = text.find("  Label_Altitude=");
    ASSERT_NE(cut, std::string::npos);
    WriteFileBytes(dir.File("geoplait.ini"), text.substr(0, cut + 8));  // "  Label_"
    RecordingUi ui;
    Settings settings = LoadedSettings(dir.path(), ui);
    EXPECT_EQ(settings.current.Name, "Before");
    EXPECT_EQ(settings.current.Label_Description, 1);
}

TEST(LoadSettingsFile, OverLongLinesArriveInPieces) {
    TempDir dir;
    // 5 + 4090 characters fill the first read; the rest comes as a line of its own.
    std::string line = "Name=" + std::string(4090, 'a') + "Bom=0" + std::string(3000, 'b') + "\n";
    WriteFileBytes(dir.File("geoplait.ini"), line + std::string(70000, 'c') + "\nRecordStart=5\n");
    RecordingUi ui;
    Settings settings = LoadedSettings(dir.path(), ui);
    EXPECT_EQ(settings.current.Name, std::string(511, 'a'));
    EXPECT_EQ(settings.current.Bom, 0);
    EXPECT_EQ(settings.current.RecordStart, "5");
}

}  // namespace
}  // namespace geoplait
