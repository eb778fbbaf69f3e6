// The KML document as a whole: the head with the shared placemark style, the
// closing lines, and the pieces that the placemark and path writers share
// (hemisphere signs, time stamps, the position adjustment, the altitude-mode
// and extrude lines).
#pragma once

#include "engine/run_context.h"
#include "geo/coordinates.h"
#include "kml/kml_format.h"

namespace geoplait {

// Creates OutputFile as one of the run's outputs (always with the byte-order
// mark) and writes the head and the style "style".
void WriteKmlHeader(RunContext& ctx);

// Appends "</Document>" and "</kml>" to OutputFile.
void WriteKmlClosing(RunContext& ctx);

// " <TimeStamp>", "  <when>20yy-mm-ddThh:mm:ss+hh:mm</when>", " </TimeStamp>"
// of a local date (ddmmyy) and time (hhmmss) with the time difference
// (signed hhmmss) as the offset, "Z" for 0. Nothing when the date is not a
// calendar date (a log without dates): no time is better than a wrong one.
// Every KML time stamp is written here.
void WriteTimeStampLines(KmlBuffer& out, const std::string& localDate, const std::string& localTime,
                         int32_t timeDifference);

// Moves LatitudeDeg/LongitudeDeg by OffNS/OffWE in the same direction
// whatever the hemisphere (`signs` are those the position is written with,
// and change when the offset crosses the equator or the meridian), shifts
// the datum and adds OffAltitude to AltitudeText ("%1.2f"), just before the
// position is written.
void AdjustPosition(RunContext& ctx, HemisphereSigns& signs);

// "  <altitudeMode>absolute</altitudeMode>" with Altitude, else clampToGround.
void WriteAltitudeModeLine(KmlBuffer& out, const ConvertSettings& s);
// "  <extrude>1</extrude>" with Altitude and VLineAltitude, else 0.
void WriteExtrudeLine(KmlBuffer& out, const ConvertSettings& s);

}  // namespace geoplait
