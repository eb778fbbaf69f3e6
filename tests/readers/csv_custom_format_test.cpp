// The Imput_ settings decoded into the CSV Custom format: each notation text
// of the item dialog gives its notation, any other text the one that keeps
// the column as it stands (or reads no position, or speed 0).
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "readers/csv_reader.h"

namespace geoplait {
namespace {

TEST(CsvCustomFormat, ColumnsAreTakenAsSet) {
    ConvertSettings s;
    s.Imput_Latitude_ns = 1;
    s.Imput_Latitude = 2;
    s.Imput_Longitude_ew = 3;
    s.Imput_Longitude = 4;
    s.Imput_Altitude = 5;
    s.Imput_Date = 6;
    s.Imput_Time = 7;
    s.Imput_Speed = 8;
    s.Imput_Degrees = 9;
    const CsvCustomFormat f = DecodeCsvCustomFormat(s);
    EXPECT_EQ((std::array{f.latitudeNs, f.latitude, f.longitudeEw, f.longitude, f.altitude, f.date, f.time,
                          f.speed, f.course}),
              (std::array{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(CsvCustomFormat, NotationTexts) {
    const struct {
        const char* text;
        CsvCoordNotation coord;
        CsvDateNotation date;
        CsvTimeNotation time;
        CsvSpeedUnit speed;
    } cases[] = {
        {"dd.dddddd", CsvCoordNotation::Degrees, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"ddmm.mmmm", CsvCoordNotation::Nmea, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"ddmmss.ss", CsvCoordNotation::Dms, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"ddmmyy", CsvCoordNotation::Unknown, CsvDateNotation::Ddmmyy, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"yymmdd", CsvCoordNotation::Unknown, CsvDateNotation::Yymmdd, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"yyyy/mm/dd", CsvCoordNotation::Unknown, CsvDateNotation::YearSlashed, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"hhmmss UTC", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::Utc,
         CsvSpeedUnit::Unknown},
        {"hhmmss UTC+Diff", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::LocalDigits,
         CsvSpeedUnit::Unknown},
        {"hh:mm:ss UTC+Diff", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands,
         CsvTimeNotation::LocalColons, CsvSpeedUnit::Unknown},
        {"knots", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Knots},
        {"km", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::KmPerHour},
        // Texts are compared whole and exactly.
        {"", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"hhmmss utc", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
        {"km ", CsvCoordNotation::Unknown, CsvDateNotation::AsItStands, CsvTimeNotation::AsItStands,
         CsvSpeedUnit::Unknown},
    };
    for (const auto& c : cases) {
        ConvertSettings s;
        s.Imput_Latitude_dms = s.Imput_Longitude_dms = s.Imput_Date_ymd = s.Imput_Time_hms = s.Imput_Speed_nk =
            c.text;
        const CsvCustomFormat f = DecodeCsvCustomFormat(s);
        EXPECT_EQ(f.latitudeNotation, c.coord) << c.text;
        EXPECT_EQ(f.longitudeNotation, c.coord) << c.text;
        EXPECT_EQ(f.dateNotation, c.date) << c.text;
        EXPECT_EQ(f.timeNotation, c.time) << c.text;
        EXPECT_EQ(f.speedUnit, c.speed) << c.text;
    }
}

// A line read with each notation: what ParseCsvCustomLine makes of it.
TEST(CsvCustomFormat, LineOfEachTimeNotation) {
    const struct {
        const char* notation;
        const char* line;
        const char* date;
        const char* time;
    } cases[] = {
        {"hhmmss UTC", "10324,93000\n", "010324", "093000"},
        {"hhmmss UTC+Diff", "010324,83000\n", "290224", "233000"},
        {"hh:mm:ss UTC+Diff", "010324,08:30:00\n", "290224", "233000"},
        {"hh:mm:ss UTC+Diff", "010324,09:30:00\n", "010324", "003000"},
        // Taken as it stands, "93000" is no time of day: the record has none.
        {"unknown", "10324,93000\n", "010324", ""},
        {"unknown", "10324,093000\n", "010324", "093000"},
    };
    for (const auto& c : cases) {
        ConvertSettings s;
        s.Imput_Date = 1;
        s.Imput_Date_ymd = "ddmmyy";
        s.Imput_Time = 2;
        s.Imput_Time_hms = c.notation;
        s.Imput_Speed_nk = "knots";
        TrackPoint p;
        CsvCoordinateTexts coordinates;
        ParseCsvCustomLine(c.line, DecodeCsvCustomFormat(s), s, 90000, p, coordinates);
        EXPECT_EQ(p.RmcDate, c.date) << c.notation;
        EXPECT_EQ(p.RmcTime, c.time) << c.notation;
        EXPECT_EQ(p.GgaTime, c.time) << c.notation;
    }
}

}  // namespace
}  // namespace geoplait
