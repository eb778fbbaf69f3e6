// GPX reader.
//
//   <wpt|rtept|trkpt lat="-33.87" lon="151.21">
//     <ele>..</ele> <time>..</time> <speed>..</speed> <course>..</course>
//     <sat>..</sat> <name>..</name>   (children of the point, any order)
//   </...>
//
// Waypoints, route points and track points are read alike, as one sequence.
// Only the point's own children count, and the speed of its Garmin
// TrackPointExtension: a time in the metadata or a track's name never reach
// a point. A point without both
// lat and lon is no record. Element names are compared without their
// namespace prefix. Values are cut to 14 characters (49 for the name; the time
// is read whole) after their line breaks became blanks; entities, character
// references and CDATA sections are decoded by the parser. A signed position gives the unsigned value and the letter S
// or W on both sides. A time ending in "Z" is UTC, one with an offset is
// brought to UTC, one with neither is taken as UTC; fractions of a second
// are dropped. Speed is in metres per second in a Garmin TrackPointExtension
// and in a document that declares a GPX namespace (1.0, or 1.1 where some
// programs write a <speed> of their own), and becomes knots; a <speed> in a
// document without the namespace (this program's earlier layout) is in knots
// and taken as it stands. The extension's course is taken where the point has
// no <course> of its own.
#include "readers/gpx_reader.h"

#include <cstring>

#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "readers/reader_text.h"

namespace geoplait {

namespace {

constexpr size_t kCoordinateChars = 14;
constexpr size_t kCollectBytes = 1024;  // more than any value keeps after tidying

struct GpxValue {
    std::string_view element;
    size_t maxChars;
    std::string TrackPoint::*target;  // nullptr: the time, read apart
    bool number;  // a decimal number or nothing (TakeXmlNumber)
};

constexpr GpxValue kValues[GpxReader::kValueCount] = {
    {"ele", 14, &TrackPoint::GgaAltitude, true},    {"time", 0, nullptr, false},
    {"speed", 14, &TrackPoint::RmcSpeed, true},     {"course", 14, &TrackPoint::RmcCourse, true},
    {"sat", 14, &TrackPoint::GgaSatellites, false}, {"name", 49, &TrackPoint::PointName, false},
    {"speed", 14, &TrackPoint::RmcSpeed, true},    // of a Garmin TrackPointExtension, m/s
    {"course", 14, &TrackPoint::RmcCourse, true},  // of a Garmin TrackPointExtension
};

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

// Whether the root element declares GPX 1.0 (version="1.0") or a GPX
// namespace, in which a <speed> is in metres per second. Only a document of
// this program's earlier layout (version 1.1 without the namespace) holds
// knots there.
bool SpeedInMetresPerSecond(const XML_Char** attributes) {
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        const std::string_view name = attributes[i];
        const std::string_view value = TrimXmlSpace(attributes[i + 1]);
        if (name == "version" && value == "1.0") return true;
        if ((name == "xmlns" || name.starts_with("xmlns:")) && (value == "http://www.topografix.com/GPX/1/0" ||
                                                               value == "http://www.topografix.com/GPX/1/1")) {
            return true;
        }
    }
    return false;
}

// A speed in metres per second as knots, 3 decimals; empty stays empty.
void KnotsFromMetresPerSecond(std::string& speed) {
    double value = 0.0;
    if (!ReadXmlNumber(speed, value)) return;
    AssignFixed(speed, value * kKnotsPerMetrePerSecond, 3, 1);
}

// What a GPX element is to the reader, by its local name.
enum class GpxName : uint8_t { kOther, kGpx, kPoint, kExtension, kValue };

struct GpxElement {
    GpxName name;
    int value;  // of kValue: the GpxReader::Value of the point's own element
};

// Found by the name's length, then its bytes: this runs for every element
// of a document.
GpxElement ElementOf(std::string_view local) {
    switch (local.size()) {
        case 3:
            if (local == "ele") return {GpxName::kValue, GpxReader::kEle};
            if (local == "sat") return {GpxName::kValue, GpxReader::kSat};
            if (local == "wpt") return {GpxName::kPoint, 0};
            if (local == "gpx") return {GpxName::kGpx, 0};
            break;
        case 4:
            if (local == "time") return {GpxName::kValue, GpxReader::kTime};
            if (local == "name") return {GpxName::kValue, GpxReader::kName};
            break;
        case 5:
            if (local == "speed") return {GpxName::kValue, GpxReader::kSpeed};
            if (local == "trkpt" || local == "rtept") return {GpxName::kPoint, 0};
            break;
        case 6:
            if (local == "course") return {GpxName::kValue, GpxReader::kCourse};
            break;
        case 19:
            if (local == "TrackPointExtension") return {GpxName::kExtension, 0};
            break;
        default:
            break;
    }
    return {GpxName::kOther, 0};
}

const XML_Char* Attribute(const XML_Char** attributes, const char* name) {
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        if (std::strcmp(attributes[i], name) == 0) return attributes[i + 1];
    }
    return nullptr;
}

void TakeTime(TrackPoint& p, std::string_view text) {
    XmlTimeStamp stamp;
    // Whole: a time with seven fractional digits and an offset is longer than
    // any field, and cutting it would lose its offset.
    if (!ReadXmlTimeStamp(text, stamp)) return;
    p.RmcDate.assign(stamp.date, 6);
    p.RmcTime.assign(stamp.time, 6);
    if (stamp.zone == XmlTimeStamp::Zone::Offset) UtcFromLocal(p.RmcDate, p.RmcTime, stamp.offset);
    p.GgaTime.assign(p.RmcTime);
    p.LocalDate.assign(p.RmcDate);
    p.LocalTime.assign(p.RmcTime);
}

}  // namespace

