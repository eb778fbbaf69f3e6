// The failures every NMEA run shares: a missing input, an output that cannot
// be created, an output cut short by a full disk.
#include <gtest/gtest.h>

#include "engine/record_runs.h"
#include "writer_fixture.h"
#include "writers/csv_writer.h"
#include "writers/gpx_writer.h"
#include "writers/nmea_writer.h"
#include "writers/summary_writer.h"

namespace geoplait::test {
namespace {

struct RunCase {
    const char* name;
    int (*run)(RunContext&);
    bool returnsStatus;  // the POT run reports by its message only
};

const RunCase kRuns[] = {
    {"csv full", RunNmeaToCsvFull, true},
    {"csv custom", RunNmeaToCsvCustom, true},
    {"gpx", RunNmeaToGpx, true},
    {"nmea", RunNmeaToNmea, true},
    {"summary csv", [](RunContext& c) { return RunSummary(c, 'T'); }, true},
    {"summary html", [](RunContext& c) { return RunSummary(c, 'H'); }, true},
    {"pot",
     [](RunContext& c) {
         RunNmeaToPot(c);
         return -1;
     },
     false},
};

const char* const kLog = R"($GPRMC,120000,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*6E
$GPGGA,120000,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*75
$GPRMC,120001,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*6F
$GPGGA,120001,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*74
)";

TEST(WriterRuns, FailuresAreReportedOnceAndEndTheRun) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    struct Failure {
        const char* name;
        bool input;
        const char* output;  // in the temporary directory unless absolute
        ShownMessage message;
    };
    const Failure failures[] = {
        {"missing input", false, "out.txt", {"Input File Not Found", "Check!"}},
        {"uncreatable output", true, "no/such/dir/out.txt", {"Output File Not Create", "Error"}},
        {"full disk", true, "/dev/full", {"Output File Not Create", "Error"}},
    };
    for (const RunCase& r : kRuns) {
        for (const Failure& f : failures) {
            SCOPED_TRACE(std::string(r.name) + ", " + f.name);
            WriterFixture w;
            w.s().InputFile = w.dir.File("in.log");
            w.s().OutputFile = f.output[0] == '/' ? f.output : w.dir.File(f.output);
            w.ctx.run.FirstSentenceId = "$GPRMC";
            if (f.input) w.Input(kLog);
            const int status = r.run(w.ctx);
            if (r.returnsStatus) {
                EXPECT_EQ(status, -1);
            }
            EXPECT_EQ(w.ui.messages, std::vector<ShownMessage>{f.message});
            if (f.output[0] != '/') {
                EXPECT_FALSE(FileExists(w.s().OutputFile));
            }
        }
    }
}

TEST(WriterRuns, SplitRunOfAnEmptyLogLeavesAnEmptyFirstFile) {
    WriterFixture w;
    w.s().InputFile = w.dir.File("in.log");
    w.s().OutputFile = w.dir.File("out.csv");
    w.s().FileSplit = 1;
    w.s().Bom = 0;
    w.s().OmitErrorData = 1;
    w.Input("");
    EXPECT_EQ(RunNmeaToCsvFull(w.ctx), 0);
    EXPECT_EQ(w.Files(), (std::vector<std::string>{"in.log", "out_000.csv"}));
    EXPECT_EQ(ReadFileBytes(w.dir.File("out_000.csv")), "");
}

}  // namespace
}  // namespace geoplait::test
