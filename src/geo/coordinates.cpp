// Coordinate notations, position offset, Tokyo-to-WGS 84 shift, Hubeny
// distance on the Bessel ellipsoid and the unit systems of MeterMile.
// Notations: NMEA ddmm.mmmm ("%5.4f"), decimal degrees ("%7.6f" from NMEA,
// "%f" from d/m/s, "%3.6f" after an offset or datum shift), d/m/s ddmmss.ss
// ("%3.2f"). Hemispheres never enter the texts; distances sign the numbers
// by them.
#include "geo/coordinates.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/text_fields.h"
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

namespace {

// Minutes (or seconds) that "%.Pf" would write as 60: they carry into the
// next whole unit.
bool RoundsToSixty(double value, int precision) {
    return value >= 60.0 - 0.5 / std::pow(10.0, precision);
}

}  // namespace

double RoundedAsPrinted(double x, int decimals) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double scale = kPowers[decimals];
    const double scaled = x * scale;
    if (std::fabs(scaled) < 0x1p50) {
        // printf rounds the exact value of x. The product is rounded, but
        // never across a half, which is a double itself: only a product that
        // is a half exactly leaves the side undecided.
        const double below = std::floor(scaled);
        const double above = scaled - below;
        if (above != 0.5) {
            // An integer below 2^50 over an exact power of ten: the one
            // rounding of the division is that of reading the decimal text.
            const double units = above > 0.5 ? below + 1.0 : below;
            return std::copysign(std::fabs(units) / scale, x);
        }
    }
    char text[kFixedTextSize];
    const size_t length = FormatFixedText(text, x, decimals, 0);
    return NumberOf(std::string_view(text, length));
}

double NmeaOfDegrees(double degrees) {
    double whole = 0.0;
    const double minutes = SplitFraction(degrees, whole) * 60.0;
    // Just below a whole degree the minutes round to 60: the next degree.
    if (RoundsToSixty(std::fabs(minutes), 4)) return (whole + std::copysign(1.0, degrees)) * 100.0;
    return RoundedAsPrinted(whole * 100.0 + minutes, 4);
}

double ExactNmeaOfDegrees(double degrees) {
    double whole = 0.0;
    const double minutes = SplitFraction(degrees, whole) * 60.0;
    return whole * 100.0 + minutes;
}

double RoundedNmea(double nmea) {
    const double whole = std::trunc(nmea / 100.0);
    const double minutes = nmea - whole * 100.0;
    if (RoundsToSixty(std::fabs(minutes), 4)) return (whole + std::copysign(1.0, nmea)) * 100.0;
    return RoundedAsPrinted(nmea, 4);
}

double NextMinute(double ddmm) {
    const double degrees = std::trunc(ddmm / 100.0);
    const double minutes = ddmm - degrees * 100.0;
    return minutes + 1.0 >= 60.0 ? (degrees + 1.0) * 100.0 : ddmm + 1.0;
}

double DmsOfNmea(double v) {
    double whole = 0.0;
    const double frac = SplitFraction(v, whole);
    if (RoundsToSixty(frac * 60.0, 2)) return NextMinute(whole) * 100.0;
    return (whole + frac * 60.0 / 100.0) * 100.0;
}

void TextsOfNmea(double v, double degreesOfV, std::string& degrees, std::string& dms) {
    AssignFixed(degrees, degreesOfV, 6, 7);
    AssignFixed(dms, DmsOfNmea(v), 2, 3);
}

double HubenyKm(double lon1, double lat1, double lon2, double lat2) {
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
    return std::sqrt(dx * dx + dy * dy) / 1000.0;
}

double SlopeKm(double km, double metres1, double metres2) {
    const double dh = std::fabs(metres1 - metres2) / 1000.0;
    return km / std::cos(std::atan(dh / km));
}

