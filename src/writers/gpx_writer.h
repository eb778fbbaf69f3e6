// GPX 1.1 output: the document frame around one route or track, one point per record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "writers/line_writer.h"

namespace geoplait {

// Head up to the route's name `name` (and, options.gpx Track, the first
// <trkseg>); `upperCaseHandle` selects the creator handle's spelling, which
// depends on the input.
void WriteGpxHead(TextWriter& out, const LineWriterOptions& options, const std::string& name, bool upperCaseHandle);
void WriteGpxTail(TextWriter& out, const LineWriterOptions& options);
// One <rtept> or <trkpt> (options.gpx) for the record; a track point whose
// numbers say the line is cut before it begins a new <trkseg>.
void WriteGpxPoint(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point,
                   RecordNumbers numbers, LineScratch& scratch);

// The point label shared by the GPX route point name and the POT text item:
// number, elapsed time, distance and speed as the Label_ flags ask. Writes a
// NUL-terminated text into `buffer` (kPointLabelSize is always enough) and
// returns its length.
inline constexpr size_t kPointLabelSize = 1024;
size_t FormatPointLabel(const PointLabelOptions& label, const TrackPoint& point, RecordNumbers numbers,
                        char* buffer, size_t size);

// Writes `text` as XML character data: & < > escaped, characters XML cannot
// carry (C0 controls but tab, CR, LF; malformed UTF-8) replaced by U+FFFD.
void WriteXmlText(TextWriter& out, std::string_view text);

}  // namespace geoplait
