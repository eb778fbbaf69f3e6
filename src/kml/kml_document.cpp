// The KML document frame. Layout of a document:
//   <?xml ...?> / <kml xmlns=KML 2.1> / <Document> / <name> / style "style"
//   the point folder, the path folder, the photo folder (each optional)
//   </Document> / </kml>
// Each pass opens the file anew and appends; only the head creates it, and
// the head always keeps the UTF-8 byte-order mark (Bom does not apply to KML).
// Every text taken from the user or from the input (names, sizes, URLs,
// colours, the record's date) is written XML-escaped: a raw "&" or "<" would
// make the document unreadable.
#include "kml/kml_document.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "kml/kml_path.h"

namespace geoplait {

void WriteKmlHeader(OutputFiles& outputs, const ConvertSettings& s) {
    TextWriter file;
    if (!file.Open(outputs, s.OutputFile, WriteMode::Create)) return;
    {
        KmlBuffer out(file);
        out.Text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<kml xmlns=\"http://earth.google.com/kml/2.1\">\n"
                 "<Document>\n"
                 "<name>");
        out.Escaped(s.Name);
        out.Text("</name>\n"
                 "\n"
                 "<Style id=\"style\">\n"
                 "<IconStyle>\n"
                 " <scale>");
        out.Escaped(s.IconSize);
        out.Text("</scale>\n");
        if (s.PosIconUrl != 0) {
            out.Text(" <Icon>\n"
                     "  <href>");
            out.Escaped(s.IconURL);
            out.Text("</href>\n"
                     " </Icon>\n");
        }
        out.Text("</IconStyle>\n"
                 "<LabelStyle>\n"
                 " <scale>");
        out.Escaped(s.LabelSize);
        out.Text("</scale>\n"
                 "</LabelStyle>\n"
                 "</Style>\n"
                 "\n");
    }
    file.Close();
}

void WriteKmlClosing(OutputFiles& outputs, const std::string& outputFile) {
    TextWriter file;
    if (!file.Open(outputs, outputFile, WriteMode::Append)) return;
    file.Write("</Document>\n"
               "</kml>\n");
    file.Close();
}

namespace {

// The offset of a time stamp: "Z" for 0, else "+hh:mm" or "-hh:mm" of the
// time difference (signed hhmmss). Returns its end.
char* PutOffset(char* at, int32_t timeDifference) {
    if (timeDifference == 0) {
        *at++ = 'Z';
        return at;
    }
    const int32_t magnitude = timeDifference < 0 ? -timeDifference : timeDifference;
    const int32_t hours = magnitude / 10000 % 100;
    const int32_t minutes = magnitude / 100 % 100;
    *at++ = timeDifference < 0 ? '-' : '+';
    *at++ = static_cast<char>('0' + hours / 10);
    *at++ = static_cast<char>('0' + hours % 10);
    *at++ = ':';
    *at++ = static_cast<char>('0' + minutes / 10);
    *at++ = static_cast<char>('0' + minutes % 10);
    return at;
}

// The time stamp lines of "20yy-mm-ddThh:mm:ss" (19 characters in `when`)
// with the time difference as its offset.
void WriteWhen(KmlBuffer& out, char (&when)[32], int32_t timeDifference) {
    const size_t n = static_cast<size_t>(PutOffset(when + 19, timeDifference) - when);
    out.Text(" <TimeStamp>\n"
             "  <when>");
    out.Text(std::string_view(when, n));
    out.Text("</when>\n"
             " </TimeStamp>\n");
}

}  // namespace

void WriteTimeStampLines(KmlBuffer& out, const std::string& localDate, const std::string& localTime,
                         int32_t timeDifference) {
    const std::string& d = localDate;
    const std::string& t = localTime;
    if (!IsCalendarDate(d) || t.size() < 6) return;
    for (size_t i = 0; i < 6; ++i) {
        if (t[i] < '0' || t[i] > '9') return;
    }
    // The local digits with the time difference as their offset: the instant
    // is the UTC time of the record.
    char when[32] = {'2', '0', d[4], d[5], '-', d[2], d[3], '-', d[0], d[1], 'T',
                     t[0], t[1], ':', t[2], t[3], ':', t[4], t[5]};
    WriteWhen(out, when, timeDifference);
}

