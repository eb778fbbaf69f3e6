// Whole KML conversions in-process: the passes, their failures, the per-record
// counting and two conversions in a row on one context.
#include "kml/kml_passes.h"

#include "engine/run_conversion.h"
#include "kml/kml_path.h"
#include "kml_fixture.h"

namespace geoplait::test {
namespace {

// Three epochs 0.1' of latitude (about 185 m) and 10 s apart, then a fourth
// 0.1' further; UTC 01:00:00 on 5 March 2021.
const char* const kLog =
    "$GPRMC,010000.000,A,3539.1234,N,13944.7259,E,0.0,0.0,050321,,,A*60\r\n"
    "$GPGGA,010000.000,3539.1234,N,13944.7259,E,1,08,1.0,10.0,M,39.0,M,,*65\r\n"
    "$GPRMC,010010.000,A,3539.2234,N,13944.7259,E,2.5,10.0,050321,,,A*54\r\n"
    "$GPGGA,010010.000,3539.2234,N,13944.7259,E,1,08,1.0,11.0,M,39.0,M,,*66\r\n"
    "$GPRMC,010020.000,A,3539.3234,N,13944.7259,E,3.0,20.0,050321,,,A*51\r\n"
    "$GPGGA,010020.000,3539.3234,N,13944.7259,E,1,08,1.0,12.0,M,39.0,M,,*67\r\n"
    "$GPRMC,010030.000,A,3539.4234,N,13944.7259,E,12.0,30.0,050321,,,A*66\r\n"
    "$GPGGA,010030.000,3539.4234,N,13944.7259,E,1,08,1.0,13.0,M,39.0,M,,*60\r\n";

const char* const kHead =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kml xmlns=\"http://earth.google.com/kml/2.1\">\n"
    "<Document>\n"
    "<name>KmlName</name>\n"
    "\n"
    "<Style id=\"style\">\n"
    "<IconStyle>\n"
    " <scale>0.5</scale>\n"
    "</IconStyle>\n"
    "<LabelStyle>\n"
    " <scale>0.8</scale>\n"
    "</LabelStyle>\n"
    "</Style>\n"
    "\n";

class KmlPassesTest : public KmlFixture {
protected:
    KmlPassesTest() {
        s().InputFile = dir.File("track.log");
        s().OutputFile = dir.File("out.kml");
        WriteFileBytes(s().InputFile, kLog);
        ctx.run.PrescanCount = 4;
        ctx.run.FirstSentenceId = "$GPRMC";
    }
    std::string Output() { return FromCrLf(ReadFileBytes(s().OutputFile)); }
};

TEST_F(KmlPassesTest, MissingInputSkipsBothPassesButKeepsTheFrame) {
    s().InputFile = dir.File("none.log");
    RunKmlPasses(ctx);
    EXPECT_EQ(Output(), std::string(kHead) + "</Document>\n</kml>\n");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], (ShownMessage{"Input File Not Found", "Check!"}));
    EXPECT_EQ(ui.messages[1], (ShownMessage{"Input File Not Found", "Check!"}));
    EXPECT_EQ(ctx.store.RecordIndex, 0);
    EXPECT_EQ(ctx.store.WrittenCount, 0);
}

TEST_F(KmlPassesTest, OutputThatCannotBeCreatedIsReportedByEveryStep) {
    s().OutputFile = dir.File("no/such/dir/out.kml");
    RunKmlPasses(ctx);
    const ShownMessage failed{"Output File Not Create", "Error"};
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{failed, failed, failed, failed}));
    EXPECT_FALSE(FileExists(s().OutputFile));
}

