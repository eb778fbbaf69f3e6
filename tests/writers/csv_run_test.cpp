// The NMEA-to-CSV runs and the NMEA-to-POT run on small logs, in-process:
// file split by time, distance and date, byte-order mark, filters, empty logs
// and the failures of opening and splitting.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/record_runs.h"
#include "engine/run_context.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "writers/csv_writer.h"

namespace geoplait {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::RecordingUi;
using test::ShownMessage;
using test::TempDir;
using test::WriteFileBytes;

constexpr const char* kBom = "\xEF\xBB\xBF";

// Epochs of RMC then GGA at 35°39.1234'N 139°45.6789'E, 45.6 m, 10.5 knots.
constexpr const char* kRmc120000 = "$GPRMC,120000,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*6E\r\n";
constexpr const char* kGga120000 = "$GPGGA,120000,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*75\r\n";
constexpr const char* kRmc120001 = "$GPRMC,120001,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*6F\r\n";
constexpr const char* kGga120001 = "$GPGGA,120001,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*74\r\n";
constexpr const char* kRmc120002 = "$GPRMC,120002,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*6C\r\n";
constexpr const char* kGga120002 = "$GPGGA,120002,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*77\r\n";
constexpr const char* kRmc122000 = "$GPRMC,122000,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*6C\r\n";
constexpr const char* kGga122000 = "$GPGGA,122000,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*77\r\n";
constexpr const char* kRmc145959 = "$GPRMC,145959,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*68\r\n";
constexpr const char* kGga145959 = "$GPGGA,145959,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*73\r\n";
constexpr const char* kRmc150000 = "$GPRMC,150000,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*69\r\n";
constexpr const char* kGga150000 = "$GPGGA,150000,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*72\r\n";
// One minute of latitude further north (1.849016 km on the Bessel ellipsoid).
constexpr const char* kRmcNorth120001 = "$GPRMC,120001,A,3540.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*61\r\n";
constexpr const char* kGgaNorth120001 = "$GPGGA,120001,3540.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*7A\r\n";
constexpr const char* kRmcNorth120002 = "$GPRMC,120002,A,3540.1234,N,13945.6789,E,10.5,90.0,010312,7.0,W*62\r\n";
constexpr const char* kGgaNorth120002 = "$GPGGA,120002,3540.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*79\r\n";

std::string Log(const std::vector<const char*>& lines) {
    std::string log;
    for (const char* l : lines) log += l;
    return log;
}

// The variable columns of a CSV Full line of the logs above.
struct FullColumns {
    const char* utc;       // hhmmss
    const char* ggaSum;    // "*75"
    const char* rmcSum;    // "*6E"
    const char* nmeaLat;   // 3539.1234
    int number;            // column 30
    const char* localDateText;
    const char* localTimeText;
    const char* latDeg;
    const char* total;
    const char* elapsedHms;
    int elapsed;
    int interval;
    const char* latDms;
    const char* localDate;
    const char* localTime;
    const char* intervalDistance;
};

std::string FullLine(const FullColumns& c) {
    std::string l;
    l += std::string("$GPGGA,") + c.utc + "," + c.nmeaLat + ",N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,," +
         c.ggaSum + ",";
    l += std::string("$GPRMC,") + c.utc + ",A," + c.nmeaLat + ",N,13945.6789,E,10.5,90.0,010312,7.0,W" +
         c.rmcSum + ",";
    l += ",$GP000," + std::to_string(c.number) + "," + c.localDateText + "," + c.localTimeText + ",";
    l += std::string(c.latDeg) + ",139.761315,45.6," + c.total + ",19.446000," + c.elapsedHms + ",";
    l += std::to_string(c.elapsed) + "," + std::to_string(c.interval) + "," + c.latDms + ",1394540.73,";
    l += std::string(c.localDate) + "," + c.localTime + "," + c.intervalDistance + ",90000,Km/Meter,,,geoplait\r\n";
    return l;
}

const std::string kFull120000 =
    FullLine({"120000", "*75", "*6E", "3539.1234", 1, "2012/03/01", "21:00:00", "35.652057", "0.000000",
              "00:00:00", 0, 0, "353907.40", "010312", "210000", "0.000000"});
const std::string kFull120001 =
    FullLine({"120001", "*74", "*6F", "3539.1234", 2, "2012/03/01", "21:00:01", "35.652057", "0.000000",
              "00:00:01", 1, 1, "353907.40", "010312", "210001", "0.000000"});

struct RunFixture {
    Settings settings;
    RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    RunFixture() {
        ConvertSettings& s = ctx.Current();
        s.MeterMile = "Km/Meter";
        s.TimeDifference = "+ 9:00";
        s.InputFile = dir.File("track.log");
        s.OutputFile = dir.File("out.csv");
        s.OmitErrorData = 1;
        s.RecordStart = "1";
        s.RecordEnd = "9999999";
        ctx.run.TimeDifferenceValue = 90000;
        ctx.run.FirstSentenceId = "$GPRMC";
        ctx.run.RecordRangeStart = 1;
        ctx.run.RecordRangeEnd = 9999999;
    }
    void Input(const std::string& bytes) { WriteFileBytes(ctx.Current().InputFile, bytes); }
    std::string Out(const char* name) const { return ReadFileBytes(dir.File(name)); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// ---- whole runs without split ----

TEST(NmeaToCsvFull, WritesEveryEpochIncludingTheLast) {
    RunFixture f;
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001}));
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
    EXPECT_EQ(f.Out("out.csv"), kFull120000 + kFull120001);
    EXPECT_EQ(f.ctx.store.RecordIndex, 2);
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.ctx.Current().OutputFile, f.dir.File("out.csv"));
}