void WriteTimeStampLines(KmlBuffer& out, const RecordTime& local, int32_t timeDifference) {
    // A time of a record's reader lies within its day.
    if (local.date != DateKind::Known || !local.HasTimeOfDay()) return;
    out.Text(" <TimeStamp>\n"
             "  <when>");
    char offset[8];
    out.When(local.day, local.second,
             std::string_view(offset, static_cast<size_t>(PutOffset(offset, timeDifference) - offset)));
    out.Text("</when>\n"
             " </TimeStamp>\n");
}

namespace {

// Moves an unsigned decimal degree text by an offset in one geographic
// direction whatever its hemisphere: a positive offset moves toward the '+'
// hemisphere (north, east) when `positiveTowardPlus`, else away from it. In
// the '-' hemisphere that is the other way round for the number. A result
// past the equator (meridian) changes the hemisphere sign, not the text's.
void OffsetSigned(std::string& degrees, const std::string& offset, char& sign, bool positiveTowardPlus) {
    const bool minus = sign == '-';
    OffsetCoordinate(degrees, offset, (positiveTowardPlus != minus) ? "+" : "-");
    if ((sign == '+' || sign == '-') && !degrees.empty() && degrees[0] == '-') {
        degrees.erase(0, 1);
        sign = sign == '+' ? '-' : '+';
    }
}

}  // namespace

PositionAdjustment PositionAdjustmentOf(const std::string& offNS, const std::string& offWE,
                                        const std::string& offAltitude, bool toWgs84) {
    PositionAdjustment adjust;
    adjust.offNS = offNS;
    adjust.offWE = offWE;
    adjust.offAltitude = offAltitude;
    adjust.toWgs84 = toWgs84;
    adjust.offNSValue = NumberOf(offNS);
    adjust.offWEValue = NumberOf(offWE);
    adjust.offAltitudeValue = NumberOf(offAltitude);
    return adjust;
}

namespace {

// The adjustment of a position's decimal degree texts (DegreesText of
// `from`, in `position` already) and of its altitude.
void AdjustTexts(const PositionAdjustment& adjust, const RecordPosition& from, double altitude,
                 PositionTexts& position, HemisphereSigns& signs) {
    // A zero offset leaves the value as it is; the datum step rewrites both
    // texts with "%3.6f" in any case. A positive OffNS moves south, a positive
    // OffWE east.
    const bool offset = adjust.offNSValue != 0.0 || adjust.offWEValue != 0.0;
    if (adjust.offNSValue != 0.0) OffsetSigned(position.latitude, adjust.offNS, signs.latitude, false);
    if (adjust.offWEValue != 0.0) OffsetSigned(position.longitude, adjust.offWE, signs.longitude, true);
    // Without an offset or a shift, "%7.6f" of degrees of fewer than nine
    // whole digits is what "%3.6f" writes of it again: nothing to rewrite.
    const bool asWritten = !offset && !adjust.toWgs84 && from.known &&
                           std::fabs(from.latitude.degrees) < 1e8 && std::fabs(from.longitude.degrees) < 1e8;
    if (!asWritten) TokyoToWgs84(position.latitude, position.longitude, adjust.toWgs84);
    AssignFixed(position.altitude, altitude + adjust.offAltitudeValue, 2, 1);
}

}  // namespace

void AdjustPosition(const PositionAdjustment& adjust, const RecordPosition& from, double altitude,
                    PositionTexts& position, HemisphereSigns& signs) {
    DegreesText(from, from.latitude, position.latitude);
    DegreesText(from, from.longitude, position.longitude);
    AdjustTexts(adjust, from, altitude, position, signs);
}

