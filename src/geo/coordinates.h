// Coordinate notations, position offset, Tokyo-to-WGS 84 datum shift,
// distances on the Bessel ellipsoid and the unit systems of MeterMile.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_context.h"
#include "geo/unit_system.h"

namespace geoplait {

// Fills the two other notations from the first non-empty one, in the order
// NMEA (ddmm.mmmm), decimal degrees, d/m/s (ddmmss.ss).
void CoordTexts(std::string& nmea, std::string& degrees, std::string& dms);

// CoordTexts from an NMEA text, which stays as it is, with the other two
// emptied first.
void NmeaCoordTexts(const std::string& nmea, std::string& degrees, std::string& dms);

// CoordTexts from an NMEA text with the other two emptied first; the text is
// read through the memo of ctx.geo that TrackDistance keeps.
void RecordCoordTexts(RunContext& ctx, const std::string& nmea, std::string& degrees,
                      std::string& dms);

// The sign characters written before a decimal latitude and longitude: the
// record's hemisphere letter when it is N or S (E or W) gives '+' or '-',
// otherwise the system default LatitudeNS (LongitudeWE) does, and a default
// that is neither gives a blank.
struct HemisphereSigns {
    char latitude = ' ';
    char longitude = ' ';
};
HemisphereSigns HemisphereSign(const std::string& ns, const std::string& ew, HemisphereSigns defaults);
// The signs of the system default letters alone.
HemisphereSigns DefaultHemisphereSigns(const std::string& latitudeNS, const std::string& longitudeWE);
HemisphereSigns HemisphereSign(const RunContext& ctx, const std::string& ns, const std::string& ew);
// Of the current record's RmcNS and RmcEW.
HemisphereSigns HemisphereSign(const RunContext& ctx);

// Whether a "-" goes before a coordinate text written with `sign`: in the
// '-' hemisphere, for a text that is not negative already and not 0.
bool NeedsMinus(char sign, std::string_view degrees);

// Distance in km from the current record (RmcLongitude, RmcLatitude,
// GgaAltitude) to the given point (NMEA texts, altitude in metres), on
// signed coordinates: south and west count negative (HemisphereSign), so a
// track across the equator or the prime meridian measures its true length.
// The texts read are remembered in ctx.geo for the next calls.
double TrackDistance(RunContext& ctx, const PointTexts& other);

// km, and knots, into the unit system (Unknown counts as Km).
double DistanceInUnitSystem(UnitSystem units, double km);
double SpeedInUnitSystem(UnitSystem units, double knots);
// Metres into the altitude unit: feet for the mile systems.
double AltitudeInUnitSystem(UnitSystem units, double metres);

// Moves a decimal-degree text by an offset in d/m/s notation; sense "+" adds,
// anything else subtracts. Written back with "%3.6f".
void OffsetCoordinate(std::string& degrees, const std::string& offset, const char* sense);

// Shifts decimal-degree texts from Tokyo to WGS 84 when `shift` (Tokyo2WGS84)
// is on; rewrites both with "%3.6f" either way.
void TokyoToWgs84(std::string& latitudeDeg, std::string& longitudeDeg, bool shift);

}  // namespace geoplait