void CoordTexts(std::string& nmea, std::string& degrees, std::string& dms) {
    if (!nmea.empty()) {
        const double v = NumberOf(nmea);
        TextsOfNmea(v, DegreesOfNmea(v), degrees, dms);
    } else if (!degrees.empty()) {
        const double g = NumberOf(degrees);
        double whole = 0.0;
        const double m = SplitFraction(g, whole) * 60.0;
        AssignFixed(nmea, NmeaOfDegrees(g), 4, 5);
        double minutes = 0.0;
        const double minuteFrac = SplitFraction(m, minutes);
        if (RoundsToSixty(std::fabs(minuteFrac) * 60.0, 2)) {
            AssignFixed(dms, std::copysign(NextMinute(std::fabs(whole * 100.0 + minutes)) * 100.0, g), 2, 3);
        } else {
            AssignFixed(dms, whole * 10000.0 + minutes * 100.0 + minuteFrac * 60.0, 2, 3);
        }
    } else if (!dms.empty()) {
        const DmsParts p = SplitDms(NumberOf(dms));
        AssignFixed(degrees, DegreesOfDms(p), 6, 0);
        const double minutes = p.minutes + p.secondsAsMinutes;
        if (RoundsToSixty(minutes, 4)) {
            AssignFixed(nmea, (p.degrees + 1.0) * 100.0, 4, 5);
        } else {
            AssignFixed(nmea, p.degrees * 100.0 + minutes, 4, 5);
        }
    }
}

HemisphereSigns HemisphereSign(const std::string& ns, const std::string& ew, HemisphereSigns defaults) {
    return HemisphereSignOfLetters(HemisphereLetter(ns), HemisphereLetter(ew), defaults);
}

HemisphereSigns DefaultHemisphereSigns(const std::string& defaultNs, const std::string& defaultEw) {
    return HemisphereSign(defaultNs, defaultEw, HemisphereSigns{' ', ' '});
}

HemisphereSigns HemisphereSign(const std::string& ns, const std::string& ew, const std::string& defaultNs,
                               const std::string& defaultEw) {
    return HemisphereSign(ns, ew, DefaultHemisphereSigns(defaultNs, defaultEw));
}

bool NeedsMinus(char sign, std::string_view degrees) {
    return sign == '-' && !degrees.empty() && degrees[0] != '-' &&
           degrees.find_first_not_of("0.") != std::string_view::npos;
}

double DistanceInUnitSystem(UnitSystem units, double km) {
    switch (units) {
        case UnitSystem::NauticalMile: return km / kKmPerNauticalMile;
        case UnitSystem::StatuteMile: return km / kKmPerNauticalMile * kStatutePerNautical;
        case UnitSystem::Km:
        case UnitSystem::Unknown: break;
    }
    return km;
}

double SpeedInUnitSystem(UnitSystem units, double knots) {
    switch (units) {
        case UnitSystem::NauticalMile: return knots * kKmPerNauticalMile / kKmPerNauticalMile;
        case UnitSystem::StatuteMile: return knots * kStatutePerNautical;
        case UnitSystem::Km:
        case UnitSystem::Unknown: break;
    }
    return knots * kKmPerNauticalMile;
}

double AltitudeInUnitSystem(UnitSystem units, double metres) {
    return units == UnitSystem::NauticalMile || units == UnitSystem::StatuteMile ? metres / kMetresPerFoot : metres;
}

void OffsetCoordinate(std::string& degrees, const std::string& offset, const char* sense) {
    const double shift = DegreesOfDms(SplitDms(NumberOf(offset)));
    const double g = NumberOf(degrees);
    const bool add = sense != nullptr && std::strcmp(sense, "+") == 0;
    AssignFixed(degrees, add ? g + shift : g - shift, 6, 3);
}

// Whether "%3.6f" of the number of `text` gives `text` again: it reads
// -?(0|[1-9][0-9]*)\.[0-9]{6} with at most 15 digits in all, and a decimal of
// at most 15 significant digits survives the way to a double and back.
bool IsSixDecimalText(const std::string& text) {
    size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    const size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    const size_t whole = i - digitsStart;
    if (whole == 0 || whole > 9 || (whole > 1 && text[digitsStart] == '0')) return false;
    if (text.size() != i + 7 || text[i] != '.') return false;
    for (size_t k = i + 1; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
    }
    return true;
}

void TokyoToWgs84(std::string& latitudeDeg, std::string& longitudeDeg, bool shift) {
    if (!shift && IsSixDecimalText(latitudeDeg) && IsSixDecimalText(longitudeDeg)) {
        return;  // already as they would be rewritten
    }
    double lat = NumberOf(latitudeDeg);
    double lon = NumberOf(longitudeDeg);
    if (shift) {
        const double shiftedLon = lon - 0.000046038 * lat - 0.000083043 * lon + 0.01004;
        const double shiftedLat = lat - 0.00010695 * lat + 0.000017464 * lon + 0.0046017;
        lon = shiftedLon;
        lat = shiftedLat;
    }
    AssignFixed(longitudeDeg, lon, 6, 3);
    AssignFixed(latitudeDeg, lat, 6, 3);
}

}  // namespace geoplait
