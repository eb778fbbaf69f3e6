// GeoJSON output. Layout, one feature a line:
//   {"type":"FeatureCollection","features":[
//   {"type":"Feature","geometry":{"type":"LineString","coordinates":[[lon,lat,alt],...]},
//    "properties":{"name":...,"stroke":"#rrggbb","first_time":...,"last_time":...,
//    "distance":...,"units":...,"coordTimes":[...]}}
//   ]}
// or one Point feature per record for placemarks. A record without a valid
// position is not written; a time is ISO 8601 UTC ("2024-03-15T09:30:00Z") or
// null where the record has none.
#include "writers/geojson_writer.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

#include "base/text_encoding.h"
#include "engine/derived_values.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

constexpr const char* kHexDigits = "0123456789abcdef";

// A decimal text (an optional sign, digits and one point) as a finite number.
bool ReadDecimal(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

void AppendNumber(std::string& out, double value) {
    char digits[64];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    if (ec == std::errc() && std::isfinite(value)) {
        out.append(digits, end);
    } else {
        out.append("0");
    }
}

// "[lon,lat]" or "[lon,lat,alt]" of the record; false without a valid position.
bool MakePosition(const TrackPoint& p, HemisphereSigns defaults, std::string& out) {
    const RecordPosition& position = p.GgaPosition;
    if (!position.known) return false;
    // The degrees as the other outputs write them ("%7.6f"), as numbers.
    double latitude = RoundedAsPrinted(position.latitude.degrees, 6);
    double longitude = RoundedAsPrinted(position.longitude.degrees, 6);
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, defaults);
    if (signs.latitude == '-') latitude = -latitude;
    if (signs.longitude == '-') longitude = -longitude;
    if (std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0) return false;
    out.assign("[");
    AppendFixed(out, longitude, 6, 1);
    out.push_back(',');
    AppendFixed(out, latitude, 6, 1);
    double altitude = 0.0;
    if (ReadDecimal(p.GgaAltitude, altitude)) {
        out.push_back(',');
        AppendNumber(out, altitude);
    }
    out.push_back(']');
    return true;
}

// "\"20yy-mm-ddThh:mm:ssZ\"", or "null" for a record without a date and time.
void MakeTime(const TrackPoint& p, std::string& out) {
    if (!IsCalendarDate(p.RmcDate) || !IsTimeOfDay(p.RmcTime)) {
        out.assign("null");
        return;
    }
    const std::string& d = p.RmcDate;
    const std::string& t = p.RmcTime;
    out.assign("\"20");
    out.append(d, 4, 2).push_back('-');
    out.append(d, 2, 2).push_back('-');
    out.append(d, 0, 2).push_back('T');
    out.append(t, 0, 2).push_back(':');
    out.append(t, 2, 2).push_back(':');
    out.append(t, 4, 2).append("Z\"");
}

// "#rrggbb" of a "BBGGRR" colour setting; empty when it is none.
std::string HtmlColour(const std::string& bbggrr) {
    if (bbggrr.size() != 6) return {};
    for (const char c : bbggrr) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
    }
    std::string colour = "#";
    colour.append(bbggrr, 4, 2).append(bbggrr, 2, 2).append(bbggrr, 0, 2);
    for (char& c : colour) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return colour;
}

}  // namespace

GeoJsonOptions GeoJsonOptionsOf(const ConvertSettings& s, const ConfigSettings& config, bool placemarks) {
    GeoJsonOptions options;
    options.placemarks = placemarks;
    options.defaultSigns = DefaultHemisphereSigns(config.LatitudeNS, config.LongitudeWE);
    options.outputFile = s.OutputFile;
    options.trackName = s.Name;
    options.units = s.MeterMile;
    for (size_t i = 0; i < options.colours.size(); ++i) options.colours[i] = HtmlColour(s.LineColorRGB[i]);
    return options;
}

void AppendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = bytes[i];
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out.append("\\u00");
            out.push_back(kHexDigits[c >> 4]);
            out.push_back(kHexDigits[c & 0xF]);
            ++i;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else {
            bool incomplete = false;
            const size_t length = Utf8SequenceLength(bytes + i, text.size() - i, incomplete);
            if (length == 0) {
                out.append("\xEF\xBF\xBD");  // U+FFFD
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
        }
    }
    out.push_back('"');
}

bool GeoJsonWriter::OpenSpools() {
    return coordinates_.OpenSpool(*outputs_, options_.outputFile) && times_.OpenSpool(*outputs_, options_.outputFile);
}

bool GeoJsonWriter::Begin(TextWriter& out, OutputFiles& outputs, GeoJsonOptions options) {
    options_ = std::move(options);
    outputs_ = &outputs;
    out.Write("{\"type\":\"FeatureCollection\",\"features\":[\n");
    if (options_.placemarks) return true;
    return OpenSpools();
}