TEST(NmeaToCsvFull, ByteOrderMarkFollowsBom) {
    for (int bom : {0, 1}) {
        RunFixture f;
        f.ctx.Current().Bom = bom;
        f.Input(Log({kRmc120000, kGga120000}));
        EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
        EXPECT_EQ(f.Out("out.csv"), (bom ? kBom : "") + kFull120000) << bom;
    }
}

TEST(NmeaToCsvFull, EmptyLogGivesOneEmptyRecord) {
    // Dropped as error data: nothing written, one record read.
    {
        RunFixture f;
        f.Input("");
        EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
        EXPECT_EQ(f.Out("out.csv"), "");
        EXPECT_TRUE(FileExists(f.dir.File("out.csv")));
        EXPECT_EQ(f.ctx.store.RecordIndex, 1);
        EXPECT_EQ(f.ctx.store.WrittenCount, 0);
    }
    // Kept when OmitErrorData is off: a line of empty columns (local time is
    // the time difference added to an empty time).
    {
        RunFixture f;
        f.ctx.Current().OmitErrorData = 0;
        f.ctx.Current().Bom = 1;
        f.Input("");
        EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
        EXPECT_EQ(f.Out("out.csv"),
                  std::string(kBom) +
                      ",,,,,,,,,,,,,,,,,,,,,,,,,,,,$GP000,1,,09:00:00,,,,0.000000,0.000000,00:00:00,0,0,"
                      ",,,090000,0.000000,90000,Km/Meter,,,geoplait\r\n");
        EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    }
}

TEST(NmeaToCsvCustom, FilteredRecordsLeaveGapsInNumbering) {
    RunFixture f;
    ConvertSettings& s = f.ctx.Current();
    s.Output_No = 1;
    s.Output_Time_utc9 = 1;
    s.IncludeData = 1;
    f.ctx.run.RecordRangeStart = 2;
    f.ctx.run.RecordRangeEnd = 3;
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001, kRmc120002, kGga120002, kRmc122000,
                 kGga122000}));
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
    EXPECT_EQ(f.Out("out.csv"), "21:00:01,2\r\n21:00:02,3\r\n");
    EXPECT_EQ(f.ctx.store.RecordIndex, 4);
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
}

