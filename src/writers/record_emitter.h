// The record emitter of the non-KML outputs: filters the current record,
// splits the output file by distance, time or date, writes the record in the
// output kind and counts it.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

enum class InputOrigin { Nmea, CsvFull };

// kind: 'P' POT, 'G' GPX route point, 'N' NMEA (CSV Full input only),
// 'F' CSV Full, 'C' CSV Custom. Returns 0, or -1 when the run's outputs could
// not be written (a split file not created, an earlier one cut short): the
// run stops, and every later call only clears the record and returns -1.
int EmitRecord(TextWriter& out, RunContext& ctx, char kind, InputOrigin origin);

// Start of a run whose output may be split (the NMEA-to-CSV runs and the CSV
// Full runs to NMEA, CSV Full and CSV Custom): sets SplitIndex to 0 and, when
// FileSplit is on, remembers the name parts of OutputFile for the split files
// and renames OutputFile itself to its first file "<base>_000<ext>" (the new
// name stays in the settings). Call it before creating the output.
void PrepareFileSplit(RunContext& ctx);

}  // namespace geoplait
