// What the geodesy routines remember during a run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace geoplait {

// The numbers of the last position texts read for a point that does not
// carry its own (a point taken before its record's position was read) and
// for RecordCoordTexts: the same few texts come back again and again; each
// is read once. Entries are keyed by the whole text, so what they hold is
// never stale. A fresh entry holds the empty text and 0, which is what
// reading "" gives.
struct NumberMemo {
    static constexpr size_t kTextSize = 16;  // longer texts are read every time
    struct Entry {
        uint64_t key[2] = {0, 0};  // made of the text's bytes by RememberedNumberOf
        size_t size = 0;
        double value = 0.0;
        double degrees = 0.0;  // the value read as NMEA ddmm.mmmm
    };
    std::array<Entry, 8> entries{};
    size_t next = 0;  // the entry to replace next
};

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
    NumberMemo numbers;
    DistanceMemo distance;
};

}  // namespace geoplait
