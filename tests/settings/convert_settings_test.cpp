#include "settings/convert_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace geoplait {
namespace {

Settings DefaultedSettings() {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    return settings;
}

TEST(SetDefaultSettings, ConfigSection) {
    Settings settings;
    settings.config.BackgroundColor = {1, 2, 3};
    settings.config.LatitudeNS = "S";
    SetDefaultSettings(settings);
    const ConfigSettings& c = settings.config;
    EXPECT_EQ(c.AutoLoad, "0");
    EXPECT_EQ(c.AutoSave, "0");
    EXPECT_EQ(c.Protect, "0");
    EXPECT_EQ(c.BackgroundColor, (Rgb{240, 240, 245}));
    EXPECT_EQ(c.EditColor, (Rgb{250, 255, 250}));
    EXPECT_EQ(c.ComboColor, (Rgb{255, 250, 250}));
    EXPECT_EQ(c.LatitudeNS, "N");
    EXPECT_EQ(c.LongitudeWE, "E");
}

TEST(SetDefaultSettings, StartupSwitchesAreNormalisedNotReset) {
    struct Case {
        std::string before;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"1", "1"}, {"0", "0"}, {"yes", "0"}, {"", "0"}, {" 1", "0"}, {"1 ", "0"}, {"11", "0"}, {"2", "0"},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.config.AutoLoad = c.before;
        settings.config.AutoSave = c.before;
        settings.config.Protect = c.before;
        SetDefaultSettings(settings);
        EXPECT_EQ(settings.config.AutoLoad, c.after) << "'" << c.before << "'";
        EXPECT_EQ(settings.config.AutoSave, c.after) << "'" << c.before << "'";
        EXPECT_EQ(settings.config.Protect, c.after) << "'" << c.before << "'";
    }
}

TEST(SetDefaultSettings, BaselineValues) {
    Settings settings;
    settings.baseline.Bom = 0;
    settings.baseline.Name = "changed";
    SetDefaultSettings(settings);
    const ConvertSettings& b = settings.baseline;
    EXPECT_EQ(b.TimeDifference, "+ 9:00");
    EXPECT_EQ(b.MeterMile, "Km/Meter");
    EXPECT_EQ(b.Language, "日本語");
    EXPECT_EQ(b.Mode, "nmea(log) -> kml");
    EXPECT_EQ(b.InputFile, "GPSFile.log");
    EXPECT_EQ(b.OutputFile, "KMLFile.kml");
    EXPECT_EQ(b.Bom, 1);
    EXPECT_EQ(b.Name, "KmlName");
    EXPECT_EQ(b.VLineColor, "0,255,0");
    EXPECT_EQ(b.VLineTransparent, "7F");
    EXPECT_EQ(b.PosType_edit, "Start & End");
    EXPECT_EQ(b.IconURL, "http://maps.google.com/mapfiles/kml/pal4/icon25.png");
    EXPECT_EQ(b.Photo_IconUrl_edit, "http://maps.google.com/mapfiles/kml/pal4/icon46.png");
    EXPECT_EQ(b.Imput_Latitude, 1);
    EXPECT_EQ(b.Imput_Longitude, 2);
    EXPECT_EQ(b.Imput_Time_hms, "hhmmss UTC");
    EXPECT_EQ(b.LineColorRGB[0], "255,  0,  0");
    EXPECT_EQ(b.LineColorRGB[11], "160,255,255");
    EXPECT_EQ(b.LineWidth[5], "2");
    EXPECT_EQ(b.Transparent[11], "FF");
    const std::array<double, kGroupCount> speeds = {0, 4, 5, 6, 7, 10, 15, 20, 40, 80, 100, 200};
    EXPECT_EQ(b.SpeedRange, speeds);
    EXPECT_EQ(b.Photo_Default_Latitude, "354154.00");
    EXPECT_EQ(b.Photo_Default_Longitudinal, "1394623.00");
    EXPECT_EQ(b.Default_UTC_Date, "010100");
    EXPECT_EQ(b.Default_UTC_Time, "000000");
    EXPECT_EQ(b.TrackLine, 1);
}

