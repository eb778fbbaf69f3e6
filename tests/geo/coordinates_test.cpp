#include "geo/coordinates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace geoplait {
namespace {

struct NotationCase {
    const char* name;
    std::string nmea, degrees, dms;                        // input
    std::string wantNmea, wantDegrees, wantDms;            // after CoordTexts
};

TEST(CoordTexts, FillsTheOtherNotationsFromTheFirstNonEmpty) {
    const std::vector<NotationCase> cases = {
        {"nmea", "3539.1234", "", "", "3539.1234", "35.652057", "353907.40"},
        {"nmea longitude", "13945.5000", "", "", "13945.5000", "139.758333", "1394530.00"},
        {"nmea wins over the others", "3530.0000", "1.0", "10000.00", "3530.0000", "35.500000",
         "353000.00"},
        {"degrees", "", "35.5", "", "3530.0000", "35.5", "353000.00"},
        {"degrees with seconds", "", "35.652057", "", "3539.1234", "35.652057", "353907.41"},
        {"dms, six decimals of %f", "", "", "353000.00", "3530.0000", "35.500000", "353000.00"},
        {"dms with seconds", "", "", "353907.40", "3539.1233", "35.652056", "353907.40"},
        {"nmea not a number", "abc", "", "", "abc", "0.000000", "0.00"},
        {"dms not a number", "", "", "x", "0.0000", "0.000000", "x"},
        {"negative degrees keep their sign in both parts", "", "-35.5", "", "-3530.0000", "-35.5",
         "-353000.00"},
        {"all empty", "", "", "", "", "", ""},
        // Minutes or seconds that round to 60 carry into the minute and the degree.
        {"degrees just below a whole degree", "", "59.9999997", "", "6000.0000", "59.9999997", "600000.00"},
        {"the same below zero", "", "0.9999997", "", "100.0000", "0.9999997", "10000.00"},
        {"a signed one", "", "-59.9999997", "", "-6000.0000", "-59.9999997", "-600000.00"},
        {"the last minute not yet", "", "59.99999", "", "5959.9994", "59.99999", "595959.96"},
        {"seconds that round to 60", "", "35.0499999", "", "3503.0000", "35.0499999", "350300.00"},
        {"nmea seconds that round to 60", "3502.99999", "", "", "3502.99999", "35.050000", "350300.00"},
        {"nmea seconds into the degree", "3559.99999", "", "", "3559.99999", "36.000000", "360000.00"},
        {"nmea seconds not yet 60", "3502.9999", "", "", "3502.9999", "35.049998", "350259.99"},
        {"dms minutes that round to 60", "", "", "355959.9999", "3600.0000", "36.000000", "355959.9999"},
    };
    for (const auto& c : cases) {
        std::string nmea = c.nmea, degrees = c.degrees, dms = c.dms;
        CoordTexts(nmea, degrees, dms);
        EXPECT_EQ(nmea, c.wantNmea) << c.name;
        EXPECT_EQ(degrees, c.wantDegrees) << c.name;
        EXPECT_EQ(dms, c.wantDms) << c.name;
    }
}

TEST(HemisphereSign, LetterOfTheRecordThenTheDefault) {
    const struct {
        const char *ns, *ew, *defaultNs, *defaultEw;
        char latitude, longitude;
    } cases[] = {
        {"N", "E", "S", "W", '+', '+'}, {"S", "W", "N", "E", '-', '-'}, {"", "", "N", "E", '+', '+'},
        {"", "", "S", "W", '-', '-'},   {"x", "NE", "S", "E", '-', '+'}, {"", "", "", "x", ' ', ' '},
        {"n", "e", "N", "W", '+', '-'},
    };
    for (const auto& c : cases) {
        const HemisphereSigns signs = HemisphereSign(c.ns, c.ew, c.defaultNs, c.defaultEw);
        EXPECT_EQ(signs.latitude, c.latitude) << c.ns << "/" << c.defaultNs;
        EXPECT_EQ(signs.longitude, c.longitude) << c.ew << "/" << c.defaultEw;
    }
    EXPECT_TRUE(NeedsMinus('-', "35.5"));
    EXPECT_FALSE(NeedsMinus('-', "-35.5"));
    EXPECT_FALSE(NeedsMinus('-', "0.000000"));
    EXPECT_FALSE(NeedsMinus('+', "35.5"));
    EXPECT_FALSE(NeedsMinus('-', ""));
}

TEST(HubenyKm, SignedDegreesAndTheSlope) {
    // 1' of latitude at 35 N, and the same stretched by 500 m of climb.
    EXPECT_NEAR(HubenyKm(139.0, 35.0, 139.0, 35.0 + 1.0 / 60.0), 1.8488168, 1e-6);
    EXPECT_EQ(HubenyKm(-139.0, -35.0, -139.0, -35.0 - 1.0 / 60.0), HubenyKm(139.0, 35.0, 139.0, 35.0 + 1.0 / 60.0));
    EXPECT_NEAR(SlopeKm(1.8488168, 0.0, 500.0), 1.9152346, 1e-6);
    EXPECT_EQ(SlopeKm(1.5, 120.0, 120.0), 1.5);
    EXPECT_DOUBLE_EQ(DegreesOfNmea(3530.0), 35.5);
    EXPECT_EQ(Signed(35.5, '-'), -35.5);
    EXPECT_EQ(Signed(35.5, ' '), 35.5);
}

struct UnitCase {
    const char* meterMile;
    UnitSystem system;
    double km, distance;
    double knots, speed;
    double metres, altitude;
};

TEST(Units, ConversionsOfEachSystem) {
    const std::vector<UnitCase> cases = {
        {"Km/Meter", UnitSystem::Km, 1.852, 1.852, 10.0, 18.52, 100.0, 100.0},
        {"Nautical Mile/Feet", UnitSystem::NauticalMile, 1.852, 1.0, 10.0, 10.0, 30.48, 100.0},
        {"Statute Mile/Feet", UnitSystem::StatuteMile, 1.852, 1.15077945, 10.0, 11.5077945, 30.48, 100.0},
        // A text that names no system converts as Km/Meter.
        {"", UnitSystem::Unknown, 1.852, 1.852, 1.0, 1.852, 1.0, 1.0},
        {"km/meter", UnitSystem::Unknown, 1.0, 1.0, 1.0, 1.852, 1.0, 1.0},
    };
    for (const auto& c : cases) {
        const UnitSystem units = c.system;
        EXPECT_NEAR(DistanceInUnitSystem(units, c.km), c.distance, 1e-12) << c.meterMile;
        EXPECT_NEAR(SpeedInUnitSystem(units, c.knots), c.speed, 1e-12) << c.meterMile;
        EXPECT_NEAR(AltitudeInUnitSystem(units, c.metres), c.altitude, 1e-9) << c.meterMile;
    }
}

struct OffsetCase {
    std::string degrees, offset;
    const char* sense;
    std::string want;
};

TEST(OffsetCoordinate, MovesByDmsOffset) {
    const std::vector<OffsetCase> cases = {
        {"35.000000", "000036.00", "-", "34.990000"},
        {"35.000000", "000036.00", "+", "35.010000"},
        {"139.5", "000010.00", "+", "139.502778"},
        {"35.0", "013000.00", "-", "33.500000"},
        {"35.0", "-000036.00", "-", "35.010000"},
        {"35.0", "", "+", "35.000000"},
        {"", "000036.00", "+", "0.010000"},
        {"", "", "-", "0.000000"},
        {"35.0", "000036.00", "x", "34.990000"},
        {"35.0", "000036.00", nullptr, "34.990000"},
    };
    for (const auto& c : cases) {
        std::string degrees = c.degrees;
        OffsetCoordinate(degrees, c.offset, c.sense);
        EXPECT_EQ(degrees, c.want) << c.degrees << " " << c.offset;
    }
}

struct DatumCase {
    int on;
    std::string lat, lon;
    std::string wantLat, wantLon;
};

}  // namespace
}  // namespace geoplait
