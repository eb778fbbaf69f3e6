#include "geo/coordinates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_keys.h"
#include "support/recording_ui.h"

namespace geoplait {
namespace {

struct Fixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
};

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
    };
    for (const auto& c : cases) {
        std::string nmea = c.nmea, degrees = c.degrees, dms = c.dms;
        CoordTexts(nmea, degrees, dms);
        EXPECT_EQ(nmea, c.wantNmea) << c.name;
        EXPECT_EQ(degrees, c.wantDegrees) << c.name;
        EXPECT_EQ(dms, c.wantDms) << c.name;
    }
}

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
        f.ctx.point.RmcLongitude = c.lon1;
        f.ctx.point.RmcLatitude = c.lat1;
        f.ctx.point.GgaAltitude = c.alt1;
        EXPECT_NEAR(TrackDistance(f.ctx, {c.lon2, c.lat2, c.alt2, "", ""}), c.km, 1e-6) << c.name;
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
        f.ctx.point.RmcLongitude = c.lon1;
        f.ctx.point.RmcEW = c.ew1;
        f.ctx.point.RmcLatitude = c.lat1;
        f.ctx.point.RmcNS = c.ns1;
        const double km = TrackDistance(f.ctx, {c.lon2, c.lat2, "", c.ew2, c.ns2});
        EXPECT_NEAR(km, c.km, 1e-4) << c.lon1 << c.ew1 << " " << c.lat1 << c.ns1;
        f.ctx.point.RmcEW = f.ctx.point.RmcNS = "";
        EXPECT_EQ(km == TrackDistance(f.ctx, {c.lon2, c.lat2, "", "", ""}), *c.ns1 == *c.ns2 && *c.ew1 == *c.ew2);
    }
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
        const UnitSystem units = UnitSystemOf(c.meterMile);
        EXPECT_EQ(units, c.system) << c.meterMile;
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