TEST(NmeaToCsvFull, FilteredRecordsLeaveNoGapInNumbering) {
    RunFixture f;
    f.ctx.Current().IncludeData = 1;
    f.ctx.run.RecordRangeStart = 2;
    f.ctx.run.RecordRangeEnd = 2;
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001, kRmc120002, kGga120002}));
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
    // The only written record is number 1 in column 30 and is the first of the pass.
    EXPECT_EQ(f.Out("out.csv"),
              FullLine({"120001", "*74", "*6F", "3539.1234", 1, "2012/03/01", "21:00:01", "35.652057",
                        "0.000000", "00:00:00", 0, 0, "353907.40", "010312", "210001", "0.000000"}));
}

TEST(NmeaToCsvCustom, ColumnSets) {
    struct Case {
        std::vector<int ConvertSettings::*> flags;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{&ConvertSettings::Output_Latitude_ddd, &ConvertSettings::Output_Longitude_ddd,
          &ConvertSettings::Output_Altitude},
         "35.652057,139.761315,45.6\r\n35.652057,139.761315,45.6\r\n"},
        {{&ConvertSettings::Output_Date_ymd, &ConvertSettings::Output_Time_utc9,
          &ConvertSettings::Output_Speed_km, &ConvertSettings::Output_Elapsed_hms},
         "19.446,2012/03/01,21:00:00,00:00:00\r\n19.446,2012/03/01,21:20:00,00:20:00\r\n"},
        {{&ConvertSettings::Output_Name, &ConvertSettings::Output_Extend_Data}, ",\r\n,\r\n"},
    };
    for (const Case& c : cases) {
        RunFixture f;
        for (auto flag : c.flags) f.ctx.Current().*flag = 1;
        f.Input(Log({kRmc120000, kGga120000, kRmc122000, kGga122000}));
        EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
        EXPECT_EQ(f.Out("out.csv"), c.expected);
    }
}

// ---- file split ----

TEST(NmeaToCsvSplit, ByTimeGap) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.Current().Bom = 1;
    f.ctx.run.GapSecondsLimit = 600.0;
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001, kRmc122000, kGga122000}));
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "out_001.csv", "track.log"}));
    EXPECT_EQ(f.Out("out_000.csv"), kBom + kFull120000 + kFull120001);
    EXPECT_EQ(f.Out("out_001.csv"),
              kBom + FullLine({"122000", "*77", "*6C", "3539.1234", 3, "2012/03/01", "21:20:00", "35.652057",
                               "0.000000", "00:20:00", 1200, 1199, "353907.40", "010312", "212000",
                               "0.000000"}));
    // The first file's name stays in the settings.
    EXPECT_EQ(f.ctx.Current().OutputFile, f.dir.File("out_000.csv"));
    EXPECT_EQ(f.ctx.store.SplitIndex, 1);
    EXPECT_EQ(f.ctx.store.WrittenCount, 3);
}

TEST(NmeaToCsvSplit, IntervalEqualToLimitDoesNotSplit) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.run.GapSecondsLimit = 1.0;
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001}));
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "track.log"}));
    EXPECT_EQ(f.Out("out_000.csv"), kFull120000 + kFull120001);
}

TEST(NmeaToCsvSplit, ByDistance) {
    RunFixture f;
    ConvertSettings& s = f.ctx.Current();
    s.FileSplit = 1;
    s.Output_No = 1;
    s.Output_Latitude_dmm = 1;
    s.Output_interval_Distance = 1;
    s.Output_Elapsed_Distance = 1;
    f.ctx.run.GapDistanceLimit = 1.0;
    f.Input(Log({kRmc120000, kGga120000, kRmcNorth120001, kGgaNorth120001, kRmcNorth120002,
                 kGgaNorth120002}));
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "out_001.csv", "track.log"}));
    EXPECT_EQ(f.Out("out_000.csv"), "3539.1234,0.000000,0.000000,1\r\n");
    EXPECT_EQ(f.Out("out_001.csv"),
              "3540.1234,1.849016,1.849016,2\r\n"
              "3540.1234,1.849016,0.000000,3\r\n");
}

