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

#include <algorithm>
#include <bit>
#include <cstring>

#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "readers/reader_text.h"

namespace geoplait {

namespace {

constexpr size_t kCoordinateChars = 14;
constexpr size_t kCollectBytes = GpxReader::kCollectBytes;

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

const XML_Char* Attribute(const XML_Char** attributes, const char* name) {
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        if (std::strcmp(attributes[i], name) == 0) return attributes[i + 1];
    }
    return nullptr;
}

// A coordinate's text without white space at either end, cut to what is
// collected: mostly a number as it stands, seen so at its ends.
std::string_view CollectedCoordinate(std::string_view text) {
    if (!text.empty() && static_cast<unsigned char>(text.front()) > ' ' &&
        static_cast<unsigned char>(text.back()) > ' ' && text.size() <= kCollectBytes) {
        return text;
    }
    return FirstChars(TrimXmlSpace(text), kCollectBytes);
}

// A number value as TakeXmlNumber holds it, and the reading of that text
// (ReadingOf): a number kept whole as it stands with a digit first and no
// exponent reads alike both ways, so its value read here is the reading;
// any other is read again from what is held.
Reading TakeNumber(std::string_view text, size_t maxChars, std::string& out) {
    XmlNumber number;
    if (!text.empty() && text.size() <= maxChars && text.front() >= '0' && text.front() <= '9' &&
        ReadXmlNumber(text, number) && !number.exponent) {
        out.assign(text);
        return {number.value, true};
    }
    TakeXmlNumber(text, maxChars, out);
    return ReadingOf(out);
}

}  // namespace

bool GpxReader::Open(const std::string& path, GpxScan scan) {
    scan_ = scan;
    depth_ = 0;
    pointDepth_ = 0;
    valueDepth_ = 0;
    value_ = -1;
    extensionDepth_ = 0;
    metresPerSecond_ = false;
    read_ = 0;
    given_ = 0;
    bytesRead_ = 0;
    plainPointsRead_ = 0;
    shapedPointsRead_ = 0;
    shape_.whole = false;
    tagShape_.whole = false;
    if (!xml_.Open(path, this, {&OnStart, &OnEnd, &OnText})) return false;
    if (scan == GpxScan::kPlainPointsApart) {
        constexpr std::string_view kPointNames[] = {"trkpt", "rtept", "wpt"};
        xml_.EndPiecesAtStartTags(kPointNames);
    }
    return true;
}

void GpxReader::OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
    auto& r = *static_cast<GpxReader*>(user);
    switch (r.Begin(LocalName(name))) {
        case Began::kRoot:
            r.metresPerSecond_ = SpeedInMetresPerSecond(attributes);
            break;
        case Began::kPoint: {
            const XML_Char* lat = Attribute(attributes, "lat");
            const XML_Char* lon = Attribute(attributes, "lon");
            if (lat == nullptr || lon == nullptr || !r.StartPoint(lat, lon)) break;
            if (r.scan_ == GpxScan::kPlainPointsApart) r.ReadPlainPoints(name);
            break;
        }
        case Began::kValue:
            r.xml_.CollectText(true);
            break;
        case Began::kOther:
            break;
    }
}

void GpxReader::OnEnd(void* user, const XML_Char*) {
    auto& r = *static_cast<GpxReader*>(user);
    switch (r.Finish()) {
        case Ended::kValue:
            r.xml_.CollectText(false);
            break;
        case Ended::kPoint:
            r.Slot(r.read_ - 1).bytesRead = r.xml_.BytesThroughEvent();
            if (r.read_ - r.given_ >= kPointsAhead - 1) r.xml_.Pause();
            break;
        case Ended::kOther:
            break;
    }
}

void GpxReader::OnText(void* user, const XML_Char* text, int length) {
    static_cast<GpxReader*>(user)->Take(std::string_view(text, static_cast<size_t>(length)));
}

// Found by the name's length, then its bytes: this runs for every element
// of a document.
GpxReader::Element GpxReader::ElementOf(std::string_view local) {
    switch (local.size()) {
        case 3:
            if (local == "ele") return {Named::kValue, kEle};
            if (local == "sat") return {Named::kValue, kSat};
            if (local == "wpt") return {Named::kPoint, 0};
            if (local == "gpx") return {Named::kGpx, 0};
            break;
        case 4:
            if (local == "time") return {Named::kValue, kTime};
            if (local == "name") return {Named::kValue, kName};
            break;
        case 5:
            if (local == "speed") return {Named::kValue, kSpeed};
            if (local == "trkpt" || local == "rtept") return {Named::kPoint, 0};
            break;
        case 6:
            if (local == "course") return {Named::kValue, kCourse};
            break;
        case 19:
            if (local == "TrackPointExtension") return {Named::kExtension, 0};
            break;
        default:
            break;
    }
    return {Named::kOther, 0};
}

