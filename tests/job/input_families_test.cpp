// The family table and the procedures derived from it: every mode runs the
// procedure it ran when the 36 rows were written out by hand, and the track
// input reads each family through its reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/input_families.h"
#include "job/kml_passes.h"
#include "job/mode_table.h"
#include "job/record_runs.h"
#include "job/track_input.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

TEST(ModeProcedures, EveryModeRunsItsProcedure) {
    const struct {
        const char* mode;
        ModeProcedure procedure;
    } cases[] = {
        {"nmea(log) -> kml", RunKmlPasses},
        {"nmea(log) -> pot", RunRecords},
        {"nmea(log) -> gpx", RunRecords},
        {"nmea(log) -> csv(Full)", RunRecords},
        {"nmea(log) -> csv(Custom)", RunRecords},
        {"nmea(log) -> nmea(log)", RunNmeaPassThrough},
        {"nmea(log) -> Summary(csv)", RunSummary},
        {"nmea(log) -> Summary(html)", RunSummary},
        {"csv(Full) -> kml", RunKmlPasses},
        {"csv(Full) -> pot", RunRecords},
        {"csv(Full) -> gpx", RunRecords},
        {"csv(Full) -> nmea(log)", RunRecords},
        {"csv(Full) -> csv(Full)", RunRecords},
        {"csv(Full) -> csv(Custom)", RunRecords},
        {"csv(Custom) -> kml", RunKmlPasses},
        {"csv(Custom) -> pot", RunRecords},
        {"csv(Custom) -> gpx", RunRecords},
        {"csv(Custom) -> nmea(log)", RunRecords},
        {"csv(Custom) -> csv(Custom)", RunRecords},
        {"pot -> kml", RunKmlPasses},
        {"pot -> nmea(log)", RunRecords},
        {"pot -> csv(Custom)", RunRecords},
        {"pot -> gpx", RunRecords},
        {"gpx -> kml", RunKmlPasses},
        {"gpx -> nmea(log)", RunRecords},
        {"gpx -> csv(Custom)", RunRecords},
        {"gpx -> pot", RunRecords},
        {"kml(Line) -> pot", RunRecords},
        {"kml(Line) -> gpx", RunRecords},
        {"kml(Line) -> nmea(log)", RunRecords},
        {"kml(Line) -> csv(Custom)", RunRecords},
        {"kml(Point) -> pot", RunRecords},
        {"kml(Point) -> gpx", RunRecords},
        {"kml(Point) -> nmea(log)", RunRecords},
        {"kml(Point) -> csv(Custom)", RunRecords},
        {"Photo(Only) -> kml", RunKmlPasses},
    };
    ASSERT_EQ(std::size(cases), kConvertModes.size());
    for (const auto& c : cases) {
        const ConvertMode* mode = FindModeByDisplayText(c.mode);
        ASSERT_NE(mode, nullptr) << c.mode;
        EXPECT_EQ(ProcedureOf(*mode), c.procedure) << c.mode;
        EXPECT_EQ(kModeTable[ModeRow(*mode)], c.procedure) << c.mode;
    }
}

TEST(InputFamilies, EveryFamilyHasItsRow) {
    for (const ConvertMode& mode : kConvertModes) {
        const InputFamily& family = FamilyOf(mode.kind);
        EXPECT_EQ(family.kind, mode.kind) << mode.displayText;
        // Only the photos have no track to read; only NMEA logs are checked for their first line.
        EXPECT_EQ(family.open == nullptr, mode.kind == ModeKind::Photo) << mode.displayText;
        EXPECT_EQ(family.firstSentence, mode.kind == ModeKind::Nmea) << mode.displayText;
        EXPECT_EQ(family.count == CountRule::Fixes, mode.kind == ModeKind::Nmea) << mode.displayText;
        // Every family whose KML mode exists has the passes it runs.
        if (mode.output == ModeOutput::Kml && mode.kind != ModeKind::Photo) {
            EXPECT_TRUE(family.kml.track) << mode.displayText;
        }
    }
    EXPECT_FALSE(FamilyOf(ModeKind::KmlLine).kml.track);
    EXPECT_FALSE(FamilyOf(ModeKind::Photo).kml.track);
}