TEST(NmeaToCsvSplit, ByLocalDate) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.Current().TrackGroupDate = 1;
    f.ctx.Current().Output_Date_ymd = 1;
    f.ctx.Current().Output_Time_utc9 = 1;
    // 14:59:59 and 15:00:00 UTC are 23:59:59 and 00:00:00 local at + 9:00.
    f.Input(Log({kRmc145959, kGga145959, kRmc150000, kGga150000}));
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
    EXPECT_EQ(f.Out("out_000.csv"), "2012/03/01,23:59:59\r\n");
    EXPECT_EQ(f.Out("out_001.csv"), "2012/03/02,00:00:00\r\n");
    EXPECT_EQ(f.ctx.store.GroupDate, "020312");
}

TEST(NmeaToCsvSplit, DateChangeWithoutTrackGroupDateKeepsOneFile) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.Current().Output_Time_utc9 = 1;
    f.Input(Log({kRmc145959, kGga145959, kRmc150000, kGga150000}));
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "track.log"}));
    EXPECT_EQ(f.Out("out_000.csv"), "23:59:59\r\n00:00:00\r\n");
}

TEST(NmeaToCsvSplit, ThreeFilesNumberedInOrder) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.Current().Output_Time_utc9 = 1;
    f.ctx.run.GapSecondsLimit = 0.5;
    f.ctx.Current().OutputFile = f.dir.File("trip.txt");
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001, kRmc120002, kGga120002}));
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
    EXPECT_EQ(f.Files(),
              (std::vector<std::string>{"track.log", "trip_000.txt", "trip_001.txt", "trip_002.txt"}));
    EXPECT_EQ(f.Out("trip_002.txt"), "21:00:02\r\n");
}

TEST(NmeaToCsvSplit, SplitFileBomFollowsBom) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.Current().Output_No = 1;
    f.ctx.run.GapSecondsLimit = 600.0;
    f.Input(Log({kRmc120000, kGga120000, kRmc122000, kGga122000}));
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), 0);
    EXPECT_EQ(f.Out("out_000.csv"), "1\r\n");
    EXPECT_EQ(f.Out("out_001.csv"), "2\r\n");
}

TEST(NmeaToCsvSplit, EmptyLogWritesEmptyFirstFile) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.Input("");
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), 0);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "track.log"}));
    EXPECT_EQ(f.Out("out_000.csv"), "");
}

// ---- failures ----

TEST(NmeaToCsvFailure, InputMissing) {
    RunFixture f;
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Input File Not Found", "Check!"}}));
    EXPECT_FALSE(FileExists(f.dir.File("out.csv")));
}

TEST(NmeaToCsvFailure, OutputCannotBeCreated) {
    RunFixture f;
    f.Input(Log({kRmc120000, kGga120000}));
    f.ctx.Current().OutputFile = f.dir.File("missing/out.csv");
    EXPECT_EQ(RunNmeaToCsvCustom(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_EQ(f.ctx.store.RecordIndex, 0);
}

TEST(NmeaToCsvFailure, SplitFileCannotBeCreated) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.run.GapSecondsLimit = 600.0;
    // A directory in the way of the second file.
    std::filesystem::create_directory(f.dir.File("out_001.csv"));
    f.Input(Log({kRmc120000, kGga120000, kRmc120001, kGga120001, kRmc122000, kGga122000, kRmc122000,
                 kGga122000}));
    EXPECT_EQ(RunNmeaToCsvFull(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    // The first file is complete; nothing after the failure is written or counted.
    EXPECT_EQ(f.Out("out_000.csv"), kFull120000 + kFull120001);
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
    EXPECT_EQ(f.ctx.store.RecordIndex, 3);
    EXPECT_TRUE(f.ctx.writer.OutputLost);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "out_001.csv", "track.log"}));
}

