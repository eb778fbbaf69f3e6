// Records and remembered points made from NMEA position texts, as the
// readers of NMEA texts leave them (texts and positions both).
#pragma once

#include <string>

#include "engine/track_point.h"

namespace geoplait::test {

// The RMC and GGA position texts of the record, and its positions read from them.
inline void SetPositionTexts(TrackPoint& point, const std::string& longitude, const std::string& latitude) {
    point.RmcLongitude = point.GgaLongitude = longitude;
    point.RmcLatitude = point.GgaLatitude = latitude;
    ReadPositionTexts(point);
}

// The point an emitter remembers of a record with these texts.
inline PointPosition PointOf(const std::string& longitude, const std::string& latitude,
                             const std::string& altitude = "", const std::string& ew = "",
                             const std::string& ns = "") {
    TrackPoint point;
    SetPositionTexts(point, longitude, latitude);
    point.GgaAltitude = altitude;
    point.RmcEW = ew;
    point.RmcNS = ns;
    ReadRecordValues(point);
    PointPosition taken;
    taken.Take(point);
    return taken;
}

}  // namespace geoplait::test
