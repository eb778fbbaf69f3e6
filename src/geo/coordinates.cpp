// Coordinate notations, position offset, Tokyo-to-WGS 84 shift, Hubeny
// distance on the Bessel ellipsoid and the unit systems of MeterMile.
// Notations: NMEA ddmm.mmmm ("%5.4f"), decimal degrees ("%7.6f" from NMEA,
// "%f" from d/m/s, "%3.6f" after an offset or datum shift), d/m/s ddmmss.ss
// ("%3.2f"). Hemispheres never enter the numbers.
#include "geo/coordinates.h"

#include <cmath>
#include <cstring>

#include "engine/track_point.h"
#include "geo/number_format.h"

namespace geoplait {

namespace {

// Bessel 1841 as Hubeny's formula uses it.
constexpr double kSemiMajor = 6377397.0;         // a, m
constexpr double kEccentricitySq = 0.006674;     // e²
constexpr double kMeridianNumerator = 6334834.0;  // a(1 - e²), m
constexpr double kPi = 3.141592653589793;

constexpr double kKmPerNauticalMile = 1.852;
constexpr double kStatutePerNautical = 1.15077945;
constexpr double kMetresPerFoot = 0.3048;

constexpr const char* kUnitSystems[] = {"Km/Meter", "Nautical Mile/Feet", "Statute Mile/Feet"};

// Degrees of an NMEA ddmm.mmmm value.
double DegreesOfNmea(double v) {
    double whole = 0.0;
    const double frac = std::modf(v / 100.0, &whole);
    return whole + frac / 0.6;
}

// Decimal degrees of a d/m/s ddmmss.ss value, and the minutes with the
// seconds as their fraction (for the NMEA notation).
struct DmsParts {
    double degrees;
    double minutes;
    double secondsAsMinutes;
};

DmsParts SplitDms(double s) {
    const double d = std::trunc(s / 10000.0);
    const double hundreds = std::trunc(s / 100.0);
    const double minutes = hundreds - 100.0 * d;
    const double seconds = s - 100.0 * hundreds;
    return {d, minutes, seconds / 60.0};
}

double DegreesOfDms(const DmsParts& p) { return (p.secondsAsMinutes + p.minutes) / 60.0 + p.degrees; }

}  // namespace

void CoordTexts(std::string& nmea, std::string& degrees, std::string& dms) {
    if (!nmea.empty()) {
        const double v = NumberOf(nmea);
        AssignFixed(degrees, DegreesOfNmea(v), 6, 7);
        double whole = 0.0;
        const double frac = std::modf(v, &whole);
        AssignFixed(dms, (whole + frac * 60.0 / 100.0) * 100.0, 2, 3);
    } else if (!degrees.empty()) {
        const double g = NumberOf(degrees);
        double whole = 0.0;
        const double m = std::modf(g, &whole) * 60.0;
        AssignFixed(nmea, whole * 100.0 + m, 4, 5);
        double minutes = 0.0;
        const double minuteFrac = std::modf(m, &minutes);
        AssignFixed(dms, whole * 10000.0 + minutes * 100.0 + minuteFrac * 60.0, 2, 3);
    } else if (!dms.empty()) {
        const DmsParts p = SplitDms(NumberOf(dms));
        AssignFixed(degrees, DegreesOfDms(p), 6, 0);
        AssignFixed(nmea, p.degrees * 100.0 + p.minutes + p.secondsAsMinutes, 4, 5);
    }
}

double TrackDistance(const RunContext& ctx, const std::string& longitude,
                     const std::string& latitude, const std::string& altitude) {
    const TrackPoint& point = ctx.point;
    const double lon1 = DegreesOfNmea(NumberOf(point.RmcLongitude));
    const double lat1 = DegreesOfNmea(NumberOf(point.RmcLatitude));
    const double lon2 = DegreesOfNmea(NumberOf(longitude));
    const double lat2 = DegreesOfNmea(NumberOf(latitude));
    if (lon1 == 0.0 || lat1 == 0.0 || lon2 == 0.0 || lat2 == 0.0) return 0.0;

    const double toRadians = kPi / 180.0;
    const double phi1 = lat1 * toRadians;
    const double phi2 = lat2 * toRadians;
    const double lambda1 = lon1 * toRadians;
    const double lambda2 = lon2 * toRadians;
    const double mu = (phi1 + phi2) / 2.0;
    const double sinMu = std::sin(mu);
    const double w = std::sqrt(1.0 - kEccentricitySq * sinMu * sinMu);
    const double n = kSemiMajor / w;
    const double m = kMeridianNumerator / (w * w * w);
    const double dx = n * std::cos(mu) * (lambda2 - lambda1);
    const double dy = m * (phi2 - phi1);
    const double d = std::sqrt(dx * dx + dy * dy) / 1000.0;

    if (ctx.Current().Altitude != 0 && d > 0.0) {
        const double dh = std::fabs(NumberOf(point.GgaAltitude) - NumberOf(altitude)) / 1000.0;
        return d / std::cos(std::atan(dh / d));
    }
    return d;
}

int UnitSystemOf(const ConvertSettings& s) {
    for (int i = 1; i < 3; ++i) {
        if (s.MeterMile == kUnitSystems[i]) return i;
    }
    return 0;
}

double DistanceInUnit(const ConvertSettings& s, double km) {
    switch (UnitSystemOf(s)) {
        case 1: return km / kKmPerNauticalMile;
        case 2: return km / kKmPerNauticalMile * kStatutePerNautical;
        default: return km;
    }
}

double SpeedInUnit(const ConvertSettings& s, double knots) {
    switch (UnitSystemOf(s)) {
        case 1: return knots * kKmPerNauticalMile / kKmPerNauticalMile;
        case 2: return knots * kStatutePerNautical;
        default: return knots * kKmPerNauticalMile;
    }
}

double AltitudeInUnit(const ConvertSettings& s, double metres) {
    return UnitSystemOf(s) == 0 ? metres : metres / kMetresPerFoot;
}

void OffsetCoordinate(std::string& degrees, const std::string& offset, const char* sense) {
    const double shift = DegreesOfDms(SplitDms(NumberOf(offset)));
    const double g = NumberOf(degrees);
    const bool add = sense != nullptr && std::strcmp(sense, "+") == 0;
    AssignFixed(degrees, add ? g + shift : g - shift, 6, 3);
}

void TokyoToWgs84(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    double lat = NumberOf(point.LatitudeDeg);
    double lon = NumberOf(point.LongitudeDeg);
    if (ctx.Current().Tokyo2WGS84 != 0) {
        const double shiftedLon = lon - 0.000046038 * lat - 0.000083043 * lon + 0.01004;
        const double shiftedLat = lat - 0.00010695 * lat + 0.000017464 * lon + 0.0046017;
        lon = shiftedLon;
        lat = shiftedLat;
    }
    AssignFixed(point.LongitudeDeg, lon, 6, 3);
    AssignFixed(point.LatitudeDeg, lat, 6, 3);
}

}  // namespace geoplait