GpxReader::Began GpxReader::Begin(std::string_view name) {
    ++depth_;
    const Element element = ElementOf(name);
    if (pointDepth_ == 0) {
        if (element.name == Named::kGpx && depth_ == 1) return Began::kRoot;
        return element.name == Named::kPoint ? Began::kPoint : Began::kOther;
    }
    if (element.name == Named::kExtension) {
        // <extensions><gpxtpx:TrackPointExtension> (Garmin, versions 1 and 2).
        if (!(extensionDepth_ != 0 && depth_ == extensionDepth_ + 1) && depth_ == pointDepth_ + 2) {
            extensionDepth_ = depth_;
        }
        return Began::kOther;
    }
    const int value = PointValueAt(element, depth_);
    if (value < 0) return Began::kOther;
    value_ = value;
    valueDepth_ = depth_;
    Reading().values[static_cast<size_t>(value)].clear();
    Reading().found[static_cast<size_t>(value)] = true;
    Reading().spaced[static_cast<size_t>(value)] = false;
    return Began::kValue;
}

GpxReader::Ended GpxReader::Finish() {
    Ended ended = Ended::kOther;
    if (depth_ == valueDepth_) {
        valueDepth_ = 0;
        value_ = -1;
        ended = Ended::kValue;
    } else if (depth_ == extensionDepth_) {
        extensionDepth_ = 0;
    } else if (depth_ == pointDepth_) {
        pointDepth_ = 0;
        ++read_;
        ended = Ended::kPoint;
    }
    --depth_;
    return ended;
}

void GpxReader::TakeWhole(std::string_view text, bool spaced) {
    PointTexts& point = Reading();
    const auto value = static_cast<size_t>(value_);
    point.values[value].assign(text.data(), std::min(text.size(), kCollectBytes));
    point.spaced[value] = spaced;
}

bool GpxReader::StartPoint(std::string_view latitude, std::string_view longitude) {
    PointTexts& point = Reading();
    point.latitude.assign(CollectedCoordinate(latitude));
    point.longitude.assign(CollectedCoordinate(longitude));
    if (point.latitude.empty() || point.longitude.empty()) return false;
    pointDepth_ = depth_;
    point.found.fill(false);
    point.metresPerSecond = metresPerSecond_;
    return true;
}

void GpxReader::Take(std::string_view text) {
    if (value_ < 0 || depth_ != valueDepth_) return;
    PointTexts& point = Reading();
    point.spaced[static_cast<size_t>(value_)] = true;
    // As AppendCapped, without a call for each piece.
    std::string& value = point.values[static_cast<size_t>(value_)];
    if (value.size() < kCollectBytes) value.append(text.data(), std::min(text.size(), kCollectBytes - value.size()));
}

void GpxReader::ReadAhead(PointTexts& texts) {
    // A latitude or longitude that is no number or beyond its range leaves
    // the point without a position.
    double latitude = 0.0;
    double longitude = 0.0;
    const bool latitudeRead =
        ReadXmlDegrees(texts.latitude, 90.0, kCoordinateChars, 'N', 'S', latitude, texts.northSouth);
    const bool longitudeRead =
        ReadXmlDegrees(texts.longitude, 180.0, kCoordinateChars, 'E', 'W', longitude, texts.eastWest);
    texts.position = PositionOfDegrees(latitudeRead && longitudeRead, latitude, longitude);
    for (size_t v = 0; v < kValueCount; ++v) {
        if (!texts.found[v]) continue;
        std::string& value = texts.values[v];
        if (texts.spaced[v]) TidyText(value);
        texts.spaced[v] = false;
        texts.numberRead[v] = false;
        if (!kValues[v].number || value.empty() || value.size() > kValues[v].maxChars) continue;
        XmlNumber number;
        texts.numberRead[v] = ReadXmlNumber(value, number) && !number.exponent;
        texts.numbers[v] = number.value;
    }
}

