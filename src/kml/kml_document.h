// The KML document as a whole: the head with the shared placemark style, the
// closing lines, and the pieces that the placemark and path writers share
// (escaped user texts, hemisphere signs, time stamps, the position adjustment,
// the altitude-mode and extrude lines).
#pragma once

#include <string_view>

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

// Creates OutputFile (always with the byte-order mark) and writes the head and
// the style "style". "Output File Not Create" when it cannot be created.
void WriteKmlHeader(RunContext& ctx);

// Appends "</Document>" and "</kml>" to OutputFile.
void WriteKmlClosing(RunContext& ctx);

// Writes a text taken from the user or from an input with &, <, > and "
// escaped, so that it cannot break the document.
void WriteXmlEscaped(TextWriter& out, std::string_view text);

// The sign characters written before the decimal latitude and longitude: the
// record's hemisphere letter when it is N/S (E/W), else the system default.
struct HemisphereSigns {
    char latitude = ' ';
    char longitude = ' ';
};
HemisphereSigns HemisphereSign(const RunContext& ctx);

// " <TimeStamp>", "  <when>20yy-mm-ddThh:mm:ssZ</when>", " </TimeStamp>" of
// the record's local date and time.
void WriteTimeStampLines(TextWriter& out, const TrackPoint& point);

// Moves LatitudeDeg/LongitudeDeg by OffNS/OffWE, shifts the datum and adds
// OffAltitude to AltitudeText ("%1.2f"), just before the position is written.
void AdjustPosition(RunContext& ctx);

// "  <altitudeMode>absolute</altitudeMode>" with Altitude, else clampToGround.
void WriteAltitudeModeLine(TextWriter& out, const ConvertSettings& s);
// "  <extrude>1</extrude>" with Altitude and VLineAltitude, else 0.
void WriteExtrudeLine(TextWriter& out, const ConvertSettings& s);

}  // namespace geoplait
