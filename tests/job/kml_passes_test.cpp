// Whole KML conversions in-process: the passes' failures, the per-record
// counting and two conversions in a row on one context.
#include "job/kml_passes.h"

#include <cerrno>

#include "job/run_conversion.h"
#include "kml/kml_path.h"
#include "kml/kml_fixture.h"

namespace geoplait::test {
namespace {

// Four epochs 0.1' of latitude (about 185 m) and 10 s apart, UTC 01:00:00 on
// 5 March 2021.
const char* const kLog = R"($GPRMC,010000.000,A,3539.1234,N,13944.7259,E,0.0,0.0,050321,,,A*60
$GPGGA,010000.000,3539.1234,N,13944.7259,E,1,08,1.0,10.0,M,39.0,M,,*65
$GPRMC,010010.000,A,3539.2234,N,13944.7259,E,2.5,10.0,050321,,,A*54
$GPGGA,010010.000,3539.2234,N,13944.7259,E,1,08,1.0,11.0,M,39.0,M,,*66
$GPRMC,010020.000,A,3539.3234,N,13944.7259,E,3.0,20.0,050321,,,A*51
$GPGGA,010020.000,3539.3234,N,13944.7259,E,1,08,1.0,12.0,M,39.0,M,,*67
$GPRMC,010030.000,A,3539.4234,N,13944.7259,E,12.0,30.0,050321,,,A*66
$GPGGA,010030.000,3539.4234,N,13944.7259,E,1,08,1.0,13.0,M,39.0,M,,*60
)";

class KmlPassesTest : public KmlFixture {
protected:
    KmlPassesTest() {
        s().InputFile = dir.File("track.log");
        s().OutputFile = dir.File("out.kml");
        WriteFileBytes(s().InputFile, kLog);
        ctx.run.PrescanCount = 4;
        ctx.run.FirstSentenceId = "$GPRMC";
    }
    // The document once the run's outputs are put into place.
    std::string Output() {
        EXPECT_TRUE(ctx.outputs.Commit());
        return FromCrLf(ReadFileBytes(s().OutputFile));
    }
};

TEST_F(KmlPassesTest, MissingInputSkipsBothFoldersButKeepsTheFrame) {
    s().InputFile = dir.File("none.log");
    RunKmlPasses(ctx, kConvertModes[0]);
    EXPECT_EQ(Output(), kKmlHead + "</Document>\n</kml>\n");
    // One read for both folders: said once.
    EXPECT_EQ(ui.messages, (test::Notices{WithCause(MakeNotice(Notice::InputNotFound), s().InputFile, ENOENT)}));
    EXPECT_EQ(ctx.store.RecordIndex, 0);
    EXPECT_EQ(ctx.store.WrittenCount, 0);
}

TEST_F(KmlPassesTest, OutputThatCannotBeWrittenStopsThePasses) {
    ctx.outputs.FailAfterBytes(1000);  // the head fits, the point folder does not
    RunKmlPasses(ctx, kConvertModes[0]);
    EXPECT_TRUE(ctx.StopRequested());
    EXPECT_TRUE(ui.messages.empty()) << "the job says so once";
    EXPECT_FALSE(ctx.outputs.Commit());
    EXPECT_FALSE(FileExists(s().OutputFile));
}

TEST_F(KmlPassesTest, TwoConversionsInARowGiveTheSameDocument) {
    // Distance-selected placemarks move the anchor; a second conversion on the
    // same context must measure from its own first record again.
    s().PosDistance = 1;
    s().PosDistance_edit = "300";
    s().Label_Description = 0;
    ASSERT_EQ(RunConversion(ctx), RunOutcome::Complete);
    const std::string first = Output();
    EXPECT_NE(first.find(" <name>(3) 00:00:20(0.37Km)[5.6Km/h]</name>"), std::string::npos) << first;
    EXPECT_EQ(first.find(" <name>(2) "), std::string::npos) << first;
    ASSERT_EQ(RunConversion(ctx), RunOutcome::Complete);
    EXPECT_EQ(Output(), first);
}

}  // namespace
}  // namespace geoplait::test
