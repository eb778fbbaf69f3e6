// Track lines. The folder "Path" holds LineString placemarks; a group break
// ends one and begins the next. Layout of LineGroups:
//   <Folder> <name>Path</name> <Placemark> name Path_Group0_L, style (line and
//   poly) / LineString / coordinate lines / break: "  </coordinates>",
//   " </LineString>", [time stamp], "</Placemark>", "", "<Placemark>",
//   name Path_GroupN, style, LineString ... / "</coordinates>", "</LineString>",
//   "</Placemark>", "</Folder>".
// SpeedGroups writes each placemark's name and style after its
// coordinates instead, the last one named Path_GroupN_S. The indentation of
// the break texts differs by input (NMEA, CSV, POT/GPX) and is kept as it is,
// byte for byte. The group number cycles through the 12 line groups.
// Every placemark is a line of two coordinates or more: a piece is held back
// until its second coordinate, and one that never gets it (a group of one
// point, the point after the last time-stamped piece) is left out whole.
#include "kml/kml_path.h"

#include <cstring>

#include "geo/coordinates.h"
#include "geo/time_difference.h"
#include "kml/kml_document.h"
#include "kml/kml_placemark.h"

namespace geoplait {

namespace {

// Index into the 12 group arrays, whatever SplitIndex holds.
size_t GroupSlot(int32_t g) {
    const int32_t m = g % kGroupCount;
    return static_cast<size_t>(m < 0 ? m + kGroupCount : m);
}

// open + a + b + close, the settings texts escaped: a colour line is the
// opacity text followed by the colour text.
void WriteJoined(KmlBuffer& out, const char* open, const std::string& a, const std::string& b,
                 const char* close) {
    out.Text(open);
    out.Escaped(a);
    out.Escaped(b);
    out.Text(close);
}

void WriteGroupName(KmlBuffer& out, int32_t g, const char* suffix) {
    out.Text(" <name>Path_Group");
    out.Int(g);
    out.Text(suffix);
    out.Text("</name>\n");
}

// The line style of group g, indented one, two and three blanks.
void WriteLineStyle(KmlBuffer& out, const ConvertSettings& s, size_t g) {
    out.Text("  <LineStyle>\n");
    WriteJoined(out, "   <color>", s.Transparent[g], s.LineColorRGB[g], "</color>\n");
    WriteJoined(out, "   <width>", s.LineWidth[g], "", "</width>\n");
    out.Text("  </LineStyle>\n");
}

void WritePolyStyle(KmlBuffer& out, const ConvertSettings& s, const char* colorOpen) {
    out.Text("  <PolyStyle>\n");
    WriteJoined(out, colorOpen, s.VLineTransparent, s.VLineColor, "</color>\n");
    out.Text("  </PolyStyle>\n");
}

bool VerticalLines(const ConvertSettings& s) { return s.Altitude != 0 && s.VLineAltitude != 0; }

// A new group starts its elapsed time, total distance and date afresh.
void RestartGroup(KmlSection& section, bool withDate) {
    section.point.ElapsedSec = 0;
    section.store.FirstTime = 0;
    section.point.TotalDistance = 0.0;
    if (withDate) SetGroupDate(section.point, section.store);
}

void WriteNmeaSpeedBreak(KmlBuffer& out, KmlSection& section, int newGroup) {
    const ConvertSettings& s = section.settings;
    const TrackPoint& p = section.point;
    const size_t o = GroupSlot(section.store.SplitIndex);
    if (out.EndPiece()) {
        out.Text("  </coordinates>\n"
                 " </LineString>\n");
        WriteGroupName(out, section.store.SplitIndex, "");
        out.Text(" <Style>\n");
        WriteLineStyle(out, s, o);
        if (VerticalLines(s)) WritePolyStyle(out, s, "   <color>");
        out.Text(" </Style>\n");
        if (s.TimeStampPath != 0) WriteTimeStampLines(out, p.Local, p.LocalOffset);
        out.Text("</Placemark>\n");
    }
    out.HoldPiece();
    out.Text("\n"
             "<Placemark>\n"
             " <LineString>\n"
             "  <tessellate>0</tessellate>\n");
    WriteExtrudeLine(out, s);
    WriteAltitudeModeLine(out, s);
    out.Text("  <coordinates>\n");
    RestartGroup(section, true);
    section.store.SplitIndex = newGroup;
}

void WriteCsvSpeedBreak(KmlBuffer& out, KmlSection& section, int newGroup) {
    const ConvertSettings& s = section.settings;
    const TrackPoint& p = section.point;
    const size_t o = GroupSlot(section.store.SplitIndex);
    if (out.EndPiece()) {
        out.Text("</coordinates>\n"
                 "</LineString>\n"
                 "<name>Path</name>\n"
                 "<Style>\n"
                 "<LineStyle>\n");
        WriteJoined(out, "<color>", s.Transparent[o], s.LineColorRGB[o], "</color>\n");
        WriteJoined(out, "<width>", s.LineWidth[o], "", "</width>\n");
        out.Text("</LineStyle>\n"
                 "</Style>\n");
        if (s.TimeStampPath != 0) WriteTimeStampLines(out, p.Local, p.LocalOffset);
        out.Text("</Placemark>\n");
    }
    out.HoldPiece();
    out.Text("\n"
             "<Placemark>\n"
             "<LineString>\n"
             "<extrude>0</extrude>\n"
             "<tessellate>0</tessellate>\n");
    WriteAltitudeModeLine(out, s);
    out.Text("<coordinates>\n");
    RestartGroup(section, false);
    section.store.SplitIndex = newGroup;
}

}  // namespace

int SpeedGroupIndex(const ConvertSettings& s, const TrackPoint& point) {
    const std::array<double, kGroupCount>& range = s.SpeedRange;
    const double speed = point.Speed;
    int index = 0;
    for (int i = 0; i + 1 < kGroupCount; ++i) {
        if (range[static_cast<size_t>(i)] <= speed && speed < range[static_cast<size_t>(i) + 1]) {
            index = i;
            break;
        }
    }
    if (speed >= range[kGroupCount - 1]) index = kGroupCount - 1;
    return index;
}

void OpenPathFolder(KmlBuffer& out, const KmlSection& section, PathKind kind) {
    const ConvertSettings& s = section.settings;
    out.Text("<Folder>\n"
             "<name>Path</name>\n");
    out.HoldPiece();
    out.Text("<Placemark>\n");
    if (kind == PathKind::LineGroups) {
        WriteGroupName(out, section.store.SplitIndex, "_L");
        out.Text(" <Style>\n");
        WriteLineStyle(out, s, GroupSlot(section.store.SplitIndex));
        WritePolyStyle(out, s, "   <color>");
        out.Text(" </Style>\n");
    }
    out.Text(" <LineString>\n");
    WriteExtrudeLine(out, s);
    out.Text("  <tessellate>0</tessellate>\n");
    WriteAltitudeModeLine(out, s);
    out.Text("  <coordinates>\n");
}

namespace {

// "±lon,±lat,alt" and a line end, in place of what `line` held.
void AssignCoordinateLine(std::string& line, const PositionTexts& position, HemisphereSigns signs) {
    line.clear();
    line.push_back(signs.longitude);
    line.append(position.longitude);
    line.push_back(',');
    line.push_back(signs.latitude);
    line.append(position.latitude);
    line.push_back(',');
    line.append(position.altitude);
    line.push_back('\n');
}

// The same as it reaches the file: the line end is CR LF, and the line is
// put together by one copy of each text.
void AssignCoordinateBytes(std::string& line, const PositionTexts& position, HemisphereSigns signs) {
    const std::string& lon = position.longitude;
    const std::string& lat = position.latitude;
    const std::string& alt = position.altitude;
    line.resize(lon.size() + lat.size() + alt.size() + 6);
    char* o = line.data();
    *o++ = signs.longitude;
    std::memcpy(o, lon.data(), lon.size());
    o += lon.size();
    *o++ = ',';
    *o++ = signs.latitude;
    std::memcpy(o, lat.data(), lat.size());
    o += lat.size();
    *o++ = ',';
    std::memcpy(o, alt.data(), alt.size());
    o += alt.size();
    *o++ = '\r';
    *o = '\n';
}

// The position of the record as the placemark of the record may have
// adjusted it already.
const AdjustedPosition& AdjustedOf(const TrackPoint& p, KmlRecordWriter& writer) {
    return WriterPosition(writer, p);
}

// The coordinate line of the record in writer.line, as it reaches the file.
void MakeCoordinateBytes(const TrackPoint& p, KmlRecordWriter& writer) {
    const AdjustedPosition& adjusted = AdjustedOf(p, writer);
    AssignCoordinateBytes(writer.line, adjusted.texts, adjusted.signs);
}

}  // namespace

void MakeCoordinateLine(const TrackPoint& p, KmlRecordWriter& writer, std::string& line) {
    const AdjustedPosition& adjusted = AdjustedOf(p, writer);
    AssignCoordinateLine(line, adjusted.texts, adjusted.signs);
}

void WriteCoordinateLine(KmlBuffer& out, const TrackPoint& point, KmlRecordWriter& writer) {
    MakeCoordinateBytes(point, writer);
    out.Bytes(writer.line);
}

std::string LineGroupStart(const ConvertSettings& s, size_t g, bool nmea) {
    std::string text = " <Style>\n"
                       "  <LineStyle>\n"
                       "   <color>";
    AppendEscaped(text, s.Transparent[g]);
    AppendEscaped(text, s.LineColorRGB[g]);
    text.append("</color>\n"
                "   <width>");
    AppendEscaped(text, s.LineWidth[g]);
    text.append("</width>\n"
                "  </LineStyle>\n");
    if (VerticalLines(s)) {
        text.append("  <PolyStyle>\n");
        text.append(nmea ? "   <color>" : "  <color>");
        AppendEscaped(text, s.VLineTransparent);
        AppendEscaped(text, s.VLineColor);
        text.append("</color>\n"
                    "  </PolyStyle>\n");
    }
    text.append(" </Style>\n"
                " <LineString>\n");
    text.append(s.Altitude != 0 && s.VLineAltitude != 0 ? "  <extrude>1</extrude>\n" : "  <extrude>0</extrude>\n");
    text.append("  <tessellate>0</tessellate>\n");
    text.append(s.Altitude != 0 ? "  <altitudeMode>absolute</altitudeMode>\n"
                                : "  <altitudeMode>clampToGround</altitudeMode>\n");
    text.append("  <coordinates>\n");
    return text;
}

void WriteLineGroupBreak(KmlBuffer& out, KmlSection& section, const KmlRecordOptions& options, TrackSource source) {
    const ConvertSettings& s = section.settings;
    const TrackPoint& p = section.point;
    const size_t g = GroupSlot(section.store.SplitIndex);
    if (out.EndPiece()) {
        if (source == TrackSource::PotGpx) {
            out.Text("</coordinates>\n"
                     "</LineString>\n");
        } else {
            out.Text("  </coordinates>\n"
                     " </LineString>\n");
        }
        if (s.TimeStampPath != 0) WriteTimeStampLines(out, p.Local, p.LocalOffset);
        out.Text("</Placemark>\n");
    }
    out.HoldPiece();
    out.Text("\n"
             "<Placemark>\n");
    WriteGroupName(out, section.store.SplitIndex, "");
    out.Bytes(source == TrackSource::Nmea ? options.nmeaGroupStart[g] : options.otherGroupStart[g]);
    if (source == TrackSource::Nmea) RestartGroup(section, true);
}

void WriteSpeedGroupBreak(KmlBuffer& out, KmlSection& section, TrackSource source, int newGroup) {
    if (source == TrackSource::Csv) {
        WriteCsvSpeedBreak(out, section, newGroup);
    } else {
        WriteNmeaSpeedBreak(out, section, newGroup);
    }
}

void ClosePathFolder(KmlBuffer& out, const KmlSection& section, PathKind kind) {
    if (out.EndPiece()) {
        out.Text("</coordinates>\n"
                 "</LineString>\n");
        if (kind == PathKind::SpeedGroups) {
            WriteGroupName(out, section.store.SplitIndex, "_S");
            out.Text(" <Style>\n");
            WriteLineStyle(out, section.settings, GroupSlot(section.store.SplitIndex));
            out.Text(" </Style>\n");
        }
        out.Text("</Placemark>\n");
    }
    out.Text("</Folder>\n");
}

namespace {

// The end of a record in a section: cleared, or handed on to the next section.
void LeaveRecord(TrackPoint& point, TrackPoint* handOn) {
    if (handOn != nullptr) {
        HandOnRecord(point, *handOn);
    } else {
        ClearTrackPoint(point);
    }
}

}  // namespace

void WriteTrackRecord(KmlBuffer& out, KmlSection& section, KmlRecordWriter& writer, PathKind kind,
                      TrackSource source, TrackPoint* handOn) {
    TrackStore& store = section.store;
    const TrackPoint& p = section.point;
    const ConvertSettings& s = section.settings;
    const bool nmea = source != TrackSource::Csv;
    const bool groupBreak = store.GapDistance > section.run.GapDistanceLimit ||
                            p.IntervalSec > section.run.GapSecondsLimit ||
                            (nmea && DateGroupChanges(s.TrackGroupDate != 0, p, store));
    // A line record may be written twice (it ends one placemark and begins the
    // next); its text is made once.
    const std::string& line = writer.line;
    if (kind != PathKind::Placemarks) MakeCoordinateBytes(p, writer);
    switch (kind) {
        case PathKind::Placemarks:
            if (nmea && groupBreak) RestartGroup(section, true);
            WritePositionPlacemark(out, section, writer);
            break;
        case PathKind::LineGroups:
            if (groupBreak) {
                store.SplitIndex = store.SplitIndex >= kGroupCount - 1 ? 0 : store.SplitIndex + 1;
                WriteLineGroupBreak(out, section, writer.options, source);
                out.PieceBytes(line);
            } else if (s.TimeStampPath != 0 && store.WrittenCount > 0) {
                // Each record ends a placemark carrying its time stamp and
                // begins the next; the first piece holds the first two.
                out.PieceBytes(line);
                WriteLineGroupBreak(out, section, writer.options, source);
                out.PieceBytes(line);
            } else {
                out.PieceBytes(line);
            }
            break;
        case PathKind::SpeedGroups: {
            const int n = SpeedGroupIndex(s, p);
            if (n != store.SplitIndex && store.WrittenCount > 0) {
                // Without a gap the old group ends with this record, so the groups join.
                if (!groupBreak) out.PieceBytes(line);
                WriteSpeedGroupBreak(out, section, source, n);
                out.PieceBytes(line);
            } else if (groupBreak) {
                WriteSpeedGroupBreak(out, section, source, n);
                out.PieceBytes(line);
            } else {
                out.PieceBytes(line);
            }
            break;
        }
    }
    ++store.RecordIndex;
    ++store.WrittenCount;
    store.SinceWrittenDistance = 0.0;
    LeaveRecord(section.point, handOn);
}

void WriteGapRecord(KmlBuffer& out, KmlSection& section, KmlRecordWriter& writer, int32_t& written) {
    TrackStore& store = section.store;
    const bool gap =
        store.GapDistance > section.run.GapDistanceLimit || section.point.IntervalSec > section.run.GapSecondsLimit;
    const std::string& line = writer.line;
    MakeCoordinateBytes(section.point, writer);
    if (written > 0 && (gap || section.settings.TimeStampPath != 0)) {
        if (gap) {
            store.SplitIndex = store.SplitIndex >= kGroupCount - 1 ? 0 : store.SplitIndex + 1;
        } else {
            // Without a gap the placemark ends with this record and the next begins with it.
            out.PieceBytes(line);
        }
        WriteLineGroupBreak(out, section, writer.options, TrackSource::PotGpx);
    }
    out.PieceBytes(line);
    ++written;
    ++store.WrittenCount;
    ++store.RecordIndex;
    ClearTrackPoint(section.point);
}

}  // namespace geoplait
