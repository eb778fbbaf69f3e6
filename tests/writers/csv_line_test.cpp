// The CSV Full and CSV Custom line writers on a record filled by hand: what
// NMEA input cannot reach (the CSV-only texts, extreme numbers, empty sides).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "readers/nmea_reader.h"
#include "writer_fixture.h"
#include "writers/csv_writer.h"

namespace geoplait::test {
namespace {

struct CsvLine : WriterFixture {
    CsvLine() {
        s().MeterMile = "Km/Meter";
        ctx.run.TimeDifferenceValue = 90000;
        TrackPoint& p = ctx.point;
        p.LocalOffset = 90000;  // as ComputeDerived makes it
        ParseGga("$GPGGA,123456.000,3539.1234,N,13945.6789,E,1,08,1.2,45.6,M,39.0,M,,*5B", p);
        ParseRmc("$GPRMC,123456.000,A,3539.1234,N,13945.6789,E,10.5,90.0,010312,,*6C", p);
        p.LocalDateText = "2012/03/01";
        p.LocalTimeText = "21:34:56";
        p.LocalDate = "010312";
        p.LocalTime = "213456";
        p.TotalDistance = 1.5;
        p.Speed = 19.446;
        p.ElapsedSec = 3725;
        p.IntervalSec = 5;
        p.IntervalDistance = 0.25;
        p.PointName = "Tower";
        ctx.store.WrittenCount = 4;
        ctx.store.RecordIndex = 6;
    }
    std::string Full() {
        return WrittenLine(WriteCsvFullLine);
    }
    std::string Custom() {
        return WrittenLine(WriteCsvCustomLine);
    }
};

TEST(CsvFullLine, EmptyRecordStillHasFiftyColumns) {
    CsvLine f;
    f.ctx.point = TrackPoint{};
    f.ctx.point.LocalOffset = -50000;  // the column shows the record's offset
    f.s().MeterMile = "Statute Mile/Feet";
    const std::string line = f.Full();
    EXPECT_EQ(line,
              ",,,,,,,,,,,,,,,,,,,,,,,,,,,,$GP000,5,,,,,,0.000000,0.000000,00:00:00,0,0,,,,,"
              "0.000000,-50000,Statute Mile/Feet,,,geoplait\r\n");
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 49);
}

TEST(CsvCustomLine, AllTwentySevenColumnsInTheirOrder) {
    CsvLine f;
    f.ctx.point.ExtendData.assign(1, 'x');
    // Switched on in reverse: the order of the columns is fixed.
    const auto flags = {
        &ConvertSettings::Output_Extend_Data, &ConvertSettings::Output_No,
        &ConvertSettings::Output_interval_sec, &ConvertSettings::Output_interval_hms,
        &ConvertSettings::Output_interval_Distance, &ConvertSettings::Output_Elapsed_sec,
        &ConvertSettings::Output_Elapsed_hms, &ConvertSettings::Output_Elapsed_Distance,
        &ConvertSettings::Output_Time_utc9, &ConvertSettings::Output_Time_utc,
        &ConvertSettings::Output_Date_ymd, &ConvertSettings::Output_Date_dmy,
        &ConvertSettings::Output_Dilution, &ConvertSettings::Output_Satellites,
        &ConvertSettings::Output_Degrees, &ConvertSettings::Output_Speed_km,
        &ConvertSettings::Output_Speed_knots, &ConvertSettings::Output_Altitude,
        &ConvertSettings::Output_Longitude_dms, &ConvertSettings::Output_Longitude_ddd,
        &ConvertSettings::Output_Longitude_dmm, &ConvertSettings::Output_Longitude_ew,
        &ConvertSettings::Output_Latitude_dms, &ConvertSettings::Output_Latitude_ddd,
        &ConvertSettings::Output_Latitude_dmm, &ConvertSettings::Output_Latitude_ns,
        &ConvertSettings::Output_Name};
    for (auto flag : flags) f.s().*flag = 1;
    EXPECT_EQ(f.Custom(),
              "Tower,N,3539.1234,35.652057,353907.40,E,13945.6789,139.761315,1394540.73,45.6,"
              "10.5,19.446,90.0,08,1.2,010312,2012/03/01,123456.000,21:34:56,1.500000,01:02:05,"
              "3725,0.250000,00:00:05,5,7,x\r\n");
}

}  // namespace
}  // namespace geoplait::test
