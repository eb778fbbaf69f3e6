// GPX reader.
//
//   <wpt|rtept|trkpt lat="-33.87" lon="151.21">
//     <ele>..</ele> <time>..</time> <speed>..</speed> <course>..</course>
//     <sat>..</sat> <name>..</name>   (children of the point, any order)
//   </...>
//
// Waypoints, route points and track points are read alike, as one sequence.
// Only the point's own children count: a time in the metadata, a track's
// name or an extension's speed never reach a point. A point without both
// lat and lon is no record. Element names are compared without their
// namespace prefix. Values are cut to 14 characters (49 for the name, 31 for
// the time) after their line breaks became blanks; entities, character
// references and CDATA sections are decoded by the parser. A signed position gives the unsigned value and the letter S
// or W on both sides. A time ending in "Z" is UTC, one with an offset is
// brought to UTC, one with neither is taken as UTC; fractions of a second
// are dropped. Speed is taken as it stands (the program writes knots there).
#include "readers/gpx_reader.h"

#include <cstring>

#include "geo/coordinates.h"
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
};

constexpr GpxValue kValues[GpxReader::kValueCount] = {
    {"ele", 14, &TrackPoint::GgaAltitude},  {"time", 31, nullptr},
    {"speed", 14, &TrackPoint::RmcSpeed},   {"course", 14, &TrackPoint::RmcCourse},
    {"sat", 14, &TrackPoint::GgaSatellites}, {"name", 49, &TrackPoint::PointName},
};

bool IsPoint(std::string_view name) { return name == "trkpt" || name == "rtept" || name == "wpt"; }

const XML_Char* Attribute(const XML_Char** attributes, const char* name) {
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        if (std::strcmp(attributes[i], name) == 0) return attributes[i + 1];
    }
    return nullptr;
}

void TakeTime(TrackPoint& p, std::string_view text) {
    XmlTimeStamp stamp;
    if (!ReadXmlTimeStamp(FirstChars(text, kValues[GpxReader::kTime].maxChars), stamp)) return;
    p.RmcDate.assign(stamp.date);
    p.RmcTime.assign(stamp.time);
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
    ready_ = false;
    return xml_.Open(path, this, {&OnStart, &OnEnd, &OnText});
}

void GpxReader::OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
    auto& r = *static_cast<GpxReader*>(user);
    ++r.depth_;
    const std::string_view local = LocalName(name);
    if (r.pointDepth_ == 0) {
        if (!IsPoint(local)) return;
        const XML_Char* lat = Attribute(attributes, "lat");
        const XML_Char* lon = Attribute(attributes, "lon");
        if (lat == nullptr || lon == nullptr) return;
        r.latitude_.assign(FirstChars(TrimXmlSpace(lat), kCollectBytes));
        r.longitude_.assign(FirstChars(TrimXmlSpace(lon), kCollectBytes));
        if (r.latitude_.empty() || r.longitude_.empty()) return;
        r.pointDepth_ = r.depth_;
        r.found_.fill(false);
        return;
    }
    if (r.depth_ != r.pointDepth_ + 1) return;
    for (int v = 0; v < kValueCount; ++v) {
        if (local != kValues[v].element) continue;
        r.value_ = v;
        r.valueDepth_ = r.depth_;
        r.values_[static_cast<size_t>(v)].clear();
        r.found_[static_cast<size_t>(v)] = true;
        return;
    }
}

void GpxReader::OnEnd(void* user, const XML_Char*) {
    auto& r = *static_cast<GpxReader*>(user);
    if (r.depth_ == r.valueDepth_) {
        r.valueDepth_ = 0;
        r.value_ = -1;
    } else if (r.depth_ == r.pointDepth_) {
        r.pointDepth_ = 0;
        r.ready_ = true;
        r.xml_.Pause();
    }
    --r.depth_;
}

void GpxReader::OnText(void* user, const XML_Char* text, int length) {
    auto& r = *static_cast<GpxReader*>(user);
    if (r.value_ < 0 || r.depth_ != r.valueDepth_) return;
    AppendCapped(r.values_[static_cast<size_t>(r.value_)], text, length, kCollectBytes);
}

void GpxReader::Fill(TrackPoint& p) {
    TakeSignedDegrees(latitude_, kCoordinateChars, 'N', 'S', p.InLatitudeDeg, p.GgaNS, p.RmcNS);
    p.GgaLatitude.clear();
    p.LatitudeDms.clear();
    CoordTexts(p.GgaLatitude, p.InLatitudeDeg, p.LatitudeDms);
    p.RmcLatitude.assign(p.GgaLatitude);
    TakeSignedDegrees(longitude_, kCoordinateChars, 'E', 'W', p.InLongitudeDeg, p.GgaEW, p.RmcEW);
    p.GgaLongitude.clear();
    p.LongitudeDms.clear();
    CoordTexts(p.GgaLongitude, p.InLongitudeDeg, p.LongitudeDms);
    p.RmcLongitude.assign(p.GgaLongitude);

    p.PointName.clear();
    for (size_t v = 0; v < kValueCount; ++v) {
        if (!found_[v]) continue;
        std::string& value = values_[v];
        TidyText(value);
        if (v == kTime) {
            TakeTime(p, value);
        } else {
            (p.*kValues[v].target).assign(FirstChars(value, kValues[v].maxChars));
        }
    }
}

bool GpxReader::Next(TrackPoint& point) {
    for (;;) {
        if (ready_) {
            ready_ = false;
            Fill(point);
            return true;
        }
        if (!xml_.Run()) return false;
    }
}

}  // namespace geoplait
