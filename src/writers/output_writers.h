// The writers of the outputs written one record at a time (every output kind
// whose OutputRun is Records): one row per output kind, with its line writer,
// what it writes before and after the records and whether FileSplit cuts it.
// A new output of records is its line writer and a row here.
#pragma once

#include <string>

#include "base/text_file.h"
#include "settings/convert_modes.h"
#include "writers/line_writer.h"

namespace geoplait {

// The input variants of the record emitter: an NMEA log or a CSV Full file.
enum class InputOrigin { Nmea, CsvFull };

struct OutputWriter {
    ModeOutput output;
    LineWriter write;
    // Before the records, with the track's Name; nullptr: nothing before.
    void (*head)(TextWriter& out, const LineWriterOptions& options, const std::string& name, bool upperCaseHandle);
    LineHead tail;      // after the records; nullptr: nothing after
    LineHead fileHead;  // at the start of each file, a split file too; nullptr: nothing
    bool splitsFromNmea;     // FileSplit applies in the NMEA-input variant
    bool splitsFromCsvFull;  // FileSplit applies in the CSV-Full-input variant
};

// The writer of `output`; nullptr for an output not written record by record.
const OutputWriter* OutputWriterOf(ModeOutput output);

// Whether FileSplit may cut the output of `writer` from `origin`: CSV Full
// and Custom from NMEA input; NMEA, CSV Full and Custom from CSV Full input.
bool SplitsOutput(const OutputWriter& writer, InputOrigin origin);

}  // namespace geoplait
