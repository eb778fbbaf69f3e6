// The replace question of a run with photo sidecars: one for the whole set
// of files the run replaces, the sidecars an earlier run wrote among them.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "job/run_conversion.h"
#include "settings/convert_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;

struct SidecarRun {
    explicit SidecarRun(const test::TempDir& dir) {
        settings.startDir = dir.path();
        ConvertSettings& s = settings.current;
        s.Mode = "nmea(log) -> kml";
        s.InputFile = dir.File("track.log");
        s.OutputFile = dir.File("out.kml");
        s.PhotoDir = dir.File("photos");
        s.TimeDifference = "+ 9:00";
        s.Placemark = s.TrackLine = 0;
        s.Photo = s.Photo_Interpolate = s.Photo_Sidecar = 1;
        s.Photo_CreateDirectory = s.Photo_Comment = 0;
    }
    RunOutcome Run() {
        RunContext ctx(settings, ui);
        return RunConversion(ctx);
    }
    Settings settings;
    test::RecordingUi ui;
};

TEST(SidecarQuestion, AskedOnceWhenTheOutputIsReplacedWithItsSidecars) {
    test::TempDir dir;
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_sidecar_written";
    fs::copy(source / "track.log", dir.File("track.log"));
    fs::copy(source / "photos", dir.File("photos"), fs::copy_options::recursive);
    const std::string sidecar = dir.File("photos/a_between.jpg.xmp");

    SidecarRun first(dir);
    EXPECT_EQ(first.Run(), RunOutcome::Complete);
    EXPECT_TRUE(first.ui.questions.empty());
    ASSERT_TRUE(fs::exists(sidecar));

    // The output and the sidecars are there now: one question covers them all.
    fs::remove(sidecar);
    SidecarRun again(dir);
    EXPECT_EQ(again.Run(), RunOutcome::Complete);
    EXPECT_EQ(again.ui.questions.size(), 1u);
    EXPECT_TRUE(fs::exists(sidecar));

    // A new output with the sidecars there: the question is the sidecars' own.
    fs::remove(dir.File("out.kml"));
    SidecarRun sidecarsOnly(dir);
    EXPECT_EQ(sidecarsOnly.Run(), RunOutcome::Complete);
    EXPECT_EQ(sidecarsOnly.ui.questions.size(), 1u);
}

}  // namespace
}  // namespace geoplait
