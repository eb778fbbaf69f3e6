// Position placemarks. One placemark:
//   <Placemark> / " <name>" label items "</name>" / optional time stamp /
//   optional description block / " <styleUrl>#style</styleUrl>" /
//   " <Point>", altitude mode, "  <coordinates>±lon,±lat,alt</coordinates>",
//   " </Point>" / "</Placemark>" and a blank line.
// Distances and speeds are printed as ComputeDerived left them, already in the
// run's unit system; with an Unknown unit system a unit item writes nothing
// and the altitude is shown in feet. The description shows the decimal
// degrees before the offset and datum shift, the coordinates after them.
#include "kml/kml_placemark.h"

#include <algorithm>
#include <cstdint>

#include "geo/number_format.h"
#include "kml/kml_document.h"

namespace geoplait {

namespace {

// Short texts without a line end or anything to escape (KmlBuffer::Padded).
struct UnitTexts {
    std::string_view distance;  // suffix of a distance
    std::string_view speed;     // suffix of a speed
};

// Indexed by UnitSystem; Unknown has none.
constexpr UnitTexts kUnitTexts[] = {
    {"Km", "Km/h"},
    {"Mile(N)", "Mile(N)/h"},
    {"Mile(S)", "Mile(S)/h"},
};

const UnitTexts* UnitTextsOf(UnitSystem units) {
    return units == UnitSystem::Unknown ? nullptr : &kUnitTexts[static_cast<size_t>(units)];
}

// One axis of the record's position in d/m/s ("%3.2f") and in decimal
// degrees ("%7.6f"), as the label and the description show it before the
// offsets; nothing without a position.
void WriteDms(KmlBuffer& out, const RecordPosition& position, const Coordinate& axis) {
    if (position.known) out.Fixed(DmsOfNmea(axis.nmea), 2, 3);
}

// `text`: the same degrees formatted already (AdjustedPosition::degrees), or
// null.
void WriteDegrees(KmlBuffer& out, const RecordPosition& position, const Coordinate& axis, const std::string* text) {
    if (!position.known) return;
    if (text != nullptr) {
        out.Padded(*text);
    } else {
        out.Fixed(axis.degrees, 6, 7);
    }
}

// The record's local date ("%Y/%m/%d" of a known date) and time of day
// ("%H:%M:%S") as LocalDateText and LocalTimeText make them: a known date
// and a time within its day from their numbers, anything else (the texts of
// a date the record could not read) escaped.
void WriteLocalDate(KmlBuffer& out, const TrackPoint& p, std::string& scratch) {
    if (p.Local.date == DateKind::Known) {
        out.Date(p.Local.day, '/');
        return;
    }
    LocalDateText(p, scratch);
    out.Escaped(scratch);
}

void WriteLocalTime(KmlBuffer& out, const TrackPoint& p, std::string& scratch) {
    if (p.Local.HasTimeOfDay()) {
        out.Duration(static_cast<int32_t>(p.Local.second));
        return;
    }
    LocalTimeText(p, scratch);
    out.Escaped(scratch);
}

// open + printf("%<width>.<precision>f") + unit suffix + close.
template <size_t Open, size_t Close>
void WriteUnitValue(KmlBuffer& out, const char (&open)[Open], double value, int precision, int width,
                    std::string_view unit, const char (&close)[Close]) {
    out.Text(open);
    out.Fixed(value, precision, width);
    out.Text(unit);
    out.Text(close);
}

// The same of a number formatted already (without a width).
template <size_t Open, size_t Close>
void WriteUnitText(KmlBuffer& out, const char (&open)[Open], std::string_view number, int width,
                   std::string_view unit, const char (&close)[Close]) {
    out.Text(open);
    out.Padded(number, width);
    out.Padded(unit);
    out.Text(close);
}

// The numbers that both the label and the description of a placemark show,
// each formatted once, when first written: the total distance ("%.2f"), the
// speed ("%.1f") and the elapsed time.
class PlacemarkNumbers {
public:
    explicit PlacemarkNumbers(const TrackPoint& p) : p_(p) {}
    std::string_view Distance() {
        if (distanceSize_ == kNotMade) distanceSize_ = FormatFixedText(distance_, p_.TotalDistance, 2, 0);
        return {distance_, distanceSize_};
    }
    std::string_view Speed() {
        if (speedSize_ == kNotMade) speedSize_ = FormatFixedText(speed_, p_.Speed, 1, 0);
        return {speed_, speedSize_};
    }
    std::string_view Elapsed() {
        if (elapsedSize_ == kNotMade) elapsedSize_ = FormatClock(elapsed_, p_.ElapsedSec);
        return {elapsed_, elapsedSize_};
    }

private:
    static constexpr size_t kNotMade = SIZE_MAX;
    const TrackPoint& p_;
    size_t distanceSize_ = kNotMade;
    size_t speedSize_ = kNotMade;
    size_t elapsedSize_ = kNotMade;
    char elapsed_[kClockTextSize];
    char distance_[kFixedTextSize];
    char speed_[kFixedTextSize];
};

void WriteLabel(KmlBuffer& out, const KmlRecordOptions& o, const TrackPoint& p, RecordNumbers numbers,
                std::string_view nameText, const UnitTexts* unit, PlacemarkNumbers& shown) {
    out.Text(" <name>");
    if (o.labelNumber) {
        out.Char('(');
        out.Int(static_cast<int64_t>(o.renumber ? numbers.written : numbers.read) + 1);
        out.Char(')');
    }
    std::string text;
    if (o.labelDate) {
        out.Text(" [");
        WriteLocalDate(out, p, text);
        out.Char(']');
    }
    if (o.labelTime) {
        out.Text(" [");
        WriteLocalTime(out, p, text);
        out.Char(']');
    }
    if (o.labelElapsed) {
        out.Char(' ');
        out.Padded(shown.Elapsed());
    }
    if (o.labelIntervalTime) {
        out.Char('[');
        out.Duration(p.IntervalSec);
        out.Char(']');
    }
    if (o.labelDistance && unit != nullptr) WriteUnitText(out, "(", shown.Distance(), 3, unit->distance, ")");
    if (o.labelSpeed && unit != nullptr) WriteUnitText(out, "[", shown.Speed(), 3, unit->speed, "]");
    if (o.labelAltitude) {
        if (o.units == UnitSystem::Km) {
            WriteUnitValue(out, "(", p.Values.altitude.value, 1, 4, "m", ")");
        } else {
            WriteUnitValue(out, "(", p.Values.altitude.value / 0.3048, 1, 4, "feet", ")");
        }
    }
    if (o.labelSatellites) {
        out.Char('(');
        out.Int(p.SatCount);
        out.Char('/');
        out.Int(p.DilutionValue);
        out.Char(')');
    }
    if (o.labelCourse) WriteUnitValue(out, "[", p.Values.course.value, 1, 4, "", "]");
    if (o.labelName) out.Escaped(nameText);
    if (o.labelIntervalDistance && unit != nullptr) {
        WriteUnitValue(out, "[", p.IntervalDistance, 3, 4, unit->distance, "]");
    }
    if (o.labelLatLon) {
        out.Text(" Lat:");
        WriteDms(out, p.Position, p.Position.latitude);
        out.Text(" Lon:");
        WriteDms(out, p.Position, p.Position.longitude);
    }
    out.Text("</name>\n");
}

void WriteDescription(KmlBuffer& out, const TrackPoint& p, const UnitTexts* unit, const PositionTexts* degrees,
                      PlacemarkNumbers& shown) {
    out.Text(" <description>\n"
             "Date=");
    std::string text;
    WriteLocalDate(out, p, text);
    out.Char(' ');
    WriteLocalTime(out, p, text);
    out.Text("\nElapsed(Total)=");
    out.Padded(shown.Elapsed());
    out.Text("\nElapsed=");
    out.Duration(p.IntervalSec);
    out.Char('\n');
    if (unit != nullptr) {
        WriteUnitText(out, "distance=", shown.Distance(), 4, unit->distance, "\n");
        WriteUnitText(out, "Speed=", shown.Speed(), 3, unit->speed, "\n");
    }
    out.Text("Lat:");
    WriteDms(out, p.Position, p.Position.latitude);
    out.Char('(');
    WriteDegrees(out, p.Position, p.Position.latitude, degrees != nullptr ? &degrees->latitude : nullptr);
    out.Text(")\nLon:");
    WriteDms(out, p.Position, p.Position.longitude);
    out.Char('(');
    WriteDegrees(out, p.Position, p.Position.longitude, degrees != nullptr ? &degrees->longitude : nullptr);
    out.Text(")\n");
    WriteUnitValue(out, "Degrees=", p.Values.course.value, 1, 4, "", "\n");
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

bool PlacemarkSelected(KmlSection& section) {
    const ConvertSettings& s = section.settings;
    const int32_t i = section.store.RecordIndex;
    bool selected = false;
    if (s.PosDistance == 0) {
        const int32_t interval = std::max<int32_t>(section.run.PlacemarkInterval, 1);
        selected = (static_cast<int64_t>(i) + 1) % interval == 0;
    } else if (section.point.StartDistance >= section.run.PlacemarkDistance) {
        section.point.StartDistance = 0.0;
        section.store.PlacemarkAnchor.Take(section.point);
        selected = true;
    }
    if (section.store.WrittenCount == 0) selected = true;
    if (section.run.LastRecord) selected = true;
    return selected || i == 0;
}

namespace {

// The placemark with its position as written (adjusted, with its signs);
// `degrees`, when not null, the record's degrees formatted before the
// adjustment.
void WritePlacemarkAt(KmlBuffer& out, const KmlRecordOptions& options, const TrackPoint& p, RecordNumbers numbers,
                      std::string_view nameText, const PositionTexts& position, HemisphereSigns signs,
                      const PositionTexts* degrees) {
    const UnitTexts* unit = UnitTextsOf(options.units);
    out.Text("<Placemark>\n");
    PlacemarkNumbers shown(p);
    WriteLabel(out, options, p, numbers, nameText, unit, shown);
    if (options.timeStamp) WriteTimeStampLines(out, p.Local, p.LocalOffset);
    if (options.description) WriteDescription(out, p, unit, degrees, shown);
    out.Text(" <styleUrl>#style</styleUrl>\n"
             " <Point>\n");
    WriteAltitudeModeLine(out, options.absoluteAltitude);
    out.Text("  <coordinates>");
    out.Char(signs.longitude);
    out.Text(position.longitude);
    out.Char(',');
    out.Char(signs.latitude);
    out.Text(position.latitude);
    out.Char(',');
    out.Text(position.altitude);
    out.Text("</coordinates>\n");
    out.Text(" </Point>\n"
             "</Placemark>\n\n");
}

}  // namespace

void WritePlacemark(KmlBuffer& out, const KmlRecordOptions& options, const TrackPoint& p, RecordNumbers numbers,
                    std::string_view nameText, PositionTexts& scratch) {
    HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, options.defaultSigns);
    AdjustPosition(options.adjust, p.Position, p.Values.altitude.value, scratch, signs);
    WritePlacemarkAt(out, options, p, numbers, nameText, scratch, signs, nullptr);
}

void WritePositionPlacemark(KmlBuffer& out, KmlSection& section, KmlRecordWriter& writer,
                            std::string_view nameText) {
    if (!PlacemarkSelected(section)) return;
    const TrackPoint& p = section.point;
    const AdjustedPosition& position = WriterPosition(writer, p);
    WritePlacemarkAt(out, writer.options, p, {section.store.RecordIndex, section.store.WrittenCount}, nameText,
                     position.texts, position.signs, &position.degrees);
}

}  // namespace geoplait
