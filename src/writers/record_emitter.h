// The record emitter of the non-KML outputs: filters the current record,
// splits the output file by distance, time or date, writes the record in the
// output kind and counts it.
#pragma once

#include "engine/run_context.h"
#include "base/text_file.h"
#include "writers/line_writer.h"
#include "writers/output_writers.h"

namespace geoplait {

// The name parts of a run's split files "%s_%03i%s", taken from OutputFile
// before the run renames it to its _000 file; kept by the run.
struct SplitFiles {
    std::string base;       // OutputFile without its extension
    std::string extension;  // the extension with its dot, or empty
    bool named = false;     // base and extension hold this run's parts
};

// Writes the current record with `writer`'s line writer, the run's line
// writer options and scratch space. Returns 0, or -1 when the run's outputs could
// not be written (a split file not created, an earlier one cut short): the
// run stops, and every later call only clears the record and returns -1.
int EmitRecord(TextWriter& out, RunContext& ctx, SplitFiles& split, const OutputWriter& writer, InputOrigin origin,
               LineOutput& line);

// Start of a run whose output may be split (SplitsOutput): sets SplitIndex
// of `store` to 0 and, when FileSplit of `s` is on, remembers the name parts
// of OutputFile for the split files and renames OutputFile itself to its
// first file "<base>_000<ext>" (the new name stays in the settings). Call it
// before creating the output.
void PrepareFileSplit(ConvertSettings& s, TrackStore& store, SplitFiles& split);

}  // namespace geoplait
