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

#include "engine/derived_values.h"
#include "engine/record_filter.h"
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
void RestartGroup(RunContext& ctx, bool withDate) {
    ctx.point.ElapsedSec = 0;
    ctx.store.FirstTime = 0;
    ctx.point.TotalDistance = 0.0;
    if (withDate) SetGroupDate(ctx);
}

void WriteNmeaSpeedBreak(KmlBuffer& out, RunContext& ctx, int newGroup) {
    const ConvertSettings& s = ctx.Current();
    const size_t o = GroupSlot(ctx.store.SplitIndex);
    if (out.EndPiece()) {
        out.Text("  </coordinates>\n"
                 " </LineString>\n");
        WriteGroupName(out, ctx.store.SplitIndex, "");
        out.Text(" <Style>\n");
        WriteLineStyle(out, s, o);
        if (VerticalLines(s)) WritePolyStyle(out, s, "   <color>");
        out.Text(" </Style>\n");
        if (s.TimeStampPath != 0) WriteTimeStampLines(out, ctx.point.LocalDate, ctx.point.LocalTime, ctx.point.LocalOffset);
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
    RestartGroup(ctx, true);
    ctx.store.SplitIndex = newGroup;
}

void WriteCsvSpeedBreak(KmlBuffer& out, RunContext& ctx, int newGroup) {
    const ConvertSettings& s = ctx.Current();
    const size_t o = GroupSlot(ctx.store.SplitIndex);
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
        if (s.TimeStampPath != 0) WriteTimeStampLines(out, ctx.point.LocalDate, ctx.point.LocalTime, ctx.point.LocalOffset);
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
    RestartGroup(ctx, false);
    ctx.store.SplitIndex = newGroup;
}

}  // namespace