bool GpxReader::Open(const std::string& path) {
    depth_ = 0;
    pointDepth_ = 0;
    valueDepth_ = 0;
    value_ = -1;
    extensionDepth_ = 0;
    metresPerSecond_ = false;
    read_ = 0;
    given_ = 0;
    bytesRead_ = 0;
    return xml_.Open(path, this, {&OnStart, &OnEnd, &OnText});
}

void GpxReader::OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
    auto& r = *static_cast<GpxReader*>(user);
    ++r.depth_;
    const GpxElement element = ElementOf(LocalName(name));
    if (element.name == GpxName::kGpx && r.depth_ == 1) r.metresPerSecond_ = SpeedInMetresPerSecond(attributes);
    if (r.pointDepth_ == 0) {
        if (element.name != GpxName::kPoint) return;
        const XML_Char* lat = Attribute(attributes, "lat");
        const XML_Char* lon = Attribute(attributes, "lon");
        if (lat == nullptr || lon == nullptr) return;
        PointTexts& point = r.Reading();
        point.latitude.assign(FirstChars(TrimXmlSpace(lat), kCollectBytes));
        point.longitude.assign(FirstChars(TrimXmlSpace(lon), kCollectBytes));
        if (point.latitude.empty() || point.longitude.empty()) return;
        r.pointDepth_ = r.depth_;
        point.found.fill(false);
        return;
    }
    if (element.name != GpxName::kValue && element.name != GpxName::kExtension) return;
    int value = -1;
    if (r.extensionDepth_ != 0 && r.depth_ == r.extensionDepth_ + 1) {
        // The speed and course of the extension.
        if (element.value == kSpeed) value = kExtensionSpeed;
        if (element.value == kCourse) value = kExtensionCourse;
    } else if (element.name == GpxName::kExtension) {
        // <extensions><gpxtpx:TrackPointExtension> (Garmin, versions 1 and 2).
        if (r.depth_ == r.pointDepth_ + 2) r.extensionDepth_ = r.depth_;
        return;
    } else if (r.depth_ == r.pointDepth_ + 1) {
        value = element.value;
    }
    if (value < 0) return;
    r.value_ = value;
    r.valueDepth_ = r.depth_;
    r.Reading().values[static_cast<size_t>(value)].clear();
    r.Reading().found[static_cast<size_t>(value)] = true;
    r.xml_.CollectText(true);
}

void GpxReader::OnEnd(void* user, const XML_Char*) {
    auto& r = *static_cast<GpxReader*>(user);
    if (r.depth_ == r.valueDepth_) {
        r.valueDepth_ = 0;
        r.value_ = -1;
        r.xml_.CollectText(false);
    } else if (r.depth_ == r.extensionDepth_) {
        r.extensionDepth_ = 0;
    } else if (r.depth_ == r.pointDepth_) {
        r.pointDepth_ = 0;
        r.Reading().bytesRead = r.xml_.BytesThroughEvent();
        ++r.read_;
        if (r.read_ - r.given_ >= kPointsAhead - 1) r.xml_.Pause();
    }
    --r.depth_;
}

void GpxReader::OnText(void* user, const XML_Char* text, int length) {
    auto& r = *static_cast<GpxReader*>(user);
    if (r.value_ < 0 || r.depth_ != r.valueDepth_) return;
    AppendCapped(r.Reading().values[static_cast<size_t>(r.value_)], text, length, kCollectBytes);
}

void GpxReader::Fill(PointTexts& texts, TrackPoint& p) {
    // A latitude or longitude that is no number or beyond its range leaves
    // the point without a position.
    double latitude = 0.0;
    double longitude = 0.0;
    const bool latitudeRead =
        TakeXmlDegrees(texts.latitude, 90.0, kCoordinateChars, 'N', 'S', latitude, p.GgaNS, p.RmcNS);
    const bool longitudeRead =
        TakeXmlDegrees(texts.longitude, 180.0, kCoordinateChars, 'E', 'W', longitude, p.GgaEW, p.RmcEW);
    TakeDegreePosition(p, latitudeRead && longitudeRead, latitude, longitude);

    p.PointName.clear();
    // A point without a speed of its own has none: RmcSpeed stays empty
    // for the speed computed from the track.
    p.RmcSpeed.clear();
    // The point's own <speed> and <course> win over the extension's.
    if (texts.found[kSpeed]) texts.found[kExtensionSpeed] = false;
    if (texts.found[kCourse]) texts.found[kExtensionCourse] = false;
    for (size_t v = 0; v < kValueCount; ++v) {
        if (!texts.found[v]) continue;
        std::string& value = texts.values[v];
        TidyText(value);
        if (v == kTime) {
            TakeTime(p, value);
        } else if (kValues[v].number) {
            TakeXmlNumber(value, kValues[v].maxChars, p.*kValues[v].target);
            if (v == kExtensionSpeed || (v == kSpeed && metresPerSecond_)) KnotsFromMetresPerSecond(p.RmcSpeed);
        } else {
            (p.*kValues[v].target).assign(FirstChars(value, kValues[v].maxChars));
        }
    }
    SettleRecordTimes(p);
}

bool GpxReader::Next(TrackPoint& point) {
    if (!Skip()) return false;
    Fill(points_[(given_ - 1) % kPointsAhead], point);
    return true;
}

bool GpxReader::Skip() {
    // Points read before the document ended or broke are given all the same.
    while (given_ == read_) {
        if (!xml_.Run() && given_ == read_) return false;
    }
    bytesRead_ = points_[given_ % kPointsAhead].bytesRead;
    ++given_;
    return true;
}

}  // namespace geoplait
