// The default values themselves are checked byte for byte by the golden case
// job_write_ini_defaults; these tests check what the procedures do with them.
#include "settings/convert_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_keys.h"

namespace geoplait {
namespace {

Settings DefaultedSettings() {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    return settings;
}

TEST(SetDefaultSettings, ResetsEverythingButNormalisesTheStartupSwitches) {
    const std::pair<std::string, std::string> switches[] = {
        {"1", "1"}, {"0", "0"}, {"yes", "0"}, {"", "0"}, {" 1", "0"}, {"1 ", "0"}, {"11", "0"}, {"2", "0"},
    };
    const Settings fresh = DefaultedSettings();
    for (const auto& [before, after] : switches) {
        Settings settings;
        settings.config = {before, before, before, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}, "S", "W"};
        settings.baseline.Bom = 0;
        settings.baseline.Name = "changed";
        settings.baseline.SpeedRange[3] = 1.0;
        settings.baseline.LineColorRGB[0] = "1,2,3";
        SetDefaultSettings(settings);
        ConfigSettings expected;
        expected.AutoLoad = expected.AutoSave = expected.Protect = after;
        EXPECT_EQ(settings.config, expected) << "'" << before << "'";
        EXPECT_EQ(settings.baseline, fresh.baseline);
    }
}

TEST(SetDefaultSettings, Presets) {
    Settings settings = DefaultedSettings();
    const SettingsPresets& p = settings.presets;
    EXPECT_EQ(p.LineColorPresets[0], settings.baseline.LineColorRGB);  // A is the default colours
    EXPECT_EQ(p.SpeedRangePresets[0], settings.baseline.SpeedRange);
    const double steps[] = {1, 2, 3, 10};  // B to E rise evenly from 0
    for (size_t preset = 1; preset < 5; ++preset) {
        for (size_t n = 0; n < kGroupCount; ++n) {
            EXPECT_EQ(p.SpeedRangePresets[preset][n], steps[preset - 1] * static_cast<double>(n)) << preset;
        }
    }
}

TEST(ApplyBaselineSettings, CurrentFromBaseline) {
    Settings settings = DefaultedSettings();
    settings.config.BackgroundColor = {9, 9, 9};
    settings.baseline.Bom = 0;
    settings.baseline.Imput_Degrees = 7;
    settings.baseline.OffAltitude = "12";
    settings.baseline.SpeedRange[3] = 6.5;
    settings.current.TrackLine = 0;
    settings.current.Photo_CalNowDate = "2024/05/06";
    settings.current.Photo_CalCameraTime = "10:11:12";
    const Settings before = settings;
    ApplyBaselineSettings(settings);
    ConvertSettings expected = settings.baseline;
    expected.VLineColor = "00FF00";
    expected.VLineTransparentPercent = "50%";
    expected.TransparentPercent.fill(" 0%");
    expected.LineColorRGB = {"0000FF", "00FF00", "FF0000", "00FFFF", "FF00FF", "FFFF00",
                             "A0A0FF", "A0FFA0", "FFA0A0", "A0FFFF", "FFA0FF", "FFFFA0"};
    expected.TrackLine = 1;  // the current-only fields: TrackLine reset, the rest kept
    expected.Photo_CalNowDate = "2024/05/06";
    expected.Photo_CalCameraTime = "10:11:12";
    EXPECT_EQ(settings.current, expected);
    EXPECT_EQ(settings.config, before.config);
    EXPECT_EQ(settings.baseline, before.baseline);
}

TEST(ApplyBaselineSettings, BlanksInColourTexts) {
    const std::pair<std::string, std::string> cases[] = {
        {" 0 , 255 , 0 ", "00FF00"}, {"10,20", "00140A"}, {"a,b,c", "000000"}, {"16,32,48,64", "302010"},
        {"300,-5,16", "1000FF"}, {"+7,0x10,9z", "090007"},
    };
    for (const auto& [rgb, hex] : cases) {
        Settings settings = DefaultedSettings();
        settings.baseline.VLineColor = rgb;
        settings.baseline.LineColorRGB[4] = rgb;
        ApplyBaselineSettings(settings);
        EXPECT_EQ(settings.current.VLineColor, hex) << "'" << rgb << "'";
        EXPECT_EQ(settings.current.LineColorRGB[4], hex) << "'" << rgb << "'";
        EXPECT_EQ(HexColorOfRgbText(rgb), hex) << "'" << rgb << "'";
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

TEST(TransparentPercent, BothDirections) {
    const std::pair<std::string, std::string> table[] = {
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
    const std::pair<std::string, Rgb> cases[] = {
        {"0000FF", {255, 0, 0}},  {"00FF00", {0, 255, 0}},     {"FF0000", {0, 0, 255}}, {"102030", {48, 32, 16}},
        {"abcdef", {239, 205, 171}}, {"", {0, 0, 0}},          {"1020", {0, 32, 16}},   {"10203", {3, 32, 16}},
        {"G0F0x1", {0, 240, 0}},  {"1020304050", {48, 32, 16}},
    };
    for (const auto& [hex, rgb] : cases) EXPECT_EQ(RgbOfHexColor(hex), rgb) << "'" << hex << "'";
}

// MeterMile's display texts name the unit systems in the order of the
// choices; any other text (other case, blanks, the file value) is Unknown.
TEST(UnitSystemOf, TheChoicesAndNothingElse) {
    const std::pair<const char*, UnitSystem> cases[] = {
        {"Km/Meter", UnitSystem::Km},
        {"Nautical Mile/Feet", UnitSystem::NauticalMile},
        {"Statute Mile/Feet", UnitSystem::StatuteMile},
        {"", UnitSystem::Unknown},
        {"km/meter", UnitSystem::Unknown},
        {"Km/Meter ", UnitSystem::Unknown},
        {"UnitNMF", UnitSystem::Unknown},
    };
    for (const auto& [text, units] : cases) EXPECT_EQ(UnitSystemOf(text), units) << "'" << text << "'";
    for (size_t i = 0; i < kMeterMileChoices.size(); ++i) {
        EXPECT_EQ(UnitSystemOf(kMeterMileChoices[i].displayText), static_cast<UnitSystem>(i));
    }
}

}  // namespace
}  // namespace geoplait
