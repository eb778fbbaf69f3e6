// Opening the input and the output of a conversion pass, with the two file
// messages every pass shows on failure.
#pragma once

#include "engine/run_context.h"
#include "base/text_file.h"
#include "job/track_input.h"
#include "photo/photo_folder.h"
#include "photo/photo_run.h"

namespace geoplait {

// `notice` about the input `path`, with the path and why it cannot be read.
NoticeText InputNotice(Notice notice, const std::string& path);

// Opens InputFile with the reader of `kind`; "Input File Not Found" (caption
// "Check!") when it cannot be opened.
bool OpenRunInput(RunContext& ctx, TrackInput& input, ModeKind kind, bool toCsvCustom = false);

// Opens OutputFile of `s` in `mode` as one of the run's `outputs` (when it
// cannot be made the run stops, and the job says so). A created output drops
// its byte-order mark when Bom is 0.
bool OpenRunOutput(OutputFiles& outputs, const ConvertSettings& s, TextWriter& out, WriteMode mode);

// The parts of `ctx` that the photo steps use.
PhotoRun PhotoRunOf(RunContext& ctx);

// The photo steps' reader of the track of family `kind`: each record of the
// input, without a filter, in the run's record.
TrackReader TrackReaderOf(RunContext& ctx, ModeKind kind);

}  // namespace geoplait
