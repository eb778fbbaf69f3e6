#include "engine/track_point.h"

#include "geo/coordinates.h"

#include <gtest/gtest.h>

#include <string>

namespace geoplait {
namespace {

TEST(ClearTrackPoint, EmptiesTheTextsAndLeavesTheNumbers) {
    TrackPoint p;
    p.RmcTime = "123456";
    p.GgaLatitude = "3539.1234";
    p.CsvReserved = "x";
    p.PointName = "kept";
    p.Speed = 4.5;
    ClearTrackPoint(p);
    // A cleared time slot reads as blanks to a positional writer.
    EXPECT_EQ(std::string(1, SlotChar(p.RmcTime, 0)) + SlotChar(p.RmcTime, 3), std::string("\0 ", 2));
    EXPECT_EQ(p.GgaLatitude, "");
    EXPECT_EQ(p.CsvReserved, "");
    EXPECT_EQ(p.PointName, "kept");  // emptied by the readers that fill it
    EXPECT_EQ(p.Speed, 4.5);
}

TEST(ReadRecordValues, ReadsEachNumberOnceWithItsKnownState) {
    struct Case {
        std::string text;
        Reading want;
    };
    const Case cases[] = {
        {"", {0.0, false}},       {"12.5", {12.5, true}},  {"-3", {-3.0, true}},
        {"0", {0.0, true}},       {" 7.25", {7.25, true}}, {"fast", {0.0, true}},
        {"1e3", {1000.0, true}},  {"3.2", {3.2, true}},    {"-0.0", {-0.0, true}},
        // Past the fast path's 19 digits: still the nearest double.
        {"0.30000000000000004441", {0.30000000000000004441, true}},
        {"12345678901234567890.5", {12345678901234567890.5, true}},
    };
    for (const Case& c : cases) {
        TrackPoint p;
        p.GgaAltitude = c.text;
        p.RmcSpeed = c.text + "0";
        p.RmcCourse = c.text;
        p.GgaSatellites = c.text;
        p.GgaDilution = c.text;
        ReadRecordValues(p);
        EXPECT_EQ(p.Values.altitude, c.want) << c.text;
        EXPECT_EQ(p.Values.course, c.want) << c.text;
        EXPECT_EQ(p.Values.satellites, c.want) << c.text;
        EXPECT_EQ(p.Values.dilution, c.want) << c.text;
        EXPECT_EQ(p.Values.speed.value, NumberOf(c.text + "0")) << c.text;
        EXPECT_TRUE(p.Values.speed.known) << c.text;
    }
    // The numbers go with the texts from one record to another.
    TrackPoint a;
    TrackPoint b;
    a.GgaAltitude = "12.5";
    ReadRecordValues(a);
    SwapRecordTexts(a, b);
    EXPECT_EQ(b.Values.altitude, (Reading{12.5, true}));
    EXPECT_FALSE(a.Values.altitude.known);
    CopyRecordTexts(b, a);
    EXPECT_EQ(a.Values, b.Values);
    TrackPoint c;
    HandOnRecord(a, c);
    EXPECT_EQ(c.Values, b.Values);
    EXPECT_EQ(a.Values, RecordValues{});
    ClearTrackPoint(b);
    EXPECT_EQ(b.Values, RecordValues{});
}

// Long texts change places by their buffers: the bytes stay where they
// are, whoever holds them, and a cleared text keeps its buffer.
TEST(HandOnRecord, TextsChangePlacesWithoutTheirBytesMoving) {
    TrackPoint a;
    TrackPoint b;
    TrackPoint c;
    a.PointName = "a name longer than a string holds in place";
    b.PointName = "another name longer than that, for the buffer";
    a.GgaGeoid = "x";
    const char* const name = a.PointName.data();
    const char* const other = b.PointName.data();
    SwapRecordTexts(a, b);
    EXPECT_EQ(b.PointName.data(), name);
    EXPECT_EQ(b.GgaGeoid, "x");
    EXPECT_EQ(a.PointName.data(), other);
    HandOnRecord(b, c);
    EXPECT_EQ(c.PointName.data(), name);
    EXPECT_EQ(c.GgaGeoid, "x");
    EXPECT_EQ(b.PointName, "");
    EXPECT_EQ(b.GgaGeoid, "");
    ClearTrackPoint(c);
    EXPECT_EQ(c.PointName.data(), name) << "not emptied by a clear";
}

// A record handed on to itself stays as it is, with everything derived from
// it, for the next section to take where it lies.
TEST(HandOnRecord, ToItselfTheRecordStays) {
    TrackPoint p;
    p.RmcTime = "123456";
    p.PointName = "kept";
    p.GgaAltitude = "12.5";
    ReadRecordValues(p);
    p.Position.known = true;
    p.Readings.positionRead = true;
    p.Readings.valuesDerived = true;
    p.Speed = 3.5;
    p.LocalOffset = 90000;
    HandOnRecord(p, p);
    EXPECT_EQ(p.RmcTime, "123456");
    EXPECT_EQ(p.PointName, "kept");
    EXPECT_EQ(p.Values.altitude, (Reading{12.5, true}));
    EXPECT_TRUE(p.Position.known);
    EXPECT_TRUE(p.Readings.positionRead);
    EXPECT_TRUE(p.Readings.valuesDerived);
    EXPECT_EQ(p.Speed, 3.5);
    EXPECT_EQ(p.LocalOffset, 90000);
}

// A record with every number of the run state and of the record set apart.
TrackPoint Numbered(int32_t base) {
    TrackPoint p;
    p.SatCount = base + 1;
    p.DilutionValue = base + 2;
    p.Speed = base + 3.5;
    p.IntervalDistance = base + 4.5;
    p.StartDistance = base + 5.5;
    p.TotalDistance = base + 6.5;
    p.ElapsedSec = base + 7;
    p.IntervalSec = base + 8;
    p.LocalOffset = base + 9;
    p.Readings.longitudeSign = '-';
    p.Readings.positionRead = base != 0;
    p.Readings.valuesDerived = base != 0;
    p.Readings.distanceCount = static_cast<size_t>(base % 3);
    p.Readings.distances[0].km = base + 10.5;
    p.RmcTime = std::to_string(base);
    p.Position.known = base != 0;
    return p;
}

// Each field of the run state by itself, for an exact comparison.
struct RunNumbers {
    int32_t sats, dilution;
    double speed, interval, start, total;
    int32_t elapsed, intervalSec;
    char sign;
    bool read, derived;
    size_t distances;
    double km;
    bool operator==(const RunNumbers&) const = default;
};

RunNumbers NumbersOf(const TrackPoint& p) {
    return {p.SatCount,     p.DilutionValue,       p.Speed,     p.IntervalDistance,
            p.StartDistance, p.TotalDistance,      p.ElapsedSec, p.IntervalSec,
            p.Readings.longitudeSign, p.Readings.positionRead, p.Readings.valuesDerived,
            p.Readings.distanceCount, p.Readings.distances[0].km};
}

// The taker's numbers go on to the next record taken; that record's own
// texts, positions, times and LocalOffset stay its own.
TEST(CarryRunNumbers, TheRunStateGoesOnAndTheRecordStays) {
    const TrackPoint taken = Numbered(100);
    TrackPoint next = Numbered(0);
    next.Readings.longitudeSign = '+';
    CarryRunNumbers(taken, next);
    EXPECT_EQ(NumbersOf(next), NumbersOf(taken));
    EXPECT_EQ(next.RmcTime, "0");
    EXPECT_FALSE(next.Position.known);
    EXPECT_EQ(next.LocalOffset, 9);
}

// Two sections take one record in turn: each finds the numbers of its own
// run state, and the values derived from the record alone (Speed, the
// readings, LocalOffset) stay with the record, as HandOnRecord hands them on.
TEST(SwapSectionNumbers, EachSectionFindsItsOwn) {
    TrackPoint record = Numbered(100);
    TrackPoint path = Numbered(200);
    SwapSectionNumbers(record, path);
    EXPECT_EQ(record.SatCount, 201);
    EXPECT_EQ(record.DilutionValue, 202);
    EXPECT_EQ(record.IntervalDistance, 204.5);
    EXPECT_EQ(record.StartDistance, 205.5);
    EXPECT_EQ(record.TotalDistance, 206.5);
    EXPECT_EQ(record.ElapsedSec, 207);
    EXPECT_EQ(record.IntervalSec, 208);
    EXPECT_EQ(record.Speed, 103.5);
    EXPECT_EQ(record.LocalOffset, 109);
    EXPECT_EQ(record.Readings.distances[0].km, 110.5);
    EXPECT_EQ(record.RmcTime, "100");
    EXPECT_EQ(path.TotalDistance, 106.5);
    EXPECT_EQ(path.IntervalSec, 108);
    SwapSectionNumbers(record, path);
    EXPECT_EQ(NumbersOf(record), NumbersOf(Numbered(100)));
    EXPECT_EQ(NumbersOf(path), NumbersOf(Numbered(200)));
}

TEST(WholeOf, TheWholePartWithinInt32) {
    const struct {
        Reading reading;
        int32_t want;
    } cases[] = {
        {{0.0, false}, 0},         {{2.0, true}, 2},          {{2.9, true}, 2},
        {{2.9999999, true}, 2},    {{3.0, true}, 3},          {{1000.0, true}, 1000},
        {{0.5, true}, 0},          {{-2.7, true}, -2},        {{-0.0, true}, 0},
        {{2147483646.9, true}, 2147483646},                   {{2147483647.0, true}, 2147483647},
        {{1e300, true}, 2147483647},                          {{-2147483648.0, true}, -2147483647 - 1},
        {{-1e300, true}, -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(WholeOf(c.reading), c.want) << c.reading.value;
}

TEST(PointPosition, TakeTheRecordsPosition) {
    TrackPoint p;
    p.RmcLongitude = "13945.5000";
    p.RmcLatitude = "3539.1234";
    p.GgaAltitude = "12.5";
    p.RmcEW = "E";
    p.RmcNS = "N";
    ReadPositionTexts(p);
    ReadRecordValues(p);
    PointPosition taken;
    taken.Take(p);
    EXPECT_TRUE(taken.Position.known);
    EXPECT_EQ(taken.Position.longitude.nmea, 13945.5);
    EXPECT_EQ(taken.Position.latitude.degrees, DegreesOfNmea(3539.1234));
    EXPECT_EQ(taken.altitudeMetres, 12.5);
    EXPECT_EQ(taken.EW + taken.NS, "EN");
    taken.Clear();
    EXPECT_EQ(taken, PointPosition{});
}

}  // namespace
}  // namespace geoplait
