// Run state of this subsystem that outlives one record within a run.
#pragma once

#include <string>

namespace geoplait {

// The KML writers keep no values of their own between records: the placemark
// anchor, the group values and the counters live in TrackStore and RunValues.
// What is here is working space reused from record to record so that writing
// a coordinate line allocates nothing.
struct KmlState {
    std::string ScratchDms;      // d/m/s text made and thrown away when a line's degrees are made afresh
    std::string CoordinateLine;  // the current record's coordinate line
};

}  // namespace geoplait
