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
#include <cstdio>

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

// "%02d:%02d:%02d" of a duration in seconds (C integer division, so a negative
// duration prints its parts negative).
void WriteDuration(TextWriter& out, const char* format, int32_t s) {
    const int32_t rest = s % 3600;
    char hms[64];
    std::snprintf(hms, sizeof hms, "%02d:%02d:%02d", s / 3600, rest / 60, rest % 60);
    out.Printf(format, hms);
}

void WriteLabel(TextWriter& out, RunContext& ctx, std::string_view nameText, const UnitTexts* unit) {
    const ConvertSettings& s = ctx.Current();
    const TrackPoint& p = ctx.point;
    out.Write(" <name>");
    if (s.Label_No != 0) {
        out.Printf("(%d)", (s.ReNumber != 0 ? ctx.store.WrittenCount : ctx.store.RecordIndex) + 1);
    }
    if (s.Label_Date != 0) out.Printf(" [%s]", p.LocalDateText.c_str());
    if (s.Label_Time != 0) out.Printf(" [%s]", p.LocalTimeText.c_str());
    if (s.Label_Elapsed != 0) WriteDuration(out, " %s", p.ElapsedSec);
    if (s.Label_IntervalTime != 0) WriteDuration(out, "[%s]", p.IntervalSec);
    if (s.Label_Km != 0 && unit != nullptr) out.Printf("(%3.2f%s)", p.TotalDistance, unit->distance);
    if (s.Label_Speed != 0 && unit != nullptr) out.Printf("[%3.1f%s]", p.Speed, unit->speed);
    if (s.Label_Altitude != 0) {
        if (s.MeterMile == "Km/Meter") {
            out.Printf("(%4.1fm)", p.AltitudeValue);
        } else {
            out.Printf("(%4.1ffeet)", p.AltitudeValue / 0.3048);
        }
    }
    if (s.Label_Satellites != 0) out.Printf("(%d/%d)", p.SatCount, p.DilutionValue);
    if (s.Label_Degrees != 0) out.Printf("[%4.1f]", p.CourseValue);
    if (s.Label_Tex != 0) WriteXmlEscaped(out, nameText);
    if (s.Label_IntervalKm != 0 && unit != nullptr) out.Printf("[%4.3f%s]", p.IntervalDistance, unit->distance);
    if (s.Label_LatLon != 0) {
        out.Write(" Lat:");
        out.Write(p.LatitudeDms);
        out.Write(" Lon:");
        out.Write(p.LongitudeDms);
    }
    out.Write("</name>\n");
}

void WriteDescription(TextWriter& out, const TrackPoint& p, const UnitTexts* unit) {
    out.Write(" <description>\n");
    out.Printf("Date=%s %s\n", p.LocalDateText.c_str(), p.LocalTimeText.c_str());
    WriteDuration(out, "Elapsed(Total)=%s\n", p.ElapsedSec);
    WriteDuration(out, "Elapsed=%s\n", p.IntervalSec);
    if (unit != nullptr) {
        out.Printf("distance=%4.2f%s\n", p.TotalDistance, unit->distance);
        out.Printf("Speed=%3.1f%s\n", p.Speed, unit->speed);
    }
    out.Printf("Lat:%s(%s)\n", p.LatitudeDms.c_str(), p.LatitudeDeg.c_str());
    out.Printf("Lon:%s(%s)\n", p.LongitudeDms.c_str(), p.LongitudeDeg.c_str());
    out.Printf("Degrees=%4.1f\n", p.CourseValue);
    out.Write(" </description>\n");
}

}  // namespace

void OpenPointFolder(TextWriter& out) {
    out.Write("<Folder>\n"
              "<name>Point</name>\n"
              "<open>0</open>\n"
              "\n");
}

void ClosePointFolder(TextWriter& out) { out.Write("</Folder>\n\n"); }

bool PlacemarkSelected(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    const int32_t i = ctx.store.RecordIndex;
    bool selected = false;
    if (s.PosDistance == 0) {
        const int32_t interval = std::max<int32_t>(ctx.run.PlacemarkInterval, 1);
        selected = (static_cast<int64_t>(i) + 1) % interval == 0;
    } else if (ctx.point.StartDistance >= ctx.run.PlacemarkDistance) {
        ctx.point.StartDistance = 0.0;
        ctx.store.PlacemarkAnchor.Longitude = ctx.point.RmcLongitude;
        ctx.store.PlacemarkAnchor.Latitude = ctx.point.RmcLatitude;
        ctx.store.PlacemarkAnchor.Altitude = ctx.point.GgaAltitude;
        selected = true;
    }
    if (ctx.store.WrittenCount == 0) selected = true;
    if (static_cast<int64_t>(i) == static_cast<int64_t>(ctx.run.PrescanCount) - 1) selected = true;
    return selected || i == 0;
}

void WritePositionPlacemark(TextWriter& out, RunContext& ctx, std::string_view nameText) {
    if (!PlacemarkSelected(ctx)) return;
    const ConvertSettings& s = ctx.Current();
    const UnitTexts* unit = UnitTextsOf(s.MeterMile);
    const HemisphereSigns signs = HemisphereSign(ctx);

    out.Write("<Placemark>\n");
    WriteLabel(out, ctx, nameText, unit);
    if (s.TimeStampPosition != 0) WriteTimeStampLines(out, ctx.point);
    if (s.Label_Description != 0) WriteDescription(out, ctx.point, unit);
    out.Write(" <styleUrl>#style</styleUrl>\n"
              " <Point>\n");
    WriteAltitudeModeLine(out, s);
    AdjustPosition(ctx);
    const TrackPoint& p = ctx.point;
    out.Printf("  <coordinates>%c%s,%c%s,%s</coordinates>\n", signs.longitude, p.LongitudeDeg.c_str(),
               signs.latitude, p.LatitudeDeg.c_str(), p.AltitudeText.c_str());
    out.Write(" </Point>\n"
              "</Placemark>\n\n");
}

}  // namespace geoplait
