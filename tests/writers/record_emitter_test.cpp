// EmitRecord on records filled by hand: which kinds and inputs split, the
// thresholds, GroupDate, the split names and the lost output.
#include "writers/record_emitter.h"

#include "writer_fixture.h"

namespace geoplait::test {
namespace {

struct Emitter : WriterFixture {
    TextWriter out;

    Emitter() {
        s().MeterMile = "Km/Meter";
        s().OutputFile = dir.File("out.csv");
        s().FileSplit = 1;
        s().Output_Time_utc9 = 1;  // CSV Custom lines show the local time only
    }
    void Open() {
        PrepareFileSplit(ctx);
        out.Open(s().OutputFile, WriteMode::Create);
        out.DropBom();
    }
    // A record at the given UTC time and date and latitude (ddmm.mmmm).
    int Emit(char kind, InputOrigin origin, const char* time, const char* date = "010312",
             const char* latitude = "3539.1234") {
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
        return EmitRecord(out, ctx, kind, origin);
    }
};

TEST(EmitRecord, WhenTheOutputSplits) {
    struct Record {
        const char *time, *date, *latitude;
    };
    const std::vector<Record> minuteApart = {{"120000", "010312", "3539.1234"}, {"120100", "010312", "3539.1234"}};
    const std::vector<Record> overMidnight = {{"235959", "010312", "3539.1234"}, {"000000", "020312", "3539.1234"}};
    // One minute of latitude is 1.849 km, two are 3.698 km.
    const std::vector<Record> northward = {
        {"120000", "010312", "3539.1234"}, {"120001", "010312", "3540.1234"}, {"120002", "010312", "3542.1234"}};
    const std::vector<std::string> one = {"out_000.csv"}, two = {"out_000.csv", "out_001.csv"};
    struct Case {
        const char* name;
        char kind;
        InputOrigin origin;
        int fileSplit, trackGroupDate;
        double gapSeconds, gapDistance;
        const std::vector<Record>& records;
        std::vector<std::string> files;
        const char* groupDate;
    };
    constexpr InputOrigin nmea = InputOrigin::Nmea, csv = InputOrigin::CsvFull;
    constexpr double never = 99999999.0;
    const Case cases[] = {
        {"CSV Full from NMEA", 'F', nmea, 1, 0, 10, never, minuteApart, two, "010312"},
        {"CSV Custom from NMEA", 'C', nmea, 1, 0, 10, never, minuteApart, two, "010312"},
        {"POT from NMEA", 'P', nmea, 1, 0, 10, never, minuteApart, one, "010312"},
        {"GPX from NMEA", 'G', nmea, 1, 0, 10, never, minuteApart, one, "010312"},
        {"CSV Full from CSV", 'F', csv, 1, 0, 10, never, minuteApart, two, ""},
        {"CSV Custom from CSV", 'C', csv, 1, 0, 10, never, minuteApart, two, ""},
        {"NMEA from CSV", 'N', csv, 1, 0, 10, never, minuteApart, two, ""},
        {"POT from CSV", 'P', csv, 1, 0, 10, never, minuteApart, one, ""},
        {"GPX from CSV", 'G', csv, 1, 0, 10, never, minuteApart, one, ""},
        {"without FileSplit", 'C', nmea, 0, 0, 10, never, minuteApart, {"out.csv"}, "010312"},
        {"interval equal to the limit", 'C', nmea, 1, 0, 60, never, minuteApart, one, "010312"},
        {"distance above the limit only", 'C', nmea, 1, 0, never, 1.85, northward, two, "010312"},
        {"date from NMEA", 'C', nmea, 1, 1, never, never, overMidnight, two, "020312"},
        {"no date from CSV", 'C', csv, 1, 1, never, never, overMidnight, one, ""},
        {"date without TrackGroupDate", 'C', nmea, 1, 0, never, never, overMidnight, one, "010312"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Emitter f;
        f.s().FileSplit = c.fileSplit;
        f.s().TrackGroupDate = c.trackGroupDate;
        f.ctx.run.GapSecondsLimit = c.gapSeconds;
        f.ctx.run.GapDistanceLimit = c.gapDistance;
        f.Open();
        for (const Record& r : c.records) EXPECT_EQ(f.Emit(c.kind, c.origin, r.time, r.date, r.latitude), 0);
        f.out.Close();
        EXPECT_EQ(f.Files(), c.files);
        EXPECT_EQ(f.ctx.store.WrittenCount, static_cast<int32_t>(c.records.size()));
        EXPECT_EQ(f.ctx.store.GroupDate, c.groupDate);
    }
}

TEST(EmitRecord, NeverSplitsBeforeTheFirstWrittenRecord) {
    Emitter f;
    f.ctx.run.GapDistanceLimit = 1.0;
    f.ctx.store.GapDistance = 50.0;  // left over
    f.Open();
    f.Emit('C', InputOrigin::Nmea, "120000");
    f.out.Close();
    EXPECT_EQ(f.Files(), std::vector<std::string>{"out_000.csv"});
}

TEST(EmitRecord, SplitNames) {
    struct Case {
        const char *output, *first, *second;
    };
    const Case cases[] = {
        {"trip.tar.csv", "trip.tar_000.csv", "trip.tar_001.csv"},
        {"noext", "noext_000", "noext_001"},
        {"sub.d/trip", "sub.d/trip_000", "sub.d/trip_001"},  // a dot in a directory is no extension
        {"sub.d/trip.CSV", "sub.d/trip_000.CSV", "sub.d/trip_001.CSV"},
    };
    for (const Case& c : cases) {
        Emitter f;
        std::filesystem::create_directory(f.dir.File("sub.d"));
        f.s().OutputFile = f.dir.File(c.output);
        f.ctx.store.SplitIndex = 7;
        f.ctx.run.GapSecondsLimit = 10.0;
        f.Open();
        EXPECT_EQ(f.ctx.store.SplitIndex, 0);
        EXPECT_EQ(f.s().OutputFile, f.dir.File(c.first)) << c.output;
        f.Emit('F', InputOrigin::Nmea, "120000");
        f.Emit('F', InputOrigin::Nmea, "120100");
        f.out.Close();
        EXPECT_TRUE(FileExists(f.dir.File(c.second))) << c.output;
    }
    Emitter f;
    f.ctx.run.GapSecondsLimit = 0.5;
    f.Open();
    f.ctx.store.SplitIndex = 999;
    f.Emit('C', InputOrigin::Nmea, "120000");
    f.Emit('C', InputOrigin::Nmea, "120001");
    f.out.Close();
    EXPECT_TRUE(FileExists(f.dir.File("out_1000.csv")));
}

TEST(EmitRecord, SplitFileNotCreatedEndsTheOutputAndEarlierFilesStay) {
    Emitter f;
    f.ctx.run.GapSecondsLimit = 10.0;
    std::filesystem::create_directory(f.dir.File("out_001.csv"));
    f.Open();
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120000"), 0);
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120100"), -1);
    EXPECT_FALSE(f.out.IsOpen());
    // Later records are refused without a further message, write or count.
    EXPECT_EQ(f.Emit('C', InputOrigin::Nmea, "120101"), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    EXPECT_EQ(f.ctx.store.RecordIndex, 2);
    EXPECT_EQ(f.ctx.point.GgaTime, "");
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_000.csv")), "12:00:00\r\n");
}

}  // namespace
}  // namespace geoplait::test
