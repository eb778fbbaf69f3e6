// Position placemarks. One placemark:
//   <Placemark> / " <name>" label items "</name>" / optional time stamp /
//   optional description block / " <styleUrl>#style</styleUrl>" /
//   " <Point>", altitude mode, "  <coordinates>±lon,±lat,alt</coordinates>",
//   " </Point>" / "</Placemark>" and a blank line.
// Distances and speeds are printed as ComputeDerived left them, already in the
// unit of MeterMile; a unit item whose MeterMile text is none of the three
// unit systems writes nothing. The description shows the decimal degrees
// before the offset and datum shift, the coordinates after them.
#include "kml/kml_placemark.h"

#include <algorithm>

#include "engine/derived_values.h"
#include "engine/record_filter.h"
#include "kml/kml_document.h"

namespace geoplait {

namespace {

struct UnitTexts {
    const char* meterMile;  // the MeterMile display text
    const char* distance;   // suffix of a distance
    const char* speed;      // suffix of a speed
};

constexpr UnitTexts kUnitTexts[] = {
    {"Km/Meter", "Km", "Km/h"},
    {"Nautical Mile/Feet", "Mile(N)", "Mile(N)/h"},
    {"Statute Mile/Feet", "Mile(S)", "Mile(S)/h"},
};

const UnitTexts* UnitTextsOf(const std::string& meterMile) {
    for (const UnitTexts& u : kUnitTexts) {
        if (meterMile == u.meterMile) return &u;
    }
    return nullptr;
}

// A text between two literals: open + text + close. The text is escaped: the
// date texts carry the input's characters.
void WriteBetween(KmlBuffer& out, std::string_view open, std::string_view text, std::string_view close) {
    out.Text(open);
    out.Escaped(text);
    out.Text(close);
}

// open + printf("%<width>.<precision>f") + unit suffix + close.
void WriteUnitValue(KmlBuffer& out, std::string_view open, double value, int precision, int width,
                    const char* unit, std::string_view close) {
    out.Text(open);
    out.Fixed(value, precision, width);
    out.Text(unit);
    out.Text(close);
}

void WriteLabel(KmlBuffer& out, RunContext& ctx, std::string_view nameText, const UnitTexts* unit) {
    const ConvertSettings& s = ctx.Current();
    const TrackPoint& p = ctx.point;
    out.Text(" <name>");
    if (s.Label_No != 0) {
        out.Char('(');
        out.Int(static_cast<int64_t>(s.ReNumber != 0 ? ctx.store.WrittenCount : ctx.store.RecordIndex) + 1);
        out.Char(')');
    }
    if (s.Label_Date != 0) WriteBetween(out, " [", p.LocalDateText, "]");
    if (s.Label_Time != 0) WriteBetween(out, " [", p.LocalTimeText, "]");
    if (s.Label_Elapsed != 0) {
        out.Char(' ');
        out.Duration(p.ElapsedSec);
    }
    if (s.Label_IntervalTime != 0) {
        out.Char('[');
        out.Duration(p.IntervalSec);
        out.Char(']');
    }
    if (s.Label_Km != 0 && unit != nullptr) WriteUnitValue(out, "(", p.TotalDistance, 2, 3, unit->distance, ")");
    if (s.Label_Speed != 0 && unit != nullptr) WriteUnitValue(out, "[", p.Speed, 1, 3, unit->speed, "]");
    if (s.Label_Altitude != 0) {
        if (s.MeterMile == "Km/Meter") {
            WriteUnitValue(out, "(", p.AltitudeValue, 1, 4, "m", ")");
        } else {
            WriteUnitValue(out, "(", p.AltitudeValue / 0.3048, 1, 4, "feet", ")");
        }
    }
    if (s.Label_Satellites != 0) {
        out.Char('(');
        out.Int(p.SatCount);
        out.Char('/');
        out.Int(p.DilutionValue);
        out.Char(')');
    }
    if (s.Label_Degrees != 0) WriteUnitValue(out, "[", p.CourseValue, 1, 4, "", "]");
    if (s.Label_Tex != 0) out.Escaped(nameText);
    if (s.Label_IntervalKm != 0 && unit != nullptr) WriteUnitValue(out, "[", p.IntervalDistance, 3, 4, unit->distance, "]");
    if (s.Label_LatLon != 0) {
        WriteBetween(out, " Lat:", p.LatitudeDms, "");
        WriteBetween(out, " Lon:", p.LongitudeDms, "");
    }
    out.Text("</name>\n");
}

void WriteDescription(KmlBuffer& out, const TrackPoint& p, const UnitTexts* unit) {
    out.Text(" <description>\n"
             "Date=");
    out.Escaped(p.LocalDateText);
    WriteBetween(out, " ", p.LocalTimeText, "\nElapsed(Total)=");
    out.Duration(p.ElapsedSec);
    out.Text("\nElapsed=");
    out.Duration(p.IntervalSec);
    out.Char('\n');
    if (unit != nullptr) {
        WriteUnitValue(out, "distance=", p.TotalDistance, 2, 4, unit->distance, "\n");
        WriteUnitValue(out, "Speed=", p.Speed, 1, 3, unit->speed, "\n");
    }
    WriteBetween(out, "Lat:", p.LatitudeDms, "(");
    WriteBetween(out, "", p.LatitudeDeg, ")\n");
    WriteBetween(out, "Lon:", p.LongitudeDms, "(");
    WriteBetween(out, "", p.LongitudeDeg, ")\n");
    WriteUnitValue(out, "Degrees=", p.CourseValue, 1, 4, "", "\n");
    out.Text(" </description>\n");
}

}  // namespace

void OpenPointFolder(KmlBuffer& out) {
    out.Text("<Folder>\n"
             "<name>Point</name>\n"
             "<open>0</open>\n"
             "\n");
}

void ClosePointFolder(KmlBuffer& out) { out.Text("</Folder>\n\n"); }

bool PlacemarkSelected(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    const int32_t i = ctx.store.RecordIndex;
    bool selected = false;
    if (s.PosDistance == 0) {
        const int32_t interval = std::max<int32_t>(ctx.run.PlacemarkInterval, 1);
        selected = (static_cast<int64_t>(i) + 1) % interval == 0;
    } else if (ctx.point.StartDistance >= ctx.run.PlacemarkDistance) {
        ctx.point.StartDistance = 0.0;
        ctx.store.PlacemarkAnchor.Take(ctx.point);
        selected = true;
    }
    if (ctx.store.WrittenCount == 0) selected = true;
    if (static_cast<int64_t>(i) == static_cast<int64_t>(ctx.run.PrescanCount) - 1) selected = true;
    return selected || i == 0;
}

void WritePositionPlacemark(KmlBuffer& out, RunContext& ctx, std::string_view nameText) {
    if (!PlacemarkSelected(ctx)) return;
    const ConvertSettings& s = ctx.Current();
    const UnitTexts* unit = UnitTextsOf(s.MeterMile);
    HemisphereSigns signs = HemisphereSign(ctx);

    out.Text("<Placemark>\n");
    WriteLabel(out, ctx, nameText, unit);
    if (s.TimeStampPosition != 0) {
        WriteTimeStampLines(out, ctx.point.LocalDate, ctx.point.LocalTime, ctx.run.TimeDifferenceValue);
    }
    if (s.Label_Description != 0) WriteDescription(out, ctx.point, unit);
    out.Text(" <styleUrl>#style</styleUrl>\n"
             " <Point>\n");
    WriteAltitudeModeLine(out, s);
    AdjustPosition(ctx, signs);
    const TrackPoint& p = ctx.point;
    out.Text("  <coordinates>");
    out.Char(signs.longitude);
    out.Text(p.LongitudeDeg);
    out.Char(',');
    out.Char(signs.latitude);
    out.Text(p.LatitudeDeg);
    out.Char(',');
    out.Text(p.AltitudeText);
    out.Text("</coordinates>\n");
    out.Text(" </Point>\n"
             "</Placemark>\n\n");
}

void WriteRangedPlacemark(KmlBuffer& out, RunContext& ctx, std::string_view nameText) {
    if (AcceptRecordInRange(ctx)) {
        WritePositionPlacemark(out, ctx, nameText);
        ++ctx.store.WrittenCount;
    }
    ClearTrackPoint(ctx.point);
    ++ctx.store.RecordIndex;
}

}  // namespace geoplait