TEST(SetDefaultSettings, Presets) {
    Settings settings;
    SetDefaultSettings(settings);
    const SettingsPresets& p = settings.presets;
    // A is the default group colours.
    for (size_t n = 0; n < kGroupCount; ++n) EXPECT_EQ(p.LineColorPresets[0][n], settings.baseline.LineColorRGB[n]);
    EXPECT_EQ(p.LineColorPresets[1][0], "173,169,249");
    EXPECT_EQ(p.LineColorPresets[1][11], "190, 51, 71");
    EXPECT_EQ(p.LineColorPresets[2][3], "255,160,  0");
    EXPECT_EQ(p.LineColorPresets[3][0], "255,255,255");
    EXPECT_EQ(p.LineColorPresets[3][11], "255, 21, 21");
    EXPECT_EQ(p.LineColorPresets[4][8], " 85,255, 85");
    EXPECT_EQ(p.LineColorPresets[5][5], "148,148,255");

    const std::array<double, kGroupCount> a = {0, 4, 5, 6, 7, 10, 15, 20, 40, 80, 100, 200};
    const std::array<double, kGroupCount> b = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const std::array<double, kGroupCount> c = {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22};
    const std::array<double, kGroupCount> d = {0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33};
    const std::array<double, kGroupCount> e = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110};
    EXPECT_EQ(p.SpeedRangePresets[0], a);
    EXPECT_EQ(p.SpeedRangePresets[1], b);
    EXPECT_EQ(p.SpeedRangePresets[2], c);
    EXPECT_EQ(p.SpeedRangePresets[3], d);
    EXPECT_EQ(p.SpeedRangePresets[4], e);
}

TEST(ApplyBaselineSettings, CurrentFromDefaults) {
    Settings settings = DefaultedSettings();
    const ConvertSettings& cur = settings.current;
    EXPECT_EQ(cur.VLineColor, "00FF00");
    EXPECT_EQ(cur.VLineTransparentPercent, "50%");
    EXPECT_EQ(cur.TrackLine, 1);
    for (size_t n = 0; n < kGroupCount; ++n) {
        EXPECT_EQ(cur.TransparentPercent[n], " 0%") << n;
        EXPECT_EQ(cur.Transparent[n], "FF") << n;
        EXPECT_EQ(cur.LineWidth[n], "2") << n;
    }
    const std::array<std::string, kGroupCount> colours = {
        "0000FF", "00FF00", "FF0000", "00FFFF", "FF00FF", "FFFF00",
        "A0A0FF", "A0FFA0", "FFA0A0", "A0FFFF", "FFA0FF", "FFFFA0",
    };
    EXPECT_EQ(cur.LineColorRGB, colours);
    EXPECT_EQ(cur.SpeedRange, settings.baseline.SpeedRange);
    // Everything else is copied unchanged.
    EXPECT_EQ(cur.Name, "KmlName");
    EXPECT_EQ(cur.Output_Time_utc9, 1);
    EXPECT_EQ(cur.Photo_PhotoWidth, "320");
}

TEST(ApplyBaselineSettings, CopiesEveryOtherFieldUnchanged) {
    Settings settings = DefaultedSettings();
    settings.baseline.Bom = 0;
    settings.baseline.Imput_Degrees = 7;
    settings.baseline.OffAltitude = "12";
    settings.baseline.Create_GPRMC = 0;
    settings.baseline.SpeedRange[3] = 6.5;
    ApplyBaselineSettings(settings);
    ConvertSettings expected = settings.baseline;
    expected.VLineColor = "00FF00";
    expected.VLineTransparentPercent = "50%";
    expected.TransparentPercent.fill(" 0%");
    expected.LineColorRGB = settings.current.LineColorRGB;
    EXPECT_EQ(settings.current, expected);
}

TEST(ApplyBaselineSettings, BlanksInColourTexts) {
    struct Case {
        std::string rgb;
        std::string hex;
    };
    const std::vector<Case> cases = {
        {"  0,255,  0", "00FF00"}, {"0,255,0", "00FF00"},     {" 0 , 255 , 0 ", "00FF00"},
        {"255,  0,  0", "0000FF"}, {"1,2,3", "030201"},       {"10,20", "00140A"},
        {"", "000000"},           {"a,b,c", "000000"},        {"16,32,48,64", "302010"},
        {"300,-5,16", "1000FF"},  {"+7,0x10,9z", "090007"},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultedSettings();
        settings.baseline.VLineColor = c.rgb;
        settings.baseline.LineColorRGB[4] = c.rgb;
        ApplyBaselineSettings(settings);
        EXPECT_EQ(settings.current.VLineColor, c.hex) << "'" << c.rgb << "'";
        EXPECT_EQ(settings.current.LineColorRGB[4], c.hex) << "'" << c.rgb << "'";
        EXPECT_EQ(HexColorOfRgbText(c.rgb), c.hex) << "'" << c.rgb << "'";
    }
}