TEST_F(KmlPassesTest, NoPassesWritesOnlyTheFrame) {
    s().Placemark = 0;
    s().TrackLine = 0;
    RunKmlPasses(ctx);
    EXPECT_EQ(Output(), std::string(kHead) + "</Document>\n</kml>\n");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(KmlPassesTest, FamilyWithoutPassesYetWritesOnlyTheFrame) {
    s().Mode = "csv(Full) -> kml";
    RunKmlPasses(ctx);
    EXPECT_EQ(Output(), std::string(kHead) + "</Document>\n</kml>\n");
}

TEST_F(KmlPassesTest, CountsComeFromTheLastPassThatCounted) {
    s().IncludeData = 1;
    ctx.run.RecordRangeStart = 2;
    ctx.run.RecordRangeEnd = 4;
    s().TrackLine = 0;
    RunKmlPasses(ctx);
    EXPECT_EQ(ctx.store.RecordIndex, 4);
    EXPECT_EQ(ctx.store.WrittenCount, 3);

    s().TrackLine = 1;
    ctx.run.RecordRangeEnd = 2;
    RunKmlPasses(ctx);
    EXPECT_EQ(ctx.store.RecordIndex, 4);
    EXPECT_EQ(ctx.store.WrittenCount, 1);
}

TEST_F(KmlPassesTest, PhotoAndKmzStepsAddNothingYet) {
    RunKmlPasses(ctx);
    const std::string without = Output();
    s().Photo = 1;
    s().Kmz = 1;
    s().PhotoDir = dir.path();
    ctx.store = TrackStore{};
    ctx.point = TrackPoint{};
    RunKmlPasses(ctx);
    EXPECT_EQ(Output(), without);
}

TEST_F(KmlPassesTest, PathPassWithoutStampsIsOneLine) {
    s().Placemark = 0;
    s().TimeStampPath = 0;
    RunKmlPasses(ctx);
    EXPECT_EQ(Output(), std::string(kHead) +
                            "<Folder>\n"
                            "<name>Path</name>\n"
                            "<Placemark>\n"
                            " <name>Path_Group0_L</name>\n"
                            " <Style>\n"
                            "  <LineStyle>\n"
                            "   <color>FF0000FF</color>\n"
                            "   <width>2</width>\n"
                            "  </LineStyle>\n"
                            "  <PolyStyle>\n"
                            "   <color>7F00FF00</color>\n"
                            "  </PolyStyle>\n"
                            " </Style>\n"
                            " <LineString>\n"
                            "  <extrude>0</extrude>\n"
                            "  <tessellate>0</tessellate>\n"
                            "  <altitudeMode>clampToGround</altitudeMode>\n"
                            "  <coordinates>\n"
                            "+139.745432,+35.652057,10.00\n"
                            "+139.745432,+35.653723,11.00\n"
                            "+139.745432,+35.655390,12.00\n"
                            "+139.745432,+35.657057,13.00\n"
                            "</coordinates>\n"
                            "</LineString>\n"
                            "</Placemark>\n"
                            "</Folder>\n"
                            "</Document>\n"
                            "</kml>\n");
    EXPECT_EQ(ctx.store.RecordIndex, 4);
    EXPECT_EQ(ctx.store.WrittenCount, 4);
}

TEST_F(KmlPassesTest, TrackRecordCountsAndClears) {
    TextWriter file(dir.File("w.kml"), WriteMode::Plain);
    KmlBuffer out(file);
    s().TimeStampPath = 0;
    ctx.store.SinceWrittenDistance = 5.0;
    ctx.point.RmcLatitude = "3539.1234";
    ctx.point.RmcLongitude = "13944.7259";
    ctx.point.RmcDate = "050321";
    ctx.point.RmcTime = "010000";
    WriteTrackRecord(out, ctx, 'L', TrackSource::Nmea);
    EXPECT_EQ(ctx.store.RecordIndex, 1);
    EXPECT_EQ(ctx.store.WrittenCount, 1);
    EXPECT_EQ(ctx.store.SinceWrittenDistance, 0.0);
    EXPECT_TRUE(ctx.point.RmcLatitude.empty());

    // An empty record is error data: counted as read, not written.
    WriteTrackRecord(out, ctx, 'L', TrackSource::Nmea);
    EXPECT_EQ(ctx.store.RecordIndex, 2);
    EXPECT_EQ(ctx.store.WrittenCount, 1);
    out.Flush();
    file.Close();
    EXPECT_EQ(FromCrLf(ReadFileBytes(dir.File("w.kml"))), "+139.745432,+35.652057,0.00\n");
}

TEST_F(KmlPassesTest, PlacemarkPassBreakRestartsElapsedAndDistance) {
    s().TrackLine = 0;
    s().Label_Description = 0;
    s().TimeStampPosition = 0;
    ctx.run.GapSecondsLimit = 15.0;
    WriteFileBytes(s().InputFile,
                   "$GPRMC,010000,A,3539.1234,N,13944.7259,E,0.0,0.0,050321,,,A\r\n"
                   "$GPRMC,010010,A,3539.2234,N,13944.7259,E,0.0,0.0,050321,,,A\r\n"
                   "$GPRMC,010030,A,3539.3234,N,13944.7259,E,0.0,0.0,050321,,,A\r\n"
                   "$GPRMC,010040,A,3539.4234,N,13944.7259,E,0.0,0.0,050321,,,A\r\n");
    RunKmlPasses(ctx);
    const std::string text = Output();
    EXPECT_NE(text.find(" <name>(2) 00:00:10(0.18Km)[0.0Km/h]</name>\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" <name>(3) 00:00:00(0.00Km)[0.0Km/h]</name>\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" <name>(4) 00:00:00(0.18Km)[0.0Km/h]</name>\n"), std::string::npos) << text;
}

TEST_F(KmlPassesTest, TwoConversionsInARowGiveTheSameDocument) {
    // Distance-selected placemarks move the anchor; a second conversion on the
    // same context must measure from its own first record again.
    s().PosDistance = 1;
    s().PosDistance_edit = "300";
    s().Label_Description = 0;
    ui.answerOk = true;
    ASSERT_EQ(RunConversion(ctx), RunOutcome::Complete);
    const std::string first = Output();
    EXPECT_NE(first.find(" <name>(3) 00:00:20(0.37Km)[5.6Km/h]</name>"), std::string::npos) << first;
    EXPECT_EQ(first.find(" <name>(2) "), std::string::npos) << first;
    ASSERT_EQ(RunConversion(ctx), RunOutcome::Complete);
    EXPECT_EQ(Output(), first);
}

}  // namespace
}  // namespace geoplait::test
