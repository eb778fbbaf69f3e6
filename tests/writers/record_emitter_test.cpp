// EmitRecord on records filled by hand: which kinds and inputs split, the
// thresholds, GroupDate, counting, the split names and the lost output.
#include "writers/record_emitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::ReadFileBytes;
using test::RecordingUi;
using test::ShownMessage;
using test::TempDir;

struct EmitFixture {
    Settings settings;
    RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;
    TextWriter out;

    EmitFixture() {
        ConvertSettings& s = ctx.Current();
        s.MeterMile = "Km/Meter";
        s.OutputFile = dir.File("out.csv");
        s.FileSplit = 1;
        s.Output_Time_utc9 = 1;  // CSV Custom lines show the local time only
        ctx.run.TimeDifferenceValue = 0;
    }
    void Open() {
        PrepareFileSplit(ctx);
        out.Open(ctx.Current().OutputFile, WriteMode::Create);
        out.DropBom();
    }
    // A record at the given UTC time and date, at a latitude of ddmm.mmmm.
    void Record(const char* time, const char* date = "010312", const char* latitude = "3539.1234") {
        TrackPoint& p = ctx.point;
        p.GgaId = "$GPGGA";
        p.RmcId = "$GPRMC";
        p.GgaTime = p.RmcTime = time;
        p.RmcDate = date;
        p.GgaLatitude = p.RmcLatitude = latitude;
        p.GgaLongitude = p.RmcLongitude = "13945.6789";
        p.GgaNS = p.RmcNS = "N";
        p.GgaEW = p.RmcEW = "E";
        p.GgaSatellites = "08";
        p.GgaAltitude = "10";
        p.RmcSpeed = "0";
    }
    int Emit(char kind, InputOrigin origin, const char* time, const char* date = "010312",
             const char* latitude = "3539.1234") {
        Record(time, date, latitude);
        return EmitRecord(out, ctx, kind, origin);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// ---- which kinds split ----

struct KindCase {
    char kind;
    InputOrigin origin;
    bool splits;
};

TEST(EmitRecordSplit, KindsThatSplitPerInput) {
    const std::vector<KindCase> cases = {
        {'F', InputOrigin::Nmea, true},     {'C', InputOrigin::Nmea, true},
        {'P', InputOrigin::Nmea, false},    {'G', InputOrigin::Nmea, false},
        {'F', InputOrigin::CsvFull, true},  {'C', InputOrigin::CsvFull, true},
        {'N', InputOrigin::CsvFull, true},  {'P', InputOrigin::CsvFull, false},
        {'G', InputOrigin::CsvFull, false},
    };
    for (const KindCase& c : cases) {
        EmitFixture f;
        f.ctx.run.GapSecondsLimit = 10.0;
        f.Open();
        EXPECT_EQ(f.Emit(c.kind, c.origin, "120000"), 0);
        EXPECT_EQ(f.Emit(c.kind, c.origin, "120100"), 0);  // 60 s later
        f.out.Close();
        const auto files = f.Files();
        const bool second = std::find(files.begin(), files.end(), "out_001.csv") != files.end();
        EXPECT_EQ(second, c.splits) << c.kind << " " << static_cast<int>(c.origin);
        EXPECT_EQ(f.ctx.store.SplitIndex, c.splits ? 1 : 0) << c.kind;
        EXPECT_EQ(f.ctx.store.WrittenCount, 2) << c.kind;
    }
}

TEST(EmitRecordSplit, OffWithoutFileSplit) {
    EmitFixture f;
    f.ctx.Current().FileSplit = 0;
    f.ctx.run.GapSecondsLimit = 10.0;
    f.Open();
    f.Emit('C', InputOrigin::Nmea, "120000");
    f.Emit('C', InputOrigin::Nmea, "120100");
    f.out.Close();
    EXPECT_EQ(f.Files(), std::vector<std::string>{"out.csv"});
    EXPECT_EQ(ReadFileBytes(f.dir.File("out.csv")), "12:00:00\r\n12:01:00\r\n");
}

TEST(EmitRecordSplit, NeverBeforeTheFirstWrittenRecord) {
    EmitFixture f;
    f.ctx.run.GapDistanceLimit = 1.0;
    f.ctx.store.GapDistance = 50.0;  // left over: the first record must not split
    f.Open();
    f.Emit('C', InputOrigin::Nmea, "120000");
    f.out.Close();
    EXPECT_EQ(f.Files(), std::vector<std::string>{"out_000.csv"});
}

TEST(EmitRecordSplit, DistanceAboveLimitOnly) {
    EmitFixture f;
    f.ctx.run.GapDistanceLimit = 1.85;  // one minute of latitude is 1.849 km, two 3.698 km
    f.Open();
    f.Emit('C', InputOrigin::Nmea, "120000", "010312", "3539.1234");
    f.Emit('C', InputOrigin::Nmea, "120001", "010312", "3540.1234");
    f.Emit('C', InputOrigin::Nmea, "120002", "010312", "3542.1234");  // two minutes
    f.out.Close();
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_000.csv")), "12:00:00\r\n12:00:01\r\n");
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_001.csv")), "12:00:02\r\n");
}

TEST(EmitRecordSplit, DateOnlyForNmeaInput) {
    for (InputOrigin origin : {InputOrigin::Nmea, InputOrigin::CsvFull}) {
        EmitFixture f;
        f.ctx.Current().TrackGroupDate = 1;
        f.Open();
        f.Emit('C', origin, "235959", "010312");
        f.Emit('C', origin, "000000", "020312");
        f.out.Close();
        if (origin == InputOrigin::Nmea) {
            EXPECT_EQ(f.Files(), (std::vector<std::string>{"out_000.csv", "out_001.csv"}));
            EXPECT_EQ(f.ctx.store.GroupDate, "020312");
        } else {
            // The CSV Full variant neither splits by date nor keeps GroupDate.
            EXPECT_EQ(f.Files(), std::vector<std::string>{"out_000.csv"});
            EXPECT_EQ(f.ctx.store.GroupDate, "");
        }
    }
}

TEST(EmitRecordSplit, SplitFileGetsMarkWhenBomIsOne) {
    EmitFixture f;
    f.ctx.Current().Bom = 1;
    f.ctx.run.GapSecondsLimit = 10.0;
    PrepareFileSplit(f.ctx);
    f.out.Open(f.ctx.Current().OutputFile, WriteMode::Create);
    f.Emit('C', InputOrigin::CsvFull, "120000");
    f.Emit('C', InputOrigin::CsvFull, "120100");
    f.out.Close();
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_000.csv")), "\xEF\xBB\xBF" "12:00:00\r\n");
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_001.csv")), "\xEF\xBB\xBF" "12:01:00\r\n");
}

// ---- filtering and counting ----

TEST(EmitRecordCount, RejectedRecordIsCountedAndCleared) {
    EmitFixture f;
    f.ctx.Current().OmitErrorData = 1;
    f.Open();
    f.ctx.point.GgaTime = "120000";  // no position
    EXPECT_EQ(EmitRecord(f.out, f.ctx, 'C', InputOrigin::Nmea), 0);
    EXPECT_EQ(f.ctx.store.RecordIndex, 1);
    EXPECT_EQ(f.ctx.store.WrittenCount, 0);
    EXPECT_EQ(f.ctx.point.GgaTime, "");
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120001"), 0);
    EXPECT_EQ(f.ctx.store.RecordIndex, 2);
    EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    EXPECT_EQ(f.ctx.point.RmcLatitude, "");
    f.out.Close();
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_000.csv")), "12:00:01\r\n");
}

TEST(EmitRecordCount, GroupDateFromFirstAcceptedNmeaRecord) {
    EmitFixture f;
    f.ctx.Current().FileSplit = 0;
    f.Open();
    f.Emit('P', InputOrigin::Nmea, "120000", "050613");
    f.Emit('P', InputOrigin::Nmea, "120000", "060613");
    EXPECT_EQ(f.ctx.store.GroupDate, "050613");
}

// ---- split names ----

struct NameCase {
    const char* output;
    const char* first;  // OutputFile after PrepareFileSplit
    const char* second;
};

TEST(PrepareFileSplit, NamesOfTheSplitFiles) {
    const std::vector<NameCase> cases = {
        {"out.csv", "out_000.csv", "out_001.csv"},
        {"trip.tar.csv", "trip.tar_000.csv", "trip.tar_001.csv"},
        {"noext", "noext_000", "noext_001"},
        {"sub.d/trip", "sub.d/trip_000", "sub.d/trip_001"},  // a dot in a directory is no extension
        {"sub.d/trip.CSV", "sub.d/trip_000.CSV", "sub.d/trip_001.CSV"},
    };
    for (const NameCase& c : cases) {
        EmitFixture f;
        std::filesystem::create_directory(f.dir.File("sub.d"));
        f.ctx.Current().OutputFile = f.dir.File(c.output);
        f.ctx.store.SplitIndex = 7;
        f.ctx.run.GapSecondsLimit = 10.0;
        PrepareFileSplit(f.ctx);
        EXPECT_EQ(f.ctx.store.SplitIndex, 0);
        EXPECT_EQ(f.ctx.Current().OutputFile, f.dir.File(c.first)) << c.output;
        f.out.Open(f.ctx.Current().OutputFile, WriteMode::Create);
        f.Emit('F', InputOrigin::Nmea, "120000");
        f.Emit('F', InputOrigin::Nmea, "120100");
        f.out.Close();
        EXPECT_TRUE(test::FileExists(f.dir.File(c.second))) << c.output;
    }
}

TEST(PrepareFileSplit, WithoutFileSplitTheNameStays) {
    EmitFixture f;
    f.ctx.Current().FileSplit = 0;
    f.ctx.store.SplitIndex = 3;
    PrepareFileSplit(f.ctx);
    EXPECT_EQ(f.ctx.Current().OutputFile, f.dir.File("out.csv"));
    EXPECT_EQ(f.ctx.store.SplitIndex, 0);
}

TEST(PrepareFileSplit, NumbersPastThreeDigits) {
    EmitFixture f;
    f.ctx.run.GapSecondsLimit = 0.5;
    f.Open();
    f.ctx.store.SplitIndex = 999;
    f.Emit('C', InputOrigin::Nmea, "120000");
    f.Emit('C', InputOrigin::Nmea, "120001");
    f.out.Close();
    EXPECT_TRUE(test::FileExists(f.dir.File("out_1000.csv")));
}

// ---- a split file that cannot be created ----

TEST(EmitRecordLostOutput, RunEndsAndEarlierFilesStay) {
    EmitFixture f;
    f.ctx.run.GapSecondsLimit = 10.0;
    std::filesystem::create_directory(f.dir.File("out_001.csv"));
    f.Open();
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120000"), 0);
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120100"), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_TRUE(f.ctx.writer.OutputLost);
    EXPECT_FALSE(f.out.IsOpen());
    EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    EXPECT_EQ(f.ctx.store.RecordIndex, 2);
    // Later records are refused without a further message, write or count.
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120101"), -1);
    EXPECT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    EXPECT_EQ(f.ctx.store.RecordIndex, 2);
    EXPECT_EQ(f.ctx.point.GgaTime, "");
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_000.csv")), "12:00:00\r\n");
}

}  // namespace
}  // namespace geoplait
