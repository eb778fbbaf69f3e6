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

// Texts with buffers of their own change places by their pointers: the
// bytes stay where they are, whoever holds them, and a cleared text keeps
// its buffer for the next record.
TEST(GiveTextsBuffers, TextsChangePlacesWithoutTheirBytesMoving) {
    TrackPoint a;
    TrackPoint b;
    TrackPoint c;
    a.RmcTime = "123456";
    a.GgaLatitude = "3539.1234";
    a.GgaGeoid = "x";
    const std::string emptyBefore = a.GgaDgpsAge;
    GiveTextsBuffers(a, true);
    EXPECT_EQ(a.RmcTime + a.GgaLatitude + a.GgaGeoid, "1234563539.1234x");
    EXPECT_EQ(a.GgaDgpsAge.capacity(), emptyBefore.capacity()) << "an empty text is left as it is";
    GiveTextsBuffers(a);
    GiveTextsBuffers(b);
    GiveTextsBuffers(c);
    EXPECT_GE(a.GgaDgpsAge.capacity(), 16u);
    const char* const time = a.RmcTime.data();
    const char* const geoid = a.GgaGeoid.data();
    SwapRecordTexts(a, b);
    EXPECT_EQ(b.RmcTime, "123456");
    EXPECT_EQ(b.RmcTime.data(), time);
    EXPECT_EQ(b.GgaGeoid.data(), geoid);
    HandOnRecord(b, c);
    EXPECT_EQ(c.RmcTime, "123456");
    EXPECT_EQ(c.RmcTime.data(), time);
    EXPECT_EQ(b.RmcTime, "");
    EXPECT_GE(b.RmcTime.capacity(), 16u) << "the buffer it got back";
    ClearTrackPoint(c);
    EXPECT_EQ(c.RmcTime.data(), time);
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
