// A section of a run (the path of a KML beside its placemarks) keeps its own
// record and record state and shares everything else with the run: what it
// notes, a cancel and a failed output are the run's at once.
#include "engine/run_context.h"

#include <gtest/gtest.h>

#include "support/recording_ui.h"

namespace geoplait {
namespace {

TEST(RunContext, ASectionSharesTheRunButItsRecord) {
    Settings settings;
    test::RecordingUi ui;
    RunContext run(settings, ui);
    run.point.GgaTime = "120000";
    run.store.RecordIndex = 7;
    TrackPoint sectionPoint;
    TrackStore sectionStore;
    RunContext section(run, sectionPoint, sectionStore);

    section.point.GgaTime = "130000";
    section.store.RecordIndex = 1;
    EXPECT_EQ(run.point.GgaTime, "120000");
    EXPECT_EQ(run.store.RecordIndex, 7);
    EXPECT_EQ(&section.point, &sectionPoint);
    EXPECT_EQ(&section.store, &sectionStore);

    section.run.RecordsRead = 3;
    AddRunWarning(section, MakeNotice(Notice::SidecarNotReplaced, {"a.jpg.xmp"}));
    EXPECT_EQ(run.run.RecordsRead, 3);
    EXPECT_EQ(run.run.Warnings.size(), 1u);
    EXPECT_EQ(&section.outputs, &run.outputs);
    EXPECT_EQ(&section.scratch, &run.scratch);
    EXPECT_EQ(&section.Current(), &run.Current());

    EXPECT_FALSE(section.StopRequested());
    run.cancelRequested = true;
    EXPECT_TRUE(section.StopRequested());
}

// The outputs side handed to a step alone stops with the run: on a cancel
// and on a failed output alike.
TEST(RunContext, ItsOutputsStopWithTheRun) {
    Settings settings;
    test::RecordingUi ui;
    RunContext cancelled(settings, ui);
    const RunOutputs a = OutputsOf(cancelled);
    EXPECT_EQ(&a.files, &cancelled.outputs);
    EXPECT_EQ(&a.ui, &cancelled.ui);
    EXPECT_FALSE(a.StopRequested());
    cancelled.cancelRequested = true;
    EXPECT_TRUE(a.StopRequested());

    RunContext failed(settings, ui);
    const RunOutputs b = OutputsOf(failed);
    failed.outputs.Fail();
    EXPECT_TRUE(b.StopRequested());
    EXPECT_FALSE(failed.cancelRequested.load());

    RunValues run;
    AddRunWarning(run, MakeNotice(Notice::SidecarNotReplaced, {"a.jpg.xmp"}));
    ASSERT_EQ(run.Warnings.size(), 1u);
    EXPECT_EQ(run.Warnings[0].kind, NoticeKind::Warning);
}

}  // namespace
}  // namespace geoplait