int SpeedGroupIndex(const RunContext& ctx) {
    const std::array<double, kGroupCount>& range = ctx.Current().SpeedRange;
    const double speed = ctx.point.Speed;
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

void OpenPathFolder(KmlBuffer& out, RunContext& ctx, PathKind kind) {
    const ConvertSettings& s = ctx.Current();
    out.Text("<Folder>\n"
             "<name>Path</name>\n");
    out.HoldPiece();
    out.Text("<Placemark>\n");
    if (kind == PathKind::LineGroups) {
        WriteGroupName(out, ctx.store.SplitIndex, "_L");
        out.Text(" <Style>\n");
        WriteLineStyle(out, s, GroupSlot(ctx.store.SplitIndex));
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

}  // namespace

void MakeCoordinateLineFrom(RunContext& ctx, KmlRecordWriter& writer, std::string& line, bool degreesFresh) {
    const TrackPoint& p = ctx.point;
    const HemisphereSigns signsIn = HemisphereSign(p.RmcNS, p.RmcEW, writer.options.defaultSigns);
    // Degrees afresh from the raw NMEA texts; the record's d/m/s texts stay.
    // Right after ComputeDerived they are fresh already: the same texts, and
    // the placemark of the record may have adjusted them already.
    if (degreesFresh) {
        const AdjustedPosition& adjusted = AdjustOnce(writer.options.adjust, writer.position, p.LatitudeDeg,
                                                      p.LongitudeDeg, p.GgaAltitude, signsIn);
        AssignCoordinateLine(line, adjusted.texts, adjusted.signs);
        return;
    }
    PositionTexts& position = writer.scratch;
    HemisphereSigns signs = signsIn;
    DegreesText(p.Position, p.Position.longitude, position.longitude);
    DegreesText(p.Position, p.Position.latitude, position.latitude);
    position.altitude.assign(p.GgaAltitude);
    AdjustPosition(writer.options.adjust, position, signs);
    AssignCoordinateLine(line, position, signs);
}

void MakeCoordinateLine(RunContext& ctx, KmlRecordWriter& writer, std::string& line) {
    MakeCoordinateLineFrom(ctx, writer, line, false);
}

void WriteCoordinateLine(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer) {
    MakeCoordinateLine(ctx, writer, ctx.scratch.line);
    out.Text(ctx.scratch.line);
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

void WriteLineGroupBreak(KmlBuffer& out, RunContext& ctx, const KmlRecordOptions& options, TrackSource source) {
    const ConvertSettings& s = ctx.Current();
    const size_t g = GroupSlot(ctx.store.SplitIndex);
    if (out.EndPiece()) {
        if (source == TrackSource::PotGpx) {
            out.Text("</coordinates>\n"
                     "</LineString>\n");
        } else {
            out.Text("  </coordinates>\n"
                     " </LineString>\n");
        }
        if (s.TimeStampPath != 0) WriteTimeStampLines(out, ctx.point.LocalDate, ctx.point.LocalTime, ctx.point.LocalOffset);
        out.Text("</Placemark>\n");
    }
    out.HoldPiece();
    out.Text("\n"
             "<Placemark>\n");
    WriteGroupName(out, ctx.store.SplitIndex, "");
    out.Text(source == TrackSource::Nmea ? options.nmeaGroupStart[g] : options.otherGroupStart[g]);
    if (source == TrackSource::Nmea) RestartGroup(ctx, true);
}

void WriteSpeedGroupBreak(KmlBuffer& out, RunContext& ctx, TrackSource source, int newGroup) {
    if (source == TrackSource::Csv) {
        WriteCsvSpeedBreak(out, ctx, newGroup);
    } else {
        WriteNmeaSpeedBreak(out, ctx, newGroup);
    }
}

void ClosePathFolder(KmlBuffer& out, RunContext& ctx, PathKind kind) {
    if (out.EndPiece()) {
        out.Text("</coordinates>\n"
                 "</LineString>\n");
        if (kind == PathKind::SpeedGroups) {
            WriteGroupName(out, ctx.store.SplitIndex, "_S");
            out.Text(" <Style>\n");
            WriteLineStyle(out, ctx.Current(), GroupSlot(ctx.store.SplitIndex));
            out.Text(" </Style>\n");
        }
        out.Text("</Placemark>\n");
    }
    out.Text("</Folder>\n");
}

namespace {

// The end of a record in a section: cleared, or handed on to the next section.
void LeaveRecord(RunContext& ctx, TrackPoint* handOn) {
    if (handOn != nullptr) {
        HandOnRecord(ctx.point, *handOn);
    } else {
        ClearTrackPoint(ctx.point);
    }
}

}  // namespace

void WriteTrackRecord(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, PathKind kind, TrackSource source,
                      TrackPoint* handOn) {
    TrackStore& store = ctx.store;
    const bool accepted =
        source == TrackSource::Csv ? AcceptRecordForKmlCsv(ctx) : AcceptRecordForKmlNmea(ctx);
    if (!accepted) {
        ++store.RecordIndex;
        LeaveRecord(ctx, handOn);
        return;
    }
    const ConvertSettings& s = ctx.Current();
    const bool nmea = source != TrackSource::Csv;
    const bool groupBreak = store.GapDistance > ctx.run.GapDistanceLimit ||
                            ctx.point.IntervalSec > ctx.run.GapSecondsLimit ||
                            (nmea && DateGroupChanges(ctx));
    // A line record may be written twice (it ends one placemark and begins the
    // next); its text is made once.
    const std::string& line = ctx.scratch.line;
    if (kind != PathKind::Placemarks) MakeCoordinateLineFrom(ctx, writer, ctx.scratch.line, true);
    switch (kind) {
        case PathKind::Placemarks:
            if (nmea && groupBreak) RestartGroup(ctx, true);
            WritePositionPlacemark(out, ctx, writer);
            break;
        case PathKind::LineGroups:
            if (groupBreak) {
                store.SplitIndex = store.SplitIndex >= kGroupCount - 1 ? 0 : store.SplitIndex + 1;
                WriteLineGroupBreak(out, ctx, writer.options, source);
                out.PieceCoordinate(line);
            } else if (s.TimeStampPath != 0 && store.WrittenCount > 0) {
                // Each record ends a placemark carrying its time stamp and
                // begins the next; the first piece holds the first two.
                out.PieceCoordinate(line);
                WriteLineGroupBreak(out, ctx, writer.options, source);
                out.PieceCoordinate(line);
            } else {
                out.PieceCoordinate(line);
            }
            break;
        case PathKind::SpeedGroups: {
            const int n = SpeedGroupIndex(ctx);
            if (n != store.SplitIndex && store.WrittenCount > 0) {
                // Without a gap the old group ends with this record, so the groups join.
                if (!groupBreak) out.PieceCoordinate(line);
                WriteSpeedGroupBreak(out, ctx, source, n);
                out.PieceCoordinate(line);
            } else if (groupBreak) {
                WriteSpeedGroupBreak(out, ctx, source, n);
                out.PieceCoordinate(line);
            } else {
                out.PieceCoordinate(line);
            }
            break;
        }
    }
    ++store.RecordIndex;
    ++store.WrittenCount;
    store.SinceWrittenDistance = 0.0;
    LeaveRecord(ctx, handOn);
}

void WriteGapRecord(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, int32_t& written) {
    TrackStore& store = ctx.store;
    NoteRecordRead(ctx);
    if (!PassesRangeFilter(ctx)) {
        ++store.RecordIndex;
        ClearTrackPoint(ctx.point);
        return;
    }
    if (store.PreviousPoint.Position.known) store.GapDistance = TrackDistance(ctx, store.PreviousPoint);
    store.PreviousPoint.Take(ctx.point);
    ComputeDerived(ctx);
    const bool gap = store.GapDistance > ctx.run.GapDistanceLimit || ctx.point.IntervalSec > ctx.run.GapSecondsLimit;
    const std::string& line = ctx.scratch.line;
    MakeCoordinateLineFrom(ctx, writer, ctx.scratch.line, true);
    if (written > 0 && (gap || ctx.Current().TimeStampPath != 0)) {
        if (gap) {
            store.SplitIndex = store.SplitIndex >= kGroupCount - 1 ? 0 : store.SplitIndex + 1;
        } else {
            // Without a gap the placemark ends with this record and the next begins with it.
            out.PieceCoordinate(line);
        }
        WriteLineGroupBreak(out, ctx, writer.options, TrackSource::PotGpx);
    }
    out.PieceCoordinate(line);
    ++written;
    ++store.WrittenCount;
    ++store.RecordIndex;
    ClearTrackPoint(ctx.point);
}

}  // namespace geoplait