TEST(ApplyBaselineSettings, TransparentOutsideTheTableKeepsItsPercent) {
    Settings settings = DefaultedSettings();
    settings.baseline.Transparent[2] = "AB";
    settings.baseline.Transparent[3] = "3F";
    settings.baseline.VLineTransparent = "7f";  // lower case is not in the table
    ApplyBaselineSettings(settings);
    EXPECT_EQ(settings.current.Transparent[2], "AB");
    EXPECT_EQ(settings.current.TransparentPercent[2], " 0%");  // as it was
    EXPECT_EQ(settings.current.TransparentPercent[3], "75%");
    EXPECT_EQ(settings.current.VLineTransparent, "7f");
    EXPECT_EQ(settings.current.VLineTransparentPercent, "50%");  // as it was

    // On a fresh current instance the percentage stays empty.
    Settings fresh;
    SetDefaultSettings(fresh);
    fresh.baseline.Transparent[0] = "00";
    ApplyBaselineSettings(fresh);
    EXPECT_EQ(fresh.current.TransparentPercent[0], "");
}

TEST(ApplyBaselineSettings, CurrentOnlyFields) {
    Settings settings = DefaultedSettings();
    settings.current.TrackLine = 0;
    settings.current.Photo_CalNowDate = "2024/05/06";
    settings.current.Photo_CalCameraTime = "10:11:12";
    ApplyBaselineSettings(settings);
    EXPECT_EQ(settings.current.TrackLine, 1);
    EXPECT_EQ(settings.current.Photo_CalNowDate, "2024/05/06");
    EXPECT_EQ(settings.current.Photo_CalCameraTime, "10:11:12");
}

TEST(ApplyBaselineSettings, LeavesConfigAndBaselineAlone) {
    Settings settings = DefaultedSettings();
    settings.config.BackgroundColor = {9, 9, 9};
    ConvertSettings baseline = settings.baseline;
    ApplyBaselineSettings(settings);
    EXPECT_EQ(settings.config.BackgroundColor, (Rgb{9, 9, 9}));
    EXPECT_EQ(settings.baseline, baseline);
}

TEST(TransparentPercent, BothDirections) {
    const std::vector<std::pair<std::string, std::string>> table = {
        {"FF", " 0%"}, {"DF", "12%"}, {"BF", "25%"}, {"9F", "38%"},
        {"7F", "50%"}, {"5F", "62%"}, {"3F", "75%"}, {"1F", "88%"},
    };
    for (const auto& [hex, percent] : table) {
        ASSERT_NE(PercentOfTransparent(hex), nullptr) << hex;
        EXPECT_STREQ(PercentOfTransparent(hex), percent.c_str());
        ASSERT_NE(TransparentOfPercent(percent), nullptr) << percent;
        EXPECT_STREQ(TransparentOfPercent(percent), hex.c_str());
    }
    for (const char* unknown : {"", "ff", "00", "7F ", "FFF"}) EXPECT_EQ(PercentOfTransparent(unknown), nullptr);
    for (const char* unknown : {"", "0%", "50", "50% ", "100%"}) EXPECT_EQ(TransparentOfPercent(unknown), nullptr);
}

TEST(RgbOfHexColor, ComponentsFromBbggrr) {
    struct Case {
        std::string hex;
        Rgb rgb;
    };
    const std::vector<Case> cases = {
        {"0000FF", {255, 0, 0}},  {"00FF00", {0, 255, 0}},   {"FF0000", {0, 0, 255}},
        {"102030", {48, 32, 16}}, {"abcdef", {239, 205, 171}}, {"", {0, 0, 0}},
        {"1020", {0, 32, 16}},    {"10203", {3, 32, 16}},     {"G0F0x1", {0, 240, 0}},
        {"1020304050", {48, 32, 16}},
    };
    for (const Case& c : cases) EXPECT_EQ(RgbOfHexColor(c.hex), c.rgb) << "'" << c.hex << "'";
}

}  // namespace
}  // namespace geoplait
