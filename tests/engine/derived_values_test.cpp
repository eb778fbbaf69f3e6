// The derived values of a record and the geodesy of a run on the record:
// distances along the track, the local date and time, the seconds between
// written records.
#include "engine/derived_values.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "geo/time_difference.h"
#include "support/record_position.h"
#include "support/recording_ui.h"
#include "support/record_time.h"

namespace geoplait {
namespace {

struct Fixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
};

struct DistanceCase {
    const char* name;
    int altitudeSetting;
    std::string lon1, lat1, alt1;  // current record
    std::string lon2, lat2, alt2;  // other point
    double km;
};

TEST(TrackDistance, HubenyOnBessel) {
    const std::vector<DistanceCase> cases = {
        {"1' of latitude at 35 N", 0, "13900.0000", "3500.0000", "", "13900.0000", "3501.0000", "",
         1.8488168},
        {"1' of longitude at 35 N", 0, "13900.0000", "3500.0000", "", "13901.0000", "3500.0000", "",
         1.5212879},
        {"slope distance when on", 1, "13900.0000", "3500.0000", "0", "13900.0000", "3501.0000",
         "500", 1.9152346},
        {"same position, altitude on", 1, "13900.0000", "3500.0000", "0", "13900.0000",
         "3500.0000", "900", 0.0},
        {"current latitude on the equator", 0, "13900.0000", "0000.0000", "", "13900.0000",
         "3500.0000", "", 0.0},
        {"other latitude not a number", 0, "13900.0000", "3500.0000", "", "13900.0000", "N", "",
         0.0},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.settings.current.Altitude = c.altitudeSetting;
        test::SetPositionTexts(f.ctx.point, c.lon1, c.lat1);
        f.ctx.point.GgaAltitude = c.alt1;
        ReadRecordValues(f.ctx.point);
        EXPECT_NEAR(TrackDistance(f.ctx, test::PointOf(c.lon2, c.lat2, c.alt2)), c.km, 1e-6) << c.name;
    }
}

TEST(TrackDistance, SignedByTheHemispheres) {
    // Across the equator and the prime meridian; the same walk in the south
    // and the west measures bit for bit what it measures in the north and east.
    const struct { const char *lon1, *ew1, *lat1, *ns1, *lon2, *ew2, *lat2, *ns2; double km; } cases[] = {
        {"13900.0000", "E", "0030.0000", "N", "13900.0000", "E", "0030.0000", "S", 110.5637},
        {"00030.0000", "W", "5130.0000", "N", "00030.0000", "E", "5130.0000", "N", 69.4320},
        {"00030.0000", "W", "5130.0000", "N", "00030.0000", "", "5130.0000", "", 69.4320},  // the defaults N, E
        {"13900.0000", "W", "3500.0000", "S", "13900.0000", "W", "3501.0000", "S", 1.8488168},
    };
    for (const auto& c : cases) {
        Fixture f;
        test::SetPositionTexts(f.ctx.point, c.lon1, c.lat1);
        f.ctx.point.RmcEW = c.ew1;
        f.ctx.point.RmcNS = c.ns1;
        const double km = TrackDistance(f.ctx, test::PointOf(c.lon2, c.lat2, "", c.ew2, c.ns2));
        EXPECT_NEAR(km, c.km, 1e-4) << c.lon1 << c.ew1 << " " << c.lat1 << c.ns1;
        // The same position without hemisphere letters is another record.
        ClearTrackPoint(f.ctx.point);
        test::SetPositionTexts(f.ctx.point, c.lon1, c.lat1);
        EXPECT_EQ(km == TrackDistance(f.ctx, test::PointOf(c.lon2, c.lat2)), *c.ns1 == *c.ns2 && *c.ew1 == *c.ew2);
    }
}

TEST(TrackDistance, RecordsWithoutLettersTakeTheRunsDefaults) {
    // Both points without letters measure as with the default letters of the
    // run; across the 180th meridian and the equator too.
    const struct { char latitude, longitude; const char *ns, *ew; const char *lon1, *lat1, *lon2, *lat2; } cases[] = {
        {'+', '+', "N", "E", "17959.5000", "0000.5000", "17959.5000", "0001.0000"},
        {'-', '-', "S", "W", "17959.5000", "0000.5000", "17959.0000", "0000.5000"},
        {'-', '+', "S", "E", "00000.5000", "0030.0000", "00001.0000", "0030.0000"},
        {'+', '-', "N", "W", "13900.0000", "3500.0000", "13900.0000", "3501.0000"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.ctx.run.DefaultSigns = {c.latitude, c.longitude};
        test::SetPositionTexts(f.ctx.point, c.lon1, c.lat1);
        const double byDefault = TrackDistance(f.ctx, test::PointOf(c.lon2, c.lat2));
        Fixture g;
        test::SetPositionTexts(g.ctx.point, c.lon1, c.lat1);
        g.ctx.point.RmcNS = c.ns;
        g.ctx.point.RmcEW = c.ew;
        const double byLetters = TrackDistance(g.ctx, test::PointOf(c.lon2, c.lat2, "", c.ew, c.ns));
        EXPECT_GT(byDefault, 0.0) << c.ns << c.ew;
        EXPECT_EQ(std::bit_cast<uint64_t>(byDefault), std::bit_cast<uint64_t>(byLetters)) << c.ns << c.ew;
    }
    // A point with a letter against the default: the other side of the equator.
    Fixture f;
    f.ctx.run.DefaultSigns = {'-', '+'};
    test::SetPositionTexts(f.ctx.point, "13900.0000", "0030.0000");
    EXPECT_NEAR(TrackDistance(f.ctx, test::PointOf("13900.0000", "0030.0000", "", "", "N")), 110.5637, 1e-4);
}

struct LocalCase {
    const char* name;
    std::string time, date, difference;
    std::string wantTime, wantDate;
};

TEST(LocalDateTime, AddsTheDifferenceOnTheClock) {
    const std::vector<LocalCase> cases = {
        {"same day", "123456", "010113", "+ 9:00", "213456", "010113"},
        {"midnight exactly", "150000", "311213", "+ 9:00", "000000", "010114"},
        {"half hour", "124500", "010113", "+ 5:30", "181500", "010113"},
        {"back over a leap day", "010000", "010312", "- 5:00", "200000", "290212"},
        {"empty date stays empty", "120000", "", "+ 9:00", "210000", ""},
        {"unknown date never moves", "200000", "", "+ 9:00", "050000", ""},
        {"unknown date never moves back", "010000", "000000", "- 5:00", "200000", "000000"},
        {"no such day never moves", "230000", "300299", "+ 1:00", "000000", "300299"},
        {"forward over a year", "230000", "311299", "+ 1:00", "000000", "010100"},
        {"twelve hours back", "000000", "010113", "-12:00", "120000", "311212"},
        {"minutes carried", "235959", "010113", "+12:45", "124459", "020113"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.ctx.run.TimeDifferenceValue = TimeDifferenceValue(c.difference, 0);
        test::SetTimeTexts(f.ctx.point, c.date, c.time);
        LocalDateTime(f.ctx);
        EXPECT_EQ(test::LocalDigits(f.ctx.point), c.wantDate + " " + c.wantTime) << c.name;
        EXPECT_EQ(f.ctx.point.RmcTime, c.time) << c.name;
    }
}

// One record through ComputeDerived as a written record of a pass.
void Derive(Fixture& f, const std::string& date, const std::string& time) {
    ClearTrackPoint(f.ctx.point);
    f.ctx.point.RmcDate = date;
    f.ctx.point.RmcTime = time;
    ReadTimeTexts(f.ctx.point);
    ComputeDerived(f.ctx);
    ++f.ctx.store.WrittenCount;
}

TEST(ComputeDerived, ElapsedAndIntervalSeconds) {
    const struct {
        const char* name;
        std::string date, time;
        int32_t wantElapsed, wantInterval;
    } steps[] = {
        {"first written", "010113", "120000", 0, 0},
        {"a minute later", "010113", "120100", 60, 60},
        {"over midnight", "020113", "000100", 43260, 43200},
        {"ten days exactly", "110113", "120000", 864000, 820740},
        {"eleven days", "120113", "120000", 0, 86400},
        {"backwards", "010113", "110000", -3600, -954000},
    };
    Fixture f;
    for (const auto& s : steps) {
        Derive(f, s.date, s.time);
        EXPECT_EQ(f.ctx.point.ElapsedSec, s.wantElapsed) << s.name;
        EXPECT_EQ(f.ctx.point.IntervalSec, s.wantInterval) << s.name;
    }
}

TEST(ComputeDerived, RecordsWithoutADateNeverRunBackwards) {
    // A GGA-only log over midnight: a time of day earlier than the record
    // before is the next day; a dated record keeps its own day.
    const struct { std::string date, time; int32_t elapsed, interval; } steps[] = {
        {"000000", "235950", 0, 0}, {"000000", "235959", 9, 9}, {"000000", "000004", 14, 5},
        {"000000", "000003", 86413, 86399}, {"010113", "120000", 0, 0}, {"", "120005", 0, 5},
    };
    Fixture f;
    for (const auto& s : steps) {
        Derive(f, s.date, s.time);
        EXPECT_EQ(f.ctx.point.ElapsedSec, s.elapsed) << s.date << " " << s.time;
        EXPECT_EQ(f.ctx.point.IntervalSec, s.interval) << s.date << " " << s.time;
    }
}

TEST(ComputeDerived, IntervalOverAHundredDaysIsZero) {
    Fixture f;
    Derive(f, "010113", "120000");
    Derive(f, "010113", "120010");
    Derive(f, "010613", "120000");
    EXPECT_EQ(f.ctx.point.IntervalSec, 0);
    EXPECT_EQ(f.ctx.point.ElapsedSec, 0);
}

TEST(ComputeDerived, AHandedOnRecordKeepsItsOwnValuesAndGetsTheRunStates) {
    // Two run states take the same records, the second each as the first
    // hands it on: the second derives exactly what it derives from the texts
    // alone, while its distances and times stay its own.
    const struct { const char *lon, *ew, *lat, *ns, *alt, *date, *time, *speed, *course; } records[] = {
        {"13944.7270", "E", "3539.5158", "N", "43.1", "300623", "232000.00", "004.5", "043.0"},
        {"13944.7287", "E", "3539.5175", "N", "42.5", "300623", "235959.00", "007.9", "039.2"},
        {"13944.9000", "E", "3539.6000", "N", "", "010723", "000003.00", "", ""},
        {"00030.0000", "W", "0030.0000", "S", "-12.5", "", "", "12.0", "359.9"},
        {"", "", "", "", "", "010723", "120000", "", ""},
    };
    for (int altitude : {0, 1}) {
        Fixture first;
        Fixture second;
        Fixture alone;
        for (Fixture* f : {&first, &second, &alone}) {
            f->settings.current.Altitude = altitude;
            f->settings.current.PosDistance = 1;  // the placemark anchor's distance measured too
            f->ctx.run.TimeDifferenceValue = 90000;
            f->ctx.run.Units = UnitSystem::NauticalMile;
        }
        // The second run state's own: a group that started afresh.
        second.ctx.point.TotalDistance = alone.ctx.point.TotalDistance = 100.0;
        for (const auto& r : records) {
            TrackPoint& p = first.ctx.point;
            test::SetPositionTexts(p, r.lon, r.lat);
            p.RmcEW = r.ew;
            p.RmcNS = r.ns;
            p.GgaAltitude = r.alt;
            p.RmcDate = r.date;
            p.RmcTime = r.time;
            ReadTimeTexts(p);
            p.RmcSpeed = r.speed;
            p.RmcCourse = r.course;
            ReadRecordValues(p);
            CopyRecordTexts(p, alone.ctx.point);
            ComputeDerived(first.ctx);
            ++first.ctx.store.WrittenCount;
            HandOnRecord(p, second.ctx.point);
            EXPECT_TRUE(p.RmcLongitude.empty() && p.Local == RecordTime{} && !p.Readings.valuesDerived &&
                        !p.Position.known);
            ComputeDerived(second.ctx);
            ComputeDerived(alone.ctx);
            for (Fixture* f : {&second, &alone}) ++f->ctx.store.WrittenCount;
            const TrackPoint& got = second.ctx.point;
            const TrackPoint& want = alone.ctx.point;
            EXPECT_EQ(got.Position, want.Position) << r.lon << " " << r.time;
            for (auto field : {&TrackPoint::GgaAltitude}) {
                EXPECT_EQ(got.*field, want.*field) << r.lon << " " << r.time;
            }
            EXPECT_EQ(got.Local, want.Local) << r.lon << " " << r.time;
            EXPECT_EQ(got.Values, want.Values) << r.lon << " " << r.time;
            for (auto number : {&TrackPoint::Speed, &TrackPoint::IntervalDistance, &TrackPoint::StartDistance,
                                &TrackPoint::TotalDistance}) {
                EXPECT_EQ(got.*number, want.*number) << r.lon << " " << r.time;
            }
            EXPECT_EQ(got.ElapsedSec, want.ElapsedSec);
            EXPECT_EQ(got.IntervalSec, want.IntervalSec);
            EXPECT_NE(got.TotalDistance, first.ctx.point.TotalDistance);
            ClearTrackPoint(second.ctx.point);
            ClearTrackPoint(alone.ctx.point);
        }
    }
}

TEST(ClearTrackPoint, ForgetsTheReadings) {
    Fixture f;
    test::SetPositionTexts(f.ctx.point, "13944.7270", "3539.5158");
    f.ctx.point.GgaAltitude = "12.5";
    ReadRecordValues(f.ctx.point);
    ComputeDerived(f.ctx);
    EXPECT_EQ(f.ctx.point.Values.altitude.value, 12.5);
    ClearTrackPoint(f.ctx.point);
    EXPECT_FALSE(f.ctx.point.Readings.positionRead || f.ctx.point.Readings.valuesDerived ||
                 f.ctx.point.Position.known || f.ctx.point.GgaPosition.known);
    EXPECT_EQ(f.ctx.point.Values, RecordValues{});
    test::SetPositionTexts(f.ctx.point, "00030.0000", "5130.0000");
    ComputeDerived(f.ctx);
    EXPECT_EQ(f.ctx.point.Values.altitude.value, 0.0);
    std::string latitude;
    DegreesText(f.ctx.point.Position, f.ctx.point.Position.latitude, latitude);
    EXPECT_EQ(latitude, "51.500000");
}

}  // namespace
}  // namespace geoplait