namespace {

// Equal bits: -0.0 and 0.0 are written apart.
bool SameNumber(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

bool SamePosition(const RecordPosition& a, const RecordPosition& b) {
    if (a.known != b.known) return false;
    return !a.known || (SameNumber(a.latitude.degrees, b.latitude.degrees) &&
                        SameNumber(a.longitude.degrees, b.longitude.degrees));
}

// Whether `made` was made from this position, altitude and signs.
bool MadeFrom(const AdjustedPosition& made, const RecordPosition& from, double altitude, HemisphereSigns signs) {
    return made.valid && made.fromSigns.latitude == signs.latitude && made.fromSigns.longitude == signs.longitude &&
           SamePosition(made.from, from) && SameNumber(made.fromAltitude, altitude);
}

}  // namespace

const AdjustedPosition& AdjustOnce(const PositionAdjustment& adjust, AdjustedPosition& memo,
                                   const RecordPosition& from, double altitude, HemisphereSigns signs) {
    if (MadeFrom(memo, from, altitude, signs)) return memo;
    memo.from = from;
    memo.fromAltitude = altitude;
    memo.fromSigns = signs;
    memo.signs = signs;
    // The degrees are formatted once: the description shows them as they
    // are, the placemark and the path as adjusted.
    DegreesText(from, from.latitude, memo.degrees.latitude);
    DegreesText(from, from.longitude, memo.degrees.longitude);
    memo.texts.latitude = memo.degrees.latitude;
    memo.texts.longitude = memo.degrees.longitude;
    AdjustTexts(adjust, from, altitude, memo.texts, memo.signs);
    memo.valid = true;
    return memo;
}

const AdjustedPosition& WriterPosition(KmlRecordWriter& writer, const TrackPoint& p) {
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, writer.options.defaultSigns);
    const double altitude = p.Values.altitude.value;
    if (writer.madeAhead != nullptr && MadeFrom(*writer.madeAhead, p.Position, altitude, signs)) {
        return *writer.madeAhead;
    }
    return AdjustOnce(writer.options.adjust, writer.position, p.Position, altitude, signs);
}

KmlRecordOptions KmlRecordOptionsOf(const ConvertSettings& s, const ConfigSettings& config, const RunValues& run) {
    KmlRecordOptions o;
    o.labelNumber = s.Label_No != 0;
    o.labelDate = s.Label_Date != 0;
    o.labelTime = s.Label_Time != 0;
    o.labelElapsed = s.Label_Elapsed != 0;
    o.labelIntervalTime = s.Label_IntervalTime != 0;
    o.labelDistance = s.Label_Km != 0;
    o.labelSpeed = s.Label_Speed != 0;
    o.labelAltitude = s.Label_Altitude != 0;
    o.labelSatellites = s.Label_Satellites != 0;
    o.labelCourse = s.Label_Degrees != 0;
    o.labelName = s.Label_Tex != 0;
    o.labelIntervalDistance = s.Label_IntervalKm != 0;
    o.labelLatLon = s.Label_LatLon != 0;
    o.renumber = s.ReNumber != 0;
    o.description = s.Label_Description != 0;
    o.timeStamp = s.TimeStampPosition != 0;
    o.absoluteAltitude = s.Altitude != 0;
    o.units = run.Units;
    o.defaultSigns = DefaultHemisphereSigns(config.LatitudeNS, config.LongitudeWE);
    o.adjust = PositionAdjustmentOf(s.OffNS, s.OffWE, s.OffAltitude, s.Tokyo2WGS84 != 0);
    // Kept as they reach the file, so that each break copies them as they are.
    const auto withCrLf = [](const std::string& text) {
        std::string bytes(2 * text.size() + 16, '\0');
        bytes.resize(static_cast<size_t>(CopyWithCrLf(text.data(), text.size(), bytes.data()) - bytes.data()));
        return bytes;
    };
    for (size_t g = 0; g < o.nmeaGroupStart.size(); ++g) {
        o.nmeaGroupStart[g] = withCrLf(LineGroupStart(s, g, true));
        o.otherGroupStart[g] = withCrLf(LineGroupStart(s, g, false));
    }
    return o;
}

void WriteAltitudeModeLine(KmlBuffer& out, bool absolute) {
    // Each a literal of its own, written as compiled.
    if (absolute) {
        out.Text("  <altitudeMode>absolute</altitudeMode>\n");
    } else {
        out.Text("  <altitudeMode>clampToGround</altitudeMode>\n");
    }
}

void WriteAltitudeModeLine(KmlBuffer& out, const ConvertSettings& s) { WriteAltitudeModeLine(out, s.Altitude != 0); }

void WriteExtrudeLine(KmlBuffer& out, const ConvertSettings& s) {
    if (s.Altitude != 0 && s.VLineAltitude != 0) {
        out.Text("  <extrude>1</extrude>\n");
    } else {
        out.Text("  <extrude>0</extrude>\n");
    }
}

}  // namespace geoplait