TEST(NmeaToCsvFailure, OutputCutShortIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (bool pot : {false, true}) {
        RunFixture f;
        f.Input(Log({kRmc120000, kGga120000}));
        f.ctx.Current().OutputFile = "/dev/full";  // every write fails: disk full
        if (pot) {
            RunNmeaToPot(f.ctx);
        } else {
            EXPECT_EQ(RunNmeaToCsvFull(f.ctx), -1);
        }
        EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}})) << pot;
    }
}

// ---- nmea(log) -> pot ----

TEST(NmeaToPot, DatLineThenOneLinePerEpoch) {
    for (int bom : {0, 1}) {
        RunFixture f;
        f.ctx.Current().Bom = bom;
        f.ctx.Current().OutputFile = f.dir.File("out.pot");
        f.Input(Log({kRmc120000, kGga120000, kRmc122000, kGga122000}));
        RunNmeaToPot(f.ctx);
        EXPECT_EQ(f.Out("out.pot"),
                  std::string(bom ? kBom : "") +
                      "DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\r\n"
                      "ORD=POI/tex=/ide=1/des=(Sat=8 Mar=1)/ido= 035'39'07'4/kei= 139'45'40'7/adr=1/"
                      "alt=+45/col=12/pda=01-MAR-12/pti=12:00:00\r\n"
                      "ORD=POI/tex=/ide=2/des=(Sat=8 Mar=1)/ido= 035'39'07'4/kei= 139'45'40'7/adr=1/"
                      "alt=+45/col=12/pda=01-MAR-12/pti=12:20:00\r\n");
        EXPECT_EQ(f.ctx.store.WrittenCount, 2);
        EXPECT_TRUE(f.ui.messages.empty());
    }
}

TEST(NmeaToPot, NeverSplits) {
    RunFixture f;
    f.ctx.Current().FileSplit = 1;
    f.ctx.Current().TrackGroupDate = 1;
    f.ctx.run.GapSecondsLimit = 0.5;
    f.ctx.Current().OutputFile = f.dir.File("out.pot");
    f.Input(Log({kRmc145959, kGga145959, kRmc150000, kGga150000}));
    RunNmeaToPot(f.ctx);
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"out.pot", "track.log"}));
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
}

TEST(NmeaToPot, EmptyLog) {
    struct Case {
        int omit;
        int written;
    };
    for (Case c : {Case{1, 0}, Case{0, 1}}) {
        RunFixture f;
        f.ctx.Current().OmitErrorData = c.omit;
        f.ctx.Current().OutputFile = f.dir.File("out.pot");
        f.Input("");
        RunNmeaToPot(f.ctx);
        EXPECT_EQ(f.ctx.store.RecordIndex, 1);
        EXPECT_EQ(f.ctx.store.WrittenCount, c.written);
        EXPECT_EQ(f.Out("out.pot").rfind("DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\r\n", 0), 0u);
    }
}

TEST(NmeaToPot, OpenFailures) {
    {
        RunFixture f;
        f.ctx.Current().OutputFile = f.dir.File("out.pot");
        RunNmeaToPot(f.ctx);
        EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Input File Not Found", "Check!"}}));
        EXPECT_FALSE(FileExists(f.dir.File("out.pot")));
    }
    {
        RunFixture f;
        f.Input(Log({kRmc120000, kGga120000}));
        f.ctx.Current().OutputFile = f.dir.File("no/out.pot");
        RunNmeaToPot(f.ctx);
        EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
        EXPECT_EQ(f.ctx.store.RecordIndex, 0);
    }
}

}  // namespace
}  // namespace geoplait