void GeoJsonWriter::AddPlacemark(TextWriter& out, const TrackPoint& p, int32_t recordIndex) {
    std::string& f = line_;
    std::string position;
    std::string a;
    if (!MakePosition(p, options_.defaultSigns, position)) return;
    f.assign(features_ > 0 ? ",\n" : "");
    f.append("{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":");
    f.append(position);
    f.append("},\"properties\":{\"name\":");
    AppendJsonString(f, p.PointName);
    f.append(",\"time\":");
    MakeTime(p, a);
    f.append(a);
    f.append(",\"no\":");
    AppendNumber(f, static_cast<double>(recordIndex) + 1.0);
    char clock[kClockTextSize];
    f.append(",\"elapsed\":");
    AppendJsonString(f, std::string_view(clock, FormatClock(clock, p.ElapsedSec)));
    f.append(",\"distance\":");
    AppendFixed(f, std::isfinite(p.TotalDistance) ? p.TotalDistance : 0.0, 3, 1);
    f.append(",\"speed\":");
    AppendFixed(f, std::isfinite(p.Speed) ? p.Speed : 0.0, 2, 1);
    f.append("}}");
    out.Write(f);
    ++features_;
}

void GeoJsonWriter::NoteTime(const std::string& time) {
    if (time == "null") return;
    if (firstTime_.empty()) firstTime_ = time;
    lastTime_ = time;
}

void GeoJsonWriter::EndPiece() {
    if (piecePoints_ >= 2) {
        // The group's distance is that along its pieces, not across a cut.
        distance_ += pieceEndDistance_ - heldDistance_;
        coordinates_.Write("]");
        times_.Write("]");
    }
    piecePoints_ = 0;
}

void GeoJsonWriter::Add(TextWriter& out, const TrackPoint& p, int32_t recordIndex, bool lineCut) {
    if (options_.placemarks) {
        AddPlacemark(out, p, recordIndex);
        return;
    }
    std::string position;
    std::string a;
    if (!MakePosition(p, options_.defaultSigns, position)) return;
    MakeTime(p, a);
    if (lineCut) EndPiece();
    if (piecePoints_ == 0) {
        heldCoordinate_ = position;
        heldTime_ = a;
        heldDistance_ = std::isfinite(p.TotalDistance) ? p.TotalDistance : 0.0;
    } else if (piecePoints_ == 1) {
        // The piece has two points: it is a line, and goes out.
        const char* open = pieces_ > 0 ? ",[" : "[";
        line_.assign(open).append(heldCoordinate_).append(",").append(position);
        coordinates_.Write(line_);
        line_.assign(open).append(heldTime_).append(",").append(a);
        times_.Write(line_);
        ++pieces_;
        NoteTime(heldTime_);
    } else {
        line_.assign(",").append(position);
        coordinates_.Write(line_);
        line_.assign(",").append(a);
        times_.Write(line_);
    }
    if (piecePoints_ >= 1) {
        // The properties describe the line as written.
        NoteTime(a);
        if (std::isfinite(p.TotalDistance)) pieceEndDistance_ = p.TotalDistance;
    }
    ++piecePoints_;
}

void GeoJsonWriter::WriteGroupFeature(TextWriter& out, int32_t group) {
    EndPiece();
    if (pieces_ == 0) {
        // No line in the group: the spools hold nothing.
        coordinates_.AppendTo(out);
        times_.AppendTo(out);
        return;
    }
    const bool multi = pieces_ > 1;
    std::string& f = line_;
    f.assign(features_ > 0 ? ",\n" : "");
    f.append(multi ? "{\"type\":\"Feature\",\"geometry\":{\"type\":\"MultiLineString\",\"coordinates\":["
                   : "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\",\"coordinates\":");
    out.Write(f);
    coordinates_.AppendTo(out);
    f.assign(multi ? "]},\"properties\":{\"name\":" : "},\"properties\":{\"name\":");
    f.append("\"Path_Group");
    AppendNumber(f, static_cast<double>(group));
    f.push_back('"');
    const int32_t slot = ((group % kGroupCount) + kGroupCount) % kGroupCount;
    const std::string& colour = options_.colours[static_cast<size_t>(slot)];
    if (!colour.empty()) {
        f.append(",\"stroke\":");
        AppendJsonString(f, colour);
    }
    f.append(",\"track\":");
    AppendJsonString(f, options_.trackName);
    f.append(",\"first_time\":").append(firstTime_.empty() ? "null" : firstTime_);
    f.append(",\"last_time\":").append(lastTime_.empty() ? "null" : lastTime_);
    f.append(",\"distance\":");
    AppendFixed(f, std::isfinite(distance_) && distance_ > 0.0 ? distance_ : 0.0, 3, 1);
    f.append(",\"units\":");
    AppendJsonString(f, options_.units);
    f.append(multi ? ",\"coordTimes\":[" : ",\"coordTimes\":");
    out.Write(f);
    times_.AppendTo(out);
    out.Write(multi ? "]}}" : "}}");
    ++features_;
}

bool GeoJsonWriter::EndGroup(TextWriter& out, int32_t group) {
    if (options_.placemarks) return true;
    WriteGroupFeature(out, group);
    pieces_ = 0;
    piecePoints_ = 0;
    firstTime_.clear();
    lastTime_.clear();
    distance_ = 0.0;
    return OpenSpools();
}

void GeoJsonWriter::End(TextWriter& out, int32_t group) {
    if (!options_.placemarks) WriteGroupFeature(out, group);
    out.Write(features_ > 0 ? "\n]}\n" : "]}\n");
}

}  // namespace geoplait
