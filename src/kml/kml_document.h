// The KML document as a whole: the head with the shared placemark style, the
// closing lines, and the pieces that the placemark and path writers share
// (hemisphere signs, time stamps, the position adjustment, the altitude-mode
// and extrude lines).
#pragma once

#include "engine/run_context.h"
#include "kml/kml_format.h"

namespace geoplait {

// Creates OutputFile (always with the byte-order mark) and writes the head and
// the style "style". "Output File Not Create" when it cannot be created.
void WriteKmlHeader(RunContext& ctx);

// Appends "</Document>" and "</kml>" to OutputFile.
void WriteKmlClosing(RunContext& ctx);

// The sign characters written before the decimal latitude and longitude: the
// record's hemisphere letter when it is N/S (E/W), else the system default.
struct HemisphereSigns {
    char latitude = ' ';
    char longitude = ' ';
};
HemisphereSigns HemisphereSign(const RunContext& ctx);

// " <TimeStamp>", "  <when>20yy-mm-ddThh:mm:ssZ</when>", " </TimeStamp>" of
// the record's local date and time.
void WriteTimeStampLines(KmlBuffer& out, const TrackPoint& point);

// Moves LatitudeDeg/LongitudeDeg by OffNS/OffWE, shifts the datum and adds
// OffAltitude to AltitudeText ("%1.2f"), just before the position is written.
void AdjustPosition(RunContext& ctx);

// "  <altitudeMode>absolute</altitudeMode>" with Altitude, else clampToGround.
void WriteAltitudeModeLine(KmlBuffer& out, const ConvertSettings& s);
// "  <extrude>1</extrude>" with Altitude and VLineAltitude, else 0.
void WriteExtrudeLine(KmlBuffer& out, const ConvertSettings& s);

}  // namespace geoplait
