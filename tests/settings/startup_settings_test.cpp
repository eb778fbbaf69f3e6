// The start-up load both programs share: defaults, the settings file in the
// start-up folder (pass 0, pass 1 only when AutoLoad is "1"), the program's
// own additions, then the current instance from the baseline.
#include "settings/startup_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_file.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::RecordingUi;
using test::TempDir;
using test::WriteFileBytes;

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
        LoadStartupSettings(settings, ui, dir.path());
        EXPECT_EQ(settings.startDir, dir.path()) << c.name;
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

TEST(StartupDirectory, IsTheWorkingFolder) {
    const std::string here = StartupDirectory();
    EXPECT_FALSE(here.empty());
    EXPECT_EQ(here.front(), '/');
}

}  // namespace
}  // namespace geoplait
