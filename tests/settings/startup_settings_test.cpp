// The start-up load both programs share: defaults, the settings file in the
// start-up folder (pass 0, pass 1 only when AutoLoad is "1"), the program's
// own additions, then the current instance from the baseline.
#include "settings/startup_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "settings/settings_file.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::RecordingUi;
using test::TempDir;
using test::WriteFileBytes;

MachineEnvironment Env(std::string xdgConfigHome, std::string home = "", std::string locale = "") {
    return {.xdgConfigHome = std::move(xdgConfigHome), .home = std::move(home), .locale = std::move(locale)};
}

Settings Defaults() {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    return settings;
}

TEST(LoadStartupSettings, ReadsTheFileWholeOnlyWhenAutoLoadIsOn) {
    const struct {
        const char* name;
        std::string file;
        std::string wantAutoLoad, wantMode;
    } cases[] = {
        {"auto-load on", "  AutoLoad=1\n  Mode=Pot2Kml\n", "1", "pot -> kml"},
        {"auto-load off: pass 0 only", "  AutoLoad=0\n  Mode=Pot2Kml\n", "0", Defaults().current.Mode},
        {"no file: defaults, and no message in pass 0", "", "0", Defaults().current.Mode},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (!c.file.empty()) WriteFileBytes(dir.File(kSettingsFileName), c.file);
        Settings settings;
        settings.current.Mode = "stale";
        RecordingUi ui;
        LoadStartupSettings(settings, ui, dir.path(), {}, Env(dir.File("config")));
        EXPECT_EQ(settings.startDir, c.file.empty() ? dir.File("config/geoplait") : dir.path()) << c.name;
        EXPECT_EQ(settings.config.AutoLoad, c.wantAutoLoad) << c.name;
        EXPECT_EQ(settings.baseline.Mode, c.wantMode) << c.name;
        EXPECT_EQ(settings.current.Mode, c.wantMode) << c.name;  // the baseline applied
        EXPECT_TRUE(ui.messages.empty()) << c.name;
    }
}

TEST(LoadStartupSettings, TheOverlayComesAfterTheFileAndBeforeTheBaseline) {
    TempDir dir;
    WriteFileBytes(dir.File(kSettingsFileName), "  AutoLoad=1\n  Mode=Pot2Kml\n");
    Settings settings;
    RecordingUi ui;
    std::string modeSeen;
    LoadStartupSettings(settings, ui, dir.path(), [&](Settings& loaded) {
        modeSeen = loaded.baseline.Mode;
        EXPECT_EQ(loaded.current.Mode, "");  // not applied yet
        loaded.baseline.Mode = "gpx -> pot";
    });
    EXPECT_EQ(modeSeen, "pot -> kml");
    EXPECT_EQ(settings.current.Mode, "gpx -> pot");
}

TEST(SettingsDirectory, TheStartupFoldersFileElseTheDesktopsFolder) {
    TempDir dir;
    const std::string start = dir.File("start");
    std::filesystem::create_directories(start);
    const struct {
        const char* name;
        MachineEnvironment env;
        std::string want;
    } cases[] = {
        {"XDG_CONFIG_HOME", Env("/x/conf", "/home/u"), "/x/conf/geoplait"},
        {"no XDG_CONFIG_HOME: ~/.config", Env("", "/home/u"), "/home/u/.config/geoplait"},
        {"a relative XDG_CONFIG_HOME is ignored", Env("conf", "/home/u"),
         "/home/u/.config/geoplait"},
        {"neither: the start-up folder", Env(""), start},
        {"a relative HOME neither", Env("", "u"), start},
    };
    for (const auto& c : cases) EXPECT_EQ(SettingsDirectory(start, c.env), c.want) << c.name;
    // A geoplait.ini of the start-up folder wins; a folder of that name is none.
    std::filesystem::create_directories(start + "/geoplait.ini");
    EXPECT_EQ(SettingsDirectory(start, Env("", "/home/u")), "/home/u/.config/geoplait");
    std::filesystem::remove(start + "/geoplait.ini");
    WriteFileBytes(start + "/geoplait.ini", "");
    EXPECT_EQ(SettingsDirectory(start, Env("", "/home/u")), start);
}

TEST(LanguageOfLocale, JapaneseChineseKoreanElseEnglish) {
    const struct {
        const char* locale;
        const char* want;
    } cases[] = {
        {"ja_JP.UTF-8", "日本語"}, {"ja", "日本語"},       {"zh_CN.UTF-8", "汉语(簡)"}, {"zh_SG", "汉语(簡)"},
        {"zh_TW.UTF-8", "國語(繁)"}, {"zh_HK.Big5", "國語(繁)"}, {"zh_MO", "English"},   {"zh", "English"},
        {"ko_KR.UTF-8", "한국"},     {"de_DE.UTF-8", "English"}, {"C", "English"},       {"", "English"},
        {"en_US.UTF-8@euro", "English"}, {"jav_ID", "English"},  {"kok_IN", "English"},
    };
    for (const auto& c : cases) EXPECT_EQ(LanguageOfLocale(c.locale), c.want) << c.locale;
}

TEST(LoadStartupSettings, AFirstStartTakesTheMachinesZoneAndLanguageAFileWhatItHolds) {
    TempDir dir;
    const MachineEnvironment berlin = Env(dir.File("config"), "", "de_DE.UTF-8");
    const MachineEnvironment tokyo = Env(dir.File("config"), "", "ja_JP.UTF-8");
    Settings settings;
    RecordingUi ui;
    LoadStartupSettings(settings, ui, dir.path(), {}, berlin);
    EXPECT_EQ(settings.current.TimeZone, "system");
    EXPECT_EQ(settings.current.Language, "English");
    LoadStartupSettings(settings, ui, dir.path(), {}, tokyo);
    EXPECT_EQ(settings.current.Language, "日本語");
    EXPECT_TRUE(settings.ownSettingsDir);

    // Once a settings file is there, it holds what it holds: a file of
    // before the zones (no TimeZone) keeps its fixed difference.
    std::filesystem::create_directories(dir.File("config/geoplait"));
    WriteFileBytes(dir.File("config/geoplait/geoplait.ini"), "  AutoLoad=1\n  Language=ko-kr\n");
    LoadStartupSettings(settings, ui, dir.path(), {}, berlin);
    EXPECT_EQ(settings.current.TimeZone, "");
    EXPECT_EQ(settings.current.TimeDifference, "+ 9:00");
    EXPECT_EQ(settings.current.Language, "한국");
    // With AutoLoad off the built-in defaults hold.
    WriteFileBytes(dir.File("config/geoplait/geoplait.ini"), "  AutoLoad=0\n");
    LoadStartupSettings(settings, ui, dir.path(), {}, berlin);
    EXPECT_EQ(settings.current.TimeZone, "");
    EXPECT_EQ(settings.current.Language, "日本語");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(StartupDirectory, IsTheWorkingFolder) {
    const std::string here = StartupDirectory();
    EXPECT_FALSE(here.empty());
    EXPECT_EQ(here.front(), '/');
}

}  // namespace
}  // namespace geoplait
