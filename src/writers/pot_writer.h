// POT point files: a DAT header line, then one line per record.
#pragma once

#include "base/text_file.h"
#include "writers/line_writer.h"

namespace geoplait {

// "DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\n"
void WritePotHead(TextWriter& out);
// One record line: the label, the record number, satellites and dilution,
// the position with the record's hemisphere signs, the altitude, date and time.
void WritePotLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point,
                  RecordNumbers numbers, LineScratch& scratch);

}  // namespace geoplait
