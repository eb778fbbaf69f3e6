// Progress and cancellation of whole runs through the user interface: every
// record is reported pass by pass, and a cancel request ends the run before
// the next record with its own message and no completion.
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "job/run_conversion.h"
#include "settings/convert_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using Report = std::array<int, 3>;  // pass, done, total

class WatchingUi : public test::RecordingUi {
public:
    void ShowProgress(int pass, int32_t done, int32_t total) override { reports.push_back({pass, done, total}); }
    bool CancelRequested() override { return cancelAfter >= 0 && static_cast<int>(reports.size()) >= cancelAfter; }
    int cancelAfter = -1;  // reports after which the user cancels
    std::vector<Report> reports;
};

const std::string kEpoch =
    "$GPRMC,031500.00,A,3539.3300,N,13945.3100,E,0.5,90.0,150424,,,A*6E\n"
    "$GPGGA,031500.00,3539.3300,N,13945.3100,E,1,08,1.0,40.0,M,39.0,M,,*61\n";

TEST(RunProgress, ReportsEveryRecordAndStopsWhenCancelled) {
    struct Case {
        const char* mode;
        int cancelAfter;
        RunOutcome outcome;
        std::vector<Report> reports;
        NoticeText message;
    };
    const Case cases[] = {
        // Two passes over two epochs.
        {"nmea(log) -> kml", -1, RunOutcome::Complete, {{1, 1, 2}, {1, 2, 2}, {2, 1, 2}, {2, 2, 2}},
         MakeNotice(Notice::RunComplete, {2, 2, "", ""})},
        // Counts are those of the pass it stopped in.
        {"nmea(log) -> kml", 3, RunOutcome::Cancelled, {{1, 1, 2}, {1, 2, 2}, {2, 1, 2}},
         MakeNotice(Notice::RunCancelled, {1, 1})},
        {"nmea(log) -> pot", 1, RunOutcome::Cancelled, {{1, 1, 2}}, MakeNotice(Notice::RunCancelled, {1, 1})},
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

}  // namespace
}  // namespace geoplait
