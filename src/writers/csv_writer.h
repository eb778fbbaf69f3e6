// CSV output: the Full layout (50 fixed columns) and the Custom layout (the
// columns switched on by the Output_ flags, in their fixed order).
#pragma once

#include "base/text_file.h"
#include "writers/line_writer.h"

namespace geoplait {

// The header line naming the columns, when options.csv.header asks for it
// (Custom: the columns switched on; none when no column is).
void WriteCsvFullHead(TextWriter& out, const LineWriterOptions& options);
void WriteCsvCustomHead(TextWriter& out, const LineWriterOptions& options);


void WriteCsvFullLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point,
                      RecordNumbers numbers, LineScratch& scratch);
void WriteCsvCustomLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point,
                        RecordNumbers numbers, LineScratch& scratch);

// The Custom column of each Output_ flag, in the order of
// CsvWriterOptions::customColumns.
extern const std::array<int ConvertSettings::*, kCsvCustomColumnCount> kCsvCustomFlags;

}  // namespace geoplait