void GpxReader::Fill(PointTexts& texts, TrackPoint& p) {
    p.GgaNS.assign(1, texts.northSouth);
    p.RmcNS.assign(1, texts.northSouth);
    p.GgaEW.assign(1, texts.eastWest);
    p.RmcEW.assign(1, texts.eastWest);
    p.Position = texts.position;
    p.GgaPosition = texts.position;
    // The time whole: one with seven fractional digits and an offset is
    // longer than any field, and cutting it would lose its offset. A time
    // that is no time leaves the record's as it was. Read here rather than
    // with the numbers, so that the two threads have about as much to do.
    if (texts.found[kTime]) ReadXmlTime(texts.values[kTime], nullptr, p.Time);

    p.PointName.clear();
    // A point without a speed of its own has none: RmcSpeed stays empty
    // for the speed computed from the track.
    p.RmcSpeed.clear();
    p.Readings.speedRead = false;
    // The point's own <speed> and <course> win over the extension's.
    if (texts.found[kSpeed]) texts.found[kExtensionSpeed] = false;
    if (texts.found[kCourse]) texts.found[kExtensionCourse] = false;
    bool altitudeRead = false;
    bool courseRead = false;
    for (size_t v = 0; v < kValueCount; ++v) {
        if (!texts.found[v] || v == kTime) continue;
        std::string& value = texts.values[v];
        if (kValues[v].number) {
            std::string& out = p.*kValues[v].target;
            if (v != kExtensionSpeed && (v != kSpeed || !texts.metresPerSecond)) {
                // A number kept whole as it stands with a digit first and no
                // exponent reads alike both ways (TakeNumber).
                const bool whole = texts.numberRead[v] && value.front() >= '0' && value.front() <= '9';
                if (whole) out.assign(value);
                const geoplait::Reading reading =
                    whole ? geoplait::Reading{texts.numbers[v], true} : TakeNumber(value, kValues[v].maxChars, out);
                if (v == kEle) {
                    p.Values.altitude = reading;
                    altitudeRead = true;
                } else if (v == kSpeed) {
                    p.Values.speed = reading;
                    p.Readings.speedRead = true;
                } else {
                    p.Values.course = reading;
                    courseRead = true;
                }
                continue;
            }
            // A speed in metres per second: mostly a plain decimal kept
            // whole, whose value is read once.
            double knots = 0.0;
            if (texts.numberRead[v] && AssignFixedRead(out, texts.numbers[v] * kKnotsPerMetrePerSecond, 3, 1, knots)) {
                p.Values.speed = {knots, true};
                p.Readings.speedRead = true;
            } else if (texts.numberRead[v]) {
                AssignFixed(out, texts.numbers[v] * kKnotsPerMetrePerSecond, 3, 1);
            } else {
                TakeXmlNumber(value, kValues[v].maxChars, out);
                KnotsFromMetresPerSecond(out);
            }
        } else {
            (p.*kValues[v].target).assign(FirstChars(value, kValues[v].maxChars));
        }
    }
    // The speed is read once the track's is known (kValuesRead).
    if (!altitudeRead) p.Values.altitude = ReadingOf(p.GgaAltitude);
    if (!courseRead) p.Values.course = ReadingOf(p.RmcCourse);
    p.Values.satellites = ReadingOf(p.GgaSatellites);
    p.Values.dilution = ReadingOf(p.GgaDilution);
}

bool GpxReader::Next(TrackPoint& point) {
    if (!Skip()) return false;
    PointTexts& texts = Slot(given_ - 1);
    ReadAhead(texts);
    Fill(texts, point);
    return true;
}

GpxReader::PointTexts* GpxReader::NextTexts() {
    if (!Skip()) return nullptr;
    PointTexts& texts = Slot(given_ - 1);
    ReadAhead(texts);
    return &texts;
}

void GpxReader::KeepTexts(size_t count) {
    // Points read ahead (and one begun) are written up to kPointsAhead past
    // the last one given, and so never reach a slot kept.
    const size_t size = std::bit_ceil(count + kPointsAhead);
    if (size <= points_.size()) return;
    std::vector<PointTexts> grown(size);
    // The points read and not given, and the one begun, keep their numbers.
    for (uint64_t n = given_; n <= read_; ++n) grown[n & (size - 1)] = std::move(Slot(n));
    points_ = std::move(grown);
    mask_ = size - 1;
}

bool GpxReader::Skip() {
    // Points read before the document ended or broke are given all the same.
    while (given_ == read_) {
        if (!xml_.Run() && given_ == read_) return false;
    }
    bytesRead_ = Slot(given_).bytesRead;
    ++given_;
    return true;
}

}  // namespace geoplait
