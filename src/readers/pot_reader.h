// POT point files: a "DAT=" header line, then one record a line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/run_values.h"
#include "engine/track_point.h"
#include "settings/convert_settings.h"

namespace geoplait {

// One record line ("key=value" items separated by "/") into the record, the
// NMEA defaults first: "ido"/"kei" the position, "alt" the altitude, "pda"
// the date, "pti" the UTC time, "tex" the extra text. Items after the 15th
// are not read. Numbers are read whole or not at all: a position group or an
// altitude that is no number leaves the position or the altitude unknown.
// Returns the number of values left unknown so.
int32_t ParsePotLine(std::string_view line, const ConvertSettings& settings, TrackPoint& point);

// A POT file as a source of records: the first line (the header) is skipped,
// every further line is one record.
//
//   PotReader reader;
//   if (!reader.Open(path, settings)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//
// Every record starts with the NMEA defaults of `defaults` (kept by
// reference: they must outlive the reading). Nothing is kept between records
// but the file position; a pass that reads the file again opens it again.
class PotReader {
public:
    bool Open(const std::string& path, const ConvertSettings& defaults);
    void Close() { input_.Close(); }
    // Parses the next record line into the point; false at the end of the file.
    bool Next(TrackPoint& point);
    // Passes over the record Next would give, reading its line only (to
    // count the records); false at the end of the file. Its values are not
    // looked at, so their losses are the reading pass's to count.
    bool Skip();
    // Bytes of the input read up to the record last given, for progress.
    uint64_t BytesRead() const { return input_.BytesRead(); }
    // What this pass could not read: values that were no number, lines too long.
    InputLosses Losses() const { return losses_; }

private:
    // The next record line, past the header line.
    bool NextLine(std::string_view& line);
    TextReader input_;
    InputLosses losses_;
    const ConvertSettings* defaults_ = nullptr;
    bool headerSkipped_ = false;
};

}  // namespace geoplait
