// POT point files: a "DAT=" header line, then one record a line.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_context.h"
#include "base/text_file.h"

namespace geoplait {

// One record line ("key=value" items separated by "/") into the record, the
// NMEA defaults first: "ido"/"kei" the position, "alt" the altitude, "pda"
// the date, "pti" the UTC time, "tex" the extra text. Items after the 15th
// are not read.
void ParsePotLine(std::string_view line, const ConvertSettings& settings, TrackPoint& point);

// A POT file as a source of records: the first line (the header) is skipped,
// every further line is one record.
//
//   PotReader reader;
//   if (!reader.Open(path)) ... "Input File Not Found"
//   while (reader.Next(ctx)) { ...write or reject ctx.point..., ClearTrackPoint }
//
// Nothing is kept between records but the file position; a pass that reads
// the file again opens it again.
class PotReader {
public:
    bool Open(const std::string& path);
    void Close() { input_.Close(); }
    // Parses the next record line into ctx.point; false at the end of the file.
    bool Next(RunContext& ctx);

private:
    TextReader input_;
    bool headerSkipped_ = false;
};

}  // namespace geoplait
