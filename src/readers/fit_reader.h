// FIT activity files of sports watches and bike computers: every `record`
// message is one record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/track_point.h"

namespace geoplait {

// A FIT file (or several chained in one) as a source of records, read front
// to back in one pass through a fixed buffer.
//
//   FitReader reader;
//   if (!reader.Open(path)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//   if (!reader.Error().empty()) ... the file broke off or its CRC is wrong
//
// Next fills the position and its hemispheres (empty when the record has
// none), the altitude, the UTC date and time, the speed (knots) and, in
// ExtendData, the heart rate and cadence ("HR 142 Cadence 85"); PointName is
// emptied; every other field keeps what the caller left in the record. A
// file that breaks off keeps the records before the break and names the byte
// where it broke; a CRC that does not match is named too and the reading
// goes on.
class FitReader {
public:
    FitReader();
    ~FitReader();
    FitReader(FitReader&&) noexcept;
    FitReader& operator=(FitReader&&) noexcept;

    bool Open(const std::string& path);
    void Close();
    // The next record message into `point`; false at the end of the input
    // or where it stops being readable.
    bool Next(TrackPoint& point);
    // Bytes of the input read up to the end of the record last given.
    uint64_t BytesRead() const;
    // The first fault found ("byte 1234: ..."), empty while there is none.
    const std::string& Error() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace geoplait
