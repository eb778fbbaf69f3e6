// The CSV Full and CSV Custom line writers on a record filled by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/run_context.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "writers/csv_writer.h"

namespace geoplait {
namespace {

using test::ReadFileBytes;
using test::RecordingUi;
using test::TempDir;

struct LineFixture {
    Settings settings;
    RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    LineFixture() {
        ctx.Current().MeterMile = "Km/Meter";
        ctx.run.TimeDifferenceValue = 90000;
        TrackPoint& p = ctx.point;
        p.GgaId = "$GPGGA";
        p.GgaTime = "123456.000";
        p.GgaLatitude = "3539.1234";
        p.GgaNS = "N";
        p.GgaLongitude = "13945.6789";
        p.GgaEW = "E";
        p.GgaQuality = "1";
        p.GgaSatellites = "08";
        p.GgaDilution = "1.2";
        p.GgaAltitude = "45.6";
        p.GgaAltitudeUnit = "M";
        p.GgaGeoid = "39.0";
        p.GgaGeoidUnit = "M";
        p.GgaDgpsAge = "";
        p.GgaDgpsStation = "*5B";
        p.RmcId = "$GPRMC";
        p.RmcTime = "123456.000";
        p.RmcStatus = "A";
        p.RmcLatitude = "3539.1234";
        p.RmcNS = "N";
        p.RmcLongitude = "13945.6789";
        p.RmcEW = "E";
        p.RmcSpeed = "10.5";
        p.RmcCourse = "90.0";
        p.RmcDate = "010312";
        p.RmcMagVar = "";
        p.RmcMagVarEW = "*6C";
        p.LocalDateText = "2012/03/01";
        p.LocalTimeText = "21:34:56";
        p.LatitudeDeg = "35.652057";
        p.LongitudeDeg = "139.761315";
        // Stale texts: the writers must recompute these from the GGA side.
        p.LatitudeDms = "stale";
        p.LongitudeDms = "stale";
        p.AltitudeText = "45.6";
        p.LocalDate = "010312";
        p.LocalTime = "213456";
        p.TotalDistance = 1.5;
        p.Speed = 19.446;
        p.ElapsedSec = 3725;
        p.IntervalSec = 5;
        p.IntervalDistance = 0.25;
        ctx.store.WrittenCount = 4;
        ctx.store.RecordIndex = 6;
    }

    std::string Full() {
        const std::string path = dir.File("full.csv");
        TextWriter out(path, WriteMode::Plain);
        WriteCsvFullLine(out, ctx);
        out.Close();
        return ReadFileBytes(path);
    }

