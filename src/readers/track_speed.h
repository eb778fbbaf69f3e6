// The speed of records read without one (GPX of phones, KML, CSV without a
// speed column, POT, NMEA epochs without RMC): computed from the distance and
// the time to the record read before it that has a position and a time, so
// that speed labels and speed groups work for them as for a logged speed.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/track_point.h"

namespace geoplait {

class TrackSpeed {
public:
    // Forgets the record before: a pass that reads the input again starts anew.
    void Reset() { known_ = false; }

    // A record whose RmcSpeed is empty (the reader found no speed) gets the
    // speed in knots ("%1.3f") from the record read before; when there is
    // none, or the time did not advance, it gets `fallback`, what its format
    // gave before (not the empty record after a log's last line). A record with a speed of its
    // own keeps it. Every record with a position and a time is remembered.
    void Fill(TrackPoint& point, std::string_view fallback);

private:
    bool known_ = false;
    double longitude_ = 0.0;  // ddmm.mmmm, and whether in the west
    double latitude_ = 0.0;   // ddmm.mmmm, and whether in the south
    bool west_ = false;
    bool south_ = false;
    bool dated_ = false;
    int64_t day_ = 0;       // days since 2000-01-01 when dated_
    double seconds_ = 0.0;  // of the day, with its fraction
};

}  // namespace geoplait
