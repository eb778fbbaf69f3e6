// The record emitter of the non-KML outputs: has the current record judged by
// the emitter's filter (AcceptRecordForEmitter), splits the output file by
// distance, time or date, writes the record in the output kind and counts it.
#pragma once

#include "base/text_file.h"
#include "engine/run_outputs.h"
#include "engine/run_values.h"
#include "engine/track_point.h"
#include "settings/convert_settings.h"
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

// What the emitter uses of its run: the settings (FileSplit, Bom, OutputFile,
// TrackGroupDate), the run values (the gap limits), the record at hand and the
// record state, and the outputs side (the split files; whether the run goes on).
struct EmitterRun {
    const ConvertSettings& settings;
    const RunValues& run;
    TrackPoint& point;
    TrackStore& store;
    RunOutputs io;
};

// EmitRecord past its check of the run, with the filter's verdict.
int EmitJudgedRecord(TextWriter& out, const EmitterRun& r, bool accepted, SplitFiles& split,
                     const OutputWriter& writer, InputOrigin origin, LineOutput& line);

// Writes the current record, when `accept()` (the filter, which notes the
// record read and derives its values) lets it through (a rejected one is
// only counted), with `writer`'s line writer, the run's line writer options
// and scratch space. Returns 0, or -1 when the run's outputs could not be
// written (a split file not created, an earlier one cut short): the run
// stops, and every later call only clears the record and returns -1. The
// filter is asked only while the run goes on, so that a cancel noticed while
// it reports the record comes after the record.
template <typename Accept>
int EmitRecord(TextWriter& out, const EmitterRun& r, Accept&& accept, SplitFiles& split, const OutputWriter& writer,
               InputOrigin origin, LineOutput& line) {
    if (r.io.StopRequested()) {
        ClearTrackPoint(r.point);
        return -1;
    }
    return EmitJudgedRecord(out, r, accept(), split, writer, origin, line);
}

// Start of a run whose output may be split (SplitsOutput): sets SplitIndex
// of `store` to 0 and, when FileSplit of `s` is on, remembers the name parts
// of OutputFile for the split files and renames OutputFile itself to its
// first file "<base>_000<ext>" (the new name stays in the settings). Call it
// before creating the output.
void PrepareFileSplit(ConvertSettings& s, TrackStore& store, SplitFiles& split);

}  // namespace geoplait
