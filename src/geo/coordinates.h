// Coordinate notations, position offset, Tokyo-to-WGS 84 datum shift,
// distances on the Bessel ellipsoid and the unit systems of MeterMile, on
// plain numbers and texts.
#pragma once

#include <string>
#include <string_view>

#include "geo/number_format.h"
#include "geo/unit_system.h"

namespace geoplait {

// x rounded to `decimals` decimals (0 to 15) as printf("%.<decimals>f")
// writes it and a text reader takes it back: the double nearest to the
// decimal printed, the sign of a zero kept ("-0.0000" is -0.0). Only a value
// that scales to a half exactly is printed to decide.
double RoundedAsPrinted(double x, int decimals);

// The NMEA value (ddmm.mmmm, dddmm.mmmm) of degrees, as every output has
// written a position read as degrees: four decimals of a minute, minutes
// that round to 60 carried into the next whole degree. Signed degrees give
// a value of that sign.
double NmeaOfDegrees(double degrees);

// The NMEA value of degrees exactly, without rounding: whole degrees times
// 100 plus the minutes. Signed degrees give a value of that sign.
double ExactNmeaOfDegrees(double degrees);

// An NMEA value rounded to the four decimals of a minute the outputs write,
// minutes that round to 60 carried into the next whole degree.
double RoundedNmea(double nmea);

// Fills the two other notations from the first non-empty one, in the order
// NMEA (ddmm.mmmm), decimal degrees, d/m/s (ddmmss.ss).
void CoordTexts(std::string& nmea, std::string& degrees, std::string& dms);

// ddmm (whole minutes run together with their degrees) one minute on, 59
// minutes becoming the next whole degree: where seconds that round to 60
// carry.
double NextMinute(double ddmm);

// Degrees of an NMEA ddmm.mmmm value.
inline double DegreesOfNmea(double v) {
    double whole = 0.0;
    const double frac = SplitFraction(v / 100.0, whole);
    return whole + frac / 0.6;
}

// The d/m/s number (ddmmss.ss, printed "%3.2f") of an NMEA value v, seconds
// that round to 60 carried into the next minute.
double DmsOfNmea(double v);

// The degree ("%7.6f") and d/m/s texts of an NMEA value v whose degrees
// (DegreesOfNmea) are known: what CoordTexts makes of an NMEA text.
void TextsOfNmea(double v, double degreesOfV, std::string& degrees, std::string& dms);

// The sign characters written before a decimal latitude and longitude: the
// record's hemisphere letter when it is N or S (E or W) gives '+' or '-',
// otherwise the system default (LatitudeNS, LongitudeWE) does, and a default
// that is neither gives a blank.
struct HemisphereSigns {
    char latitude = ' ';
    char longitude = ' ';
};
HemisphereSigns HemisphereSign(const std::string& ns, const std::string& ew, const std::string& defaultNs,
                               const std::string& defaultEw);
// The same with the signs of the default letters already known.
HemisphereSigns HemisphereSign(const std::string& ns, const std::string& ew, HemisphereSigns defaults);
// The signs of the default letters alone.
HemisphereSigns DefaultHemisphereSigns(const std::string& defaultNs, const std::string& defaultEw);

// A hemisphere text as the one letter that counts: its character when it is
// one character long, else 0, which no hemisphere letter is.
inline char HemisphereLetter(const std::string& text) { return text.size() == 1 ? text[0] : '\0'; }
// Sign of a hemisphere letter: `plus` gives '+', `minus` gives '-', any other
// (0 included) `fallback`.
inline char SignOfLetter(char letter, char plus, char minus, char fallback) {
    return letter == plus ? '+' : letter == minus ? '-' : fallback;
}
// HemisphereSign of the letters (HemisphereLetter) of the texts.
inline HemisphereSigns HemisphereSignOfLetters(char ns, char ew, HemisphereSigns defaults) {
    return {SignOfLetter(ns, 'N', 'S', defaults.latitude), SignOfLetter(ew, 'E', 'W', defaults.longitude)};
}

// Whether a "-" goes before a coordinate text written with `sign`: in the
// '-' hemisphere, for a text that is not negative already and not 0.
bool NeedsMinus(char sign, std::string_view degrees);

// Degrees with the sign of their hemisphere: negative for '-'.
inline double Signed(double degrees, char sign) { return sign == '-' ? -degrees : degrees; }

// Hubeny's distance in km between two positions in signed degrees, on the
// Bessel ellipsoid.
double HubenyKm(double lon1, double lat1, double lon2, double lat2);
// A distance of `km` over level ground stretched by the difference of two
// altitudes in metres to its length along the slope.
double SlopeKm(double km, double metres1, double metres2);

// km, knots and metres (altitudes) into a unit system (feet for the mile
// systems; Unknown counts as Km).
double DistanceInUnitSystem(UnitSystem units, double km);
double SpeedInUnitSystem(UnitSystem units, double knots);
double AltitudeInUnitSystem(UnitSystem units, double metres);

// Moves a decimal-degree text by an offset in d/m/s notation; sense "+" adds,
// anything else subtracts. Written back with "%3.6f".
void OffsetCoordinate(std::string& degrees, const std::string& offset, const char* sense);

// Shifts decimal-degree texts from the Tokyo datum to WGS 84 when `shift` is
// true; rewrites both with "%3.6f" either way.
void TokyoToWgs84(std::string& latitudeDeg, std::string& longitudeDeg, bool shift);

}  // namespace geoplait