    std::string Custom() {
        const std::string path = dir.File("custom.csv");
        TextWriter out(path, WriteMode::Plain);
        WriteCsvCustomLine(out, ctx);
        out.Close();
        return ReadFileBytes(path);
    }
};

// ---- CSV Full ----

TEST(CsvFullLine, AllFiftyColumnsInOrder) {
    LineFixture f;
    EXPECT_EQ(f.Full(),
              "$GPGGA,123456.000,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*5B,"
              "$GPRMC,123456.000,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,,*6C,"
              ",$GP000,5,2012/03/01,21:34:56,35.652057,139.761315,45.6,"
              "1.500000,19.446000,01:02:05,3725,5,353907.40,1394540.73,010312,213456,"
              "0.250000,90000,Km/Meter,,,geoplait\r\n");
    // The recomputed d/m/s texts stay in the record.
    EXPECT_EQ(f.ctx.point.LatitudeDms, "353907.40");
    EXPECT_EQ(f.ctx.point.LongitudeDms, "1394540.73");
}

TEST(CsvFullLine, EmptyRecordStillHasFiftyColumns) {
    LineFixture f;
    const int32_t written = f.ctx.store.WrittenCount;
    f.ctx.point = TrackPoint{};
    f.ctx.store.WrittenCount = written;
    f.ctx.run.TimeDifferenceValue = -50000;
    f.ctx.Current().MeterMile = "Statute Mile/Feet";
    const std::string line = f.Full();
    EXPECT_EQ(line,
              ",,,,,,,,,,,,,,,,,,,,,,,,,,,,$GP000,5,,,,,,0.000000,0.000000,00:00:00,0,0,,,,,"
              "0.000000,-50000,Statute Mile/Feet,,,geoplait\r\n");
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 49);
}

TEST(CsvFullLine, ReservedSlotIsColumn28) {
    LineFixture f;
    f.ctx.point.CsvSlot[kCsvFullReservedSlot] = "kept";
    const std::string line = f.Full();
    EXPECT_NE(line.find(",*6C,kept,$GP000,5,"), std::string::npos) << line;
}

TEST(CsvFullLine, ElapsedColumnsAndNumberFormats) {
    struct Case {
        int32_t elapsed;
        double total;
        const char* expected;  // columns 36 to 39
    };
    const std::vector<Case> cases = {
        {0, 0.0, ",0.000000,19.446000,00:00:00,0,"},
        {59, 12.3456789, ",12.345679,19.446000,00:00:59,59,"},
        {86399, 1234567.0, ",1234567.000000,19.446000,23:59:59,86399,"},
        {360000, 0.0000004, ",0.000000,19.446000,100:00:00,360000,"},  // hours past two digits
        {-3725, -1.5, ",-1.500000,19.446000,-1:-2:-5,-3725,"},        // a log that runs backwards
    };
    for (const Case& c : cases) {
        LineFixture f;
        f.ctx.point.ElapsedSec = c.elapsed;
        f.ctx.point.TotalDistance = c.total;
        const std::string line = f.Full();
        EXPECT_NE(line.find(std::string(",45.6") + c.expected), std::string::npos)
            << c.elapsed << ": " << line;
    }
}

TEST(CsvFullLine, NumbersLinesByWrittenCount) {
    LineFixture f;
    f.ctx.store.WrittenCount = 0;
    f.ctx.store.RecordIndex = 41;
    EXPECT_NE(f.Full().find(",$GP000,1,2012/03/01,"), std::string::npos);
}

TEST(CsvFullLine, DmsFollowsGgaSideNotRmcSide) {
    LineFixture f;
    f.ctx.point.GgaLatitude = "";
    f.ctx.point.GgaLongitude = "0000.0000";
    const std::string line = f.Full();
    // Empty GGA latitude: empty d/m/s; the RMC side is not consulted.
    EXPECT_NE(line.find(",5,,0.00,010312,213456,"), std::string::npos) << line;
}

// ---- CSV Custom ----

struct CustomCase {
    const char* name;
    std::vector<int ConvertSettings::*> flags;
    const char* expected;
    const char* extendData = "<a><b>";
};

TEST(CsvCustomLine, ColumnSetsInFixedOrder) {
    const std::vector<CustomCase> cases = {
        {"latitude and longitude, flags given out of order",
         {&ConvertSettings::Output_Longitude_ddd, &ConvertSettings::Output_Latitude_ddd},
         "35.652057,139.761315\r\n"},
        {"number only", {&ConvertSettings::Output_No}, "7\r\n"},
        {"position in three notations",
         {&ConvertSettings::Output_Latitude_ns, &ConvertSettings::Output_Latitude_dmm,
          &ConvertSettings::Output_Latitude_dms, &ConvertSettings::Output_Longitude_ew,
          &ConvertSettings::Output_Longitude_dmm, &ConvertSettings::Output_Longitude_dms},
         "N,3539.1234,353907.40,E,13945.6789,1394540.73\r\n"},
        {"speeds, course, satellites, dilution",
         {&ConvertSettings::Output_Speed_knots, &ConvertSettings::Output_Speed_km,
          &ConvertSettings::Output_Degrees, &ConvertSettings::Output_Satellites,
          &ConvertSettings::Output_Dilution, &ConvertSettings::Output_Altitude},
         "45.6,10.5,19.446,90.0,08,1.2\r\n"},
        {"dates and times",
         {&ConvertSettings::Output_Date_dmy, &ConvertSettings::Output_Date_ymd,
          &ConvertSettings::Output_Time_utc, &ConvertSettings::Output_Time_utc9},
         "010312,2012/03/01,123456.000,21:34:56\r\n"},
        {"elapsed and interval",
         {&ConvertSettings::Output_Elapsed_Distance, &ConvertSettings::Output_Elapsed_hms,
          &ConvertSettings::Output_Elapsed_sec, &ConvertSettings::Output_interval_Distance,
          &ConvertSettings::Output_interval_hms, &ConvertSettings::Output_interval_sec},
         "1.500000,01:02:05,3725,0.250000,00:00:05,5\r\n"},
        {"name and extra text", {&ConvertSettings::Output_Name, &ConvertSettings::Output_Extend_Data},
         "Tower,<a><b>\r\n"},
        {"local time before the number", {&ConvertSettings::Output_No, &ConvertSettings::Output_Time_utc9},
         "21:34:56,7\r\n"},
        {"empty text as last column", {&ConvertSettings::Output_No, &ConvertSettings::Output_Extend_Data},
         "7,\r\n", ""},
        {"no column: an empty line", {}, "\r\n"},
    };
    for (const CustomCase& c : cases) {
        LineFixture f;
        f.ctx.point.PointName = "Tower";
        f.ctx.point.ExtendData = c.extendData;
        for (auto flag : c.flags) f.ctx.Current().*flag = 1;
        EXPECT_EQ(f.Custom(), c.expected) << c.name;
    }
}

TEST(CsvCustomLine, AllTwentySevenColumns) {
    LineFixture f;
    f.ctx.point.PointName = "Tower";
    f.ctx.point.ExtendData = "x";
    ConvertSettings& s = f.ctx.Current();
    for (auto flag :
         {&ConvertSettings::Output_Name, &ConvertSettings::Output_Latitude_ns,
          &ConvertSettings::Output_Latitude_dmm, &ConvertSettings::Output_Latitude_ddd,
          &ConvertSettings::Output_Latitude_dms, &ConvertSettings::Output_Longitude_ew,
          &ConvertSettings::Output_Longitude_dmm, &ConvertSettings::Output_Longitude_ddd,
          &ConvertSettings::Output_Longitude_dms, &ConvertSettings::Output_Altitude,
          &ConvertSettings::Output_Speed_knots, &ConvertSettings::Output_Speed_km,
          &ConvertSettings::Output_Degrees, &ConvertSettings::Output_Satellites,
          &ConvertSettings::Output_Dilution, &ConvertSettings::Output_Date_dmy,
          &ConvertSettings::Output_Date_ymd, &ConvertSettings::Output_Time_utc,
          &ConvertSettings::Output_Time_utc9, &ConvertSettings::Output_Elapsed_Distance,
          &ConvertSettings::Output_Elapsed_hms, &ConvertSettings::Output_Elapsed_sec,
          &ConvertSettings::Output_interval_Distance, &ConvertSettings::Output_interval_hms,
          &ConvertSettings::Output_interval_sec, &ConvertSettings::Output_No,
          &ConvertSettings::Output_Extend_Data}) {
        s.*flag = 1;
    }
    EXPECT_EQ(f.Custom(),
              "Tower,N,3539.1234,35.652057,353907.40,E,13945.6789,139.761315,1394540.73,45.6,"
              "10.5,19.446,90.0,08,1.2,010312,2012/03/01,123456.000,21:34:56,1.500000,01:02:05,"
              "3725,0.250000,00:00:05,5,7,x\r\n");
}

TEST(CsvCustomLine, FlagMustBePositive) {
    LineFixture f;
    f.ctx.Current().Output_No = -1;
    f.ctx.Current().Output_Altitude = 2;
    EXPECT_EQ(f.Custom(), "45.6\r\n");
}

TEST(CsvCustomLine, LongTextsKeptWhole) {
    LineFixture f;
    f.ctx.point.ExtendData = std::string(5000, 'x');
    f.ctx.Current().Output_Extend_Data = 1;
    f.ctx.Current().Output_No = 1;
    EXPECT_EQ(f.Custom(), "7," + std::string(5000, 'x') + "\r\n");
}

}  // namespace
}  // namespace geoplait
