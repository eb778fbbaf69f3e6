// Progress and cancellation of whole runs through the user interface: every
// record is reported pass by pass, and a cancel request ends the run before
// the next record with its own message and no completion.
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "job/run_conversion.h"
#include "job/run_steps.h"
#include "settings/convert_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

class WatchingUi : public test::RecordingUi {
public:
    void ShowProgress(const RunProgress& progress) override { reports.push_back(progress); }
    bool CancelRequested() override { return cancelAfter >= 0 && static_cast<int>(reports.size()) >= cancelAfter; }
    int cancelAfter = -1;  // reports after which the user cancels
    std::vector<RunProgress> reports;
};

const std::string kEpoch =
    "$GPRMC,031500.00,A,3539.3300,N,13945.3100,E,0.5,90.0,150424,,,A*67\n"
    "$GPGGA,031500.00,3539.3300,N,13945.3100,E,1,08,1.0,40.0,M,39.0,M,,*58\n";

// Every record is reported once, with the bytes of the input read up to it:
// a KML takes both its folders from one read. A cancel ends the run before
// the next record.
TEST(RunProgress, ReportsEveryRecordByBytesAndStopsWhenCancelled) {
    const uint64_t size = 2 * kEpoch.size();
    // The reader's position after each epoch: the first ends where the
    // second begins (the line that opens it was read), the second at the end.
    const uint64_t first = kEpoch.size() + 67;  // its RMC line as well
    struct Case {
        const char* mode;
        int cancelAfter;
        RunOutcome outcome;
        std::vector<RunProgress> reports;
        NoticeText message;
    };
    const Case cases[] = {
        {"nmea(log) -> kml", -1, RunOutcome::Complete, {{1, 1, first, size}, {1, 2, size, size}},
         MakeNotice(Notice::RunComplete, {2, 2, "", ""})},
        {"nmea(log) -> gpx", -1, RunOutcome::Complete, {{1, 1, first, size}, {1, 2, size, size}},
         MakeNotice(Notice::RunComplete, {2, 2, "", ""})},
        // Stopped before the second record; the counts of the path, as of the pass that ran last.
        {"nmea(log) -> kml", 1, RunOutcome::Cancelled, {{1, 1, first, size}},
         MakeNotice(Notice::RunCancelled, {1, 1})},
        {"nmea(log) -> pot", 1, RunOutcome::Cancelled, {{1, 1, first, size}},
         MakeNotice(Notice::RunCancelled, {1, 1})},
        // Cancelled before the first record: nothing is read.
        {"nmea(log) -> gpx", 0, RunOutcome::Cancelled, {}, MakeNotice(Notice::RunCancelled, {0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " cancel after " + std::to_string(c.cancelAfter));
        test::TempDir dir;
        Settings settings;
        SetDefaultSettings(settings);
        ApplyBaselineSettings(settings);
        settings.startDir = dir.path();
        settings.current.Mode = c.mode;
        settings.current.InputFile = dir.File("in.log");
        settings.current.OutputFile = dir.File("out");
        test::WriteFileBytes(settings.current.InputFile, kEpoch + kEpoch);
        WatchingUi ui;
        ui.cancelAfter = c.cancelAfter;
        RunContext ctx(settings, ui);

        EXPECT_EQ(RunConversion(ctx), c.outcome);
        EXPECT_EQ(ui.reports, c.reports);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back(), c.message);
        if (c.outcome == RunOutcome::Cancelled) {
            EXPECT_EQ(ui.messageLines.back(), " *** Cancelled ***");
        }
    }
}

// A placemark type that divides the track counts the records in advance;
// nothing else reads the input before the run.
TEST(RunProgress, OnlyPlacemarkTypesThatDivideTheTrackCountInAdvance) {
    const struct {
        const char* mode;
        int placemark, posType;
        const char* type;
        bool counted;
    } cases[] = {
        {"nmea(log) -> kml", 1, 1, "Point 3", true},  {"nmea(log) -> kml", 1, 1, "Start & End", true},
        {"gpx -> kml", 1, 1, "Point 100", true},      {"nmea(log) -> kml", 0, 1, "Point 3", false},
        {"nmea(log) -> kml", 1, 0, "Point 3", false}, {"nmea(log) -> kml", 1, 1, "Point 7", false},
        {"nmea(log) -> gpx", 1, 1, "Point 3", false}, {"gpx -> pot", 1, 1, "Start & End", false},
    };
    for (const auto& c : cases) {
        ConvertSettings s;
        s.Placemark = c.placemark;
        s.PosType = c.posType;
        s.PosType_edit = c.type;
        EXPECT_EQ(NeedsRecordCount(s, FindModeByDisplayText(c.mode)), c.counted) << c.mode << " " << c.type;
    }
    EXPECT_FALSE(NeedsRecordCount(ConvertSettings{}, nullptr));
}

}  // namespace
}  // namespace geoplait
