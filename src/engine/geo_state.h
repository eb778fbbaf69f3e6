// What the geodesy routines remember during a run.
#pragma once

#include "geo/time_zone.h"

namespace geoplait {

// The last distance on the ellipsoid TrackDistance worked out, by the
// degrees of its two positions: the previous point and the point before the
// record is measured from are mostly the same.
struct DistanceMemo {
    double lon1 = 0.0;
    double lat1 = 0.0;
    double lon2 = 0.0;
    double lat2 = 0.0;
    double km = 0.0;
    bool valid = false;
};

struct GeoState {
    DistanceMemo distance;
    // The run clock's offset at the last record's time and the span of
    // instants it holds for.
    OffsetSpan offset;
};

}  // namespace geoplait
