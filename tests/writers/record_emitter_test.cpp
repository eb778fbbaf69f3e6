// EmitRecord on records filled by hand: which kinds and inputs split, the
// thresholds, the date group and the split numbers. Split names and split files
// that fail are the whole-program cases csv_*_split_*.
#include "writers/record_emitter.h"

#include "engine/record_filter.h"

#include "writer_fixture.h"
#include "support/record_time.h"

namespace geoplait::test {
namespace {

struct Emitter : WriterFixture {
    TextWriter out;
    SplitFiles split;
    LineOutput writer;

    Emitter() {
        s().MeterMile = "Km/Meter";
        s().OutputFile = dir.File("out.csv");
        s().FileSplit = 1;
        s().Output_Time_utc9 = 1;  // CSV Custom lines show the local time only
    }
    void Open() {
        PrepareFileSplit(s(), ctx.store, split);
        out.Open(ctx.outputs, s().OutputFile, WriteMode::Create);
        out.DropBom();
    }
    // Ends the run: its files are put into place.
    void Finish() {
        out.Close();
        EXPECT_TRUE(ctx.outputs.Commit());
    }
    // A record at the given UTC time and date and latitude (ddmm.mmmm).
    int Emit(ModeOutput kind, InputOrigin origin, const char* time, const char* date = "010312",
             const char* latitude = "3539.1234") {
        TrackPoint& p = ctx.point;
        p.GgaId = "$GPGGA";
        p.RmcId = "$GPRMC";
        p.GgaTime = p.RmcTime = time;
        p.RmcDate = date;
        ReadTimeTexts(p);
        p.GgaLatitude = p.RmcLatitude = latitude;
        p.GgaLongitude = p.RmcLongitude = "13945.6789";
        p.GgaNS = p.RmcNS = "N";
        p.GgaEW = p.RmcEW = "E";
        p.GgaSatellites = "08";
        p.GgaAltitude = "10";
        p.RmcSpeed = "0";
        ReadPositionTexts(p);
        ReadRecordValues(p);
        writer.options = Options();
        return EmitRecord(out, {ctx.Current(), ctx.run, ctx.point, ctx.store, OutputsOf(ctx)},
                          [&] { return AcceptRecordForEmitter(ctx, origin == InputOrigin::Nmea); }, split,
                          *OutputWriterOf(kind), origin, writer);
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
        ModeOutput kind;
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
        {"CSV Custom from NMEA", ModeOutput::CsvCustom, nmea, 1, 0, 10, never, minuteApart, two, "010312"},
        {"CSV Full from CSV", ModeOutput::CsvFull, csv, 1, 0, 10, never, minuteApart, two, ""},
        {"CSV Custom from CSV", ModeOutput::CsvCustom, csv, 1, 0, 10, never, minuteApart, two, ""},
        {"NMEA from CSV", ModeOutput::Nmea, csv, 1, 0, 10, never, minuteApart, two, ""},
        {"POT from CSV", ModeOutput::Pot, csv, 1, 0, 10, never, minuteApart, one, ""},
        {"GPX from CSV", ModeOutput::Gpx, csv, 1, 0, 10, never, minuteApart, one, ""},
        {"interval equal to the limit", ModeOutput::CsvCustom, nmea, 1, 0, 60, never, minuteApart, one, "010312"},
        {"distance above the limit only", ModeOutput::CsvCustom, nmea, 1, 0, never, 1.85, northward, two, "010312"},
        {"date from NMEA", ModeOutput::CsvCustom, nmea, 1, 1, never, never, overMidnight, two, "020312"},
        {"no date from CSV", ModeOutput::CsvCustom, csv, 1, 1, never, never, overMidnight, one, ""},
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
        f.Finish();
        EXPECT_EQ(f.Files(), c.files);
        EXPECT_EQ(f.ctx.store.WrittenCount, static_cast<int32_t>(c.records.size()));
        EXPECT_EQ(test::GroupDateText(f.ctx.store), c.groupDate);
    }
}

TEST(EmitRecord, NeverSplitsBeforeTheFirstWrittenRecord) {
    Emitter f;
    f.ctx.run.GapDistanceLimit = 1.0;
    f.ctx.store.GapDistance = 50.0;  // left over
    f.Open();
    f.Emit(ModeOutput::CsvCustom, InputOrigin::Nmea, "120000");
    f.Finish();
    EXPECT_EQ(f.Files(), std::vector<std::string>{"out_000.csv"});
}

TEST(EmitRecord, SplitNamesNumberOnFromTheFirstFile) {
    Emitter f;
    f.s().OutputFile = f.dir.File("trip.tar.csv");
    f.ctx.store.SplitIndex = 7;
    f.ctx.run.GapSecondsLimit = 0.5;
    f.Open();
    EXPECT_EQ(f.ctx.store.SplitIndex, 0);
    EXPECT_EQ(f.s().OutputFile, f.dir.File("trip.tar_000.csv"));
    f.Emit(ModeOutput::CsvFull, InputOrigin::Nmea, "120000");
    f.ctx.store.SplitIndex = 999;
    f.Emit(ModeOutput::CsvFull, InputOrigin::Nmea, "120100");
    f.Finish();
    EXPECT_EQ(f.Files(), (std::vector<std::string>{"trip.tar_000.csv", "trip.tar_1000.csv"}));
}

}  // namespace
}  // namespace geoplait::test
