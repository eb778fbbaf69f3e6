// Coordinate notations, position offset, Tokyo-to-WGS 84 datum shift,
// distances on the Bessel ellipsoid and the unit systems of MeterMile.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_context.h"

namespace geoplait {

// Fills the two other notations from the first non-empty one, in the order
// NMEA (ddmm.mmmm), decimal degrees, d/m/s (ddmmss.ss).
void CoordTexts(std::string& nmea, std::string& degrees, std::string& dms);

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
HemisphereSigns HemisphereSign(const RunContext& ctx, const std::string& ns, const std::string& ew);
// Of the current record's RmcNS and RmcEW.
HemisphereSigns HemisphereSign(const RunContext& ctx);

// Whether a "-" goes before a coordinate text written with `sign`: in the
// '-' hemisphere, for a text that is not negative already and not 0.
bool NeedsMinus(char sign, std::string_view degrees);

// Hubeny's distance in km between two positions in signed degrees.
double HubenyKm(double lon1, double lat1, double lon2, double lat2);

// Distance in km from the current record (RmcLongitude, RmcLatitude,
// GgaAltitude) to the given point (NMEA texts, altitude in metres), on
// signed coordinates: south and west count negative (HemisphereSign), so a
// track across the equator or the prime meridian measures its true length.
// The texts read are remembered in ctx.geo for the next calls.
double TrackDistance(RunContext& ctx, const PointTexts& other);

// km, and knots, into the unit system of MeterMile.
double DistanceInUnit(const ConvertSettings& s, double km);
double SpeedInUnit(const ConvertSettings& s, double knots);
// Metres into the altitude unit of MeterMile (feet for the mile systems).
double AltitudeInUnit(const ConvertSettings& s, double metres);
// 0 = "Km/Meter" (also any unknown text), 1 = "Nautical Mile/Feet", 2 = "Statute Mile/Feet".
int UnitSystemOf(const ConvertSettings& s);
// DistanceInUnit and SpeedInUnit for a unit system already looked up.
double DistanceInUnitSystem(int unitSystem, double km);
double SpeedInUnitSystem(int unitSystem, double knots);

// Moves a decimal-degree text by an offset in d/m/s notation; sense "+" adds,
// anything else subtracts. Written back with "%3.6f".
void OffsetCoordinate(std::string& degrees, const std::string& offset, const char* sense);

// Shifts the record's LatitudeDeg/LongitudeDeg from Tokyo to WGS 84 when
// Tokyo2WGS84 is on; rewrites both with "%3.6f" either way.
void TokyoToWgs84(RunContext& ctx);

}  // namespace geoplait