struct TrackInputTest : ::testing::Test {
    TrackInputTest() : ctx(settings, ui) {}
    // Opens `bytes` as the input of family `kind`.
    bool Open(ModeKind kind, const std::string& bytes) {
        settings.current.InputFile = dir.File("input");
        test::WriteFileBytes(settings.current.InputFile, bytes);
        return input.Open(ctx, kind);
    }
    // What ForEach hands on: one text per record.
    std::vector<std::string> Records() {
        std::vector<std::string> records;
        input.ForEach(ctx, [&](RunContext& c) {
            records.push_back(c.point.InLatitudeDeg + "/" + c.point.RmcTime);
            ClearTrackPoint(c.point);
        });
        return records;
    }

    test::TempDir dir;
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx;
    TrackInput input;
};

const char* const kKmlWithBadTuples =
    "<kml><Placemark><LineString><coordinates>139,35 x 140,36 1,2,3,4 141,37</coordinates>"
    "</LineString></Placemark></kml>";

TEST_F(TrackInputTest, DroppedTuplesCountForTheRunNotForThePrescan) {
    ASSERT_TRUE(Open(ModeKind::KmlLine, kKmlWithBadTuples));
    ctx.store.OmitCount = 5;
    EXPECT_EQ(input.Count(ctx), 3);
    EXPECT_EQ(ctx.store.OmitCount, 5);
    ASSERT_TRUE(input.Open(ctx, ModeKind::KmlLine));
    EXPECT_EQ(Records(), (std::vector<std::string>{"35/", "36/", "37/"}));
    EXPECT_EQ(ctx.store.OmitCount, 7);
    // Each pass counts what it drops.
    ASSERT_TRUE(input.Open(ctx, ModeKind::KmlPoint));
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(ctx.store.OmitCount, 7);
}

TEST_F(TrackInputTest, OneInputReadsOneFamilyAfterAnother) {
    ctx.run.FirstSentenceId = "$GPRMC";
    ASSERT_TRUE(Open(ModeKind::Nmea, "$GPRMC,010203,A,3539.3300,N\n$GPGGA,010203\n$GPRMC,010204,A\n"));
    EXPECT_EQ(Records(), (std::vector<std::string>{"/010203", "/010204"}));
    ASSERT_TRUE(Open(ModeKind::Pot, "DAT=WGS84\nido=+35'30'00'0/pti=01:02:05\n"));
    EXPECT_EQ(Records(), (std::vector<std::string>{"35.5000/010205"}));
    EXPECT_FALSE(Open(ModeKind::Photo, "a\n"));
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(input.Count(ctx), 0);
}

TEST_F(TrackInputTest, NmeaEpochsStopWhenTheRunMust) {
    ctx.run.FirstSentenceId = "$GPRMC";
    ASSERT_TRUE(Open(ModeKind::Nmea, "$GPRMC,1\n$GPRMC,2\n$GPRMC,3\n"));
    int taken = 0;
    input.ForEach(ctx, [&](RunContext& c) {
        ++taken;
        ClearTrackPoint(c.point);
        c.cancelRequested = true;
    });
    EXPECT_EQ(taken, 1);
}

TEST_F(TrackInputTest, ABrokenDocumentIsReportedOnceARun) {
    ASSERT_TRUE(Open(ModeKind::Gpx, "<gpx><wpt lat=\"1\" lon=\"2\"/><wpt"));
    EXPECT_EQ(input.Count(ctx), 1);
    ASSERT_TRUE(input.Open(ctx, ModeKind::Gpx));
    EXPECT_EQ(Records().size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].notice, Notice::InputBroken);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Input File Broken\n")) << ui.messages[0].text;
}

}  // namespace
}  // namespace geoplait
