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
    p.CsvSlot[23] = "x";
    p.PointName = "kept";
    p.Speed = 4.5;
    ClearTrackPoint(p);
    // A cleared time slot reads as blanks to a positional writer.
    EXPECT_EQ(std::string(1, SlotChar(p.RmcTime, 0)) + SlotChar(p.RmcTime, 3), std::string("\0 ", 2));
    EXPECT_EQ(p.GgaLatitude, "");
    EXPECT_EQ(p.CsvSlot[23], "");
    EXPECT_EQ(p.PointName, "kept");  // emptied by the readers that fill it
    EXPECT_EQ(p.Speed, 4.5);
}

TEST(PointPosition, TakeTheRecordsPosition) {
    TrackPoint p;
    p.RmcLongitude = "13945.5000";
    p.RmcLatitude = "3539.1234";
    p.GgaAltitude = "12.5";
    p.RmcEW = "E";
    p.RmcNS = "N";
    ReadPositionTexts(p);
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
