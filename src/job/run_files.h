// Opening the input and the output of a conversion pass, with the two file
// messages every pass shows on failure.
#pragma once

#include "engine/run_context.h"
#include "base/text_file.h"
#include "job/track_input.h"

namespace geoplait {

// `notice` about the input `path`, with the path and why it cannot be read.
NoticeText InputNotice(Notice notice, const std::string& path);

// Opens InputFile with the reader of `kind`; "Input File Not Found" (caption
// "Check!") when it cannot be opened.
bool OpenRunInput(RunContext& ctx, TrackInput& input, ModeKind kind, bool toCsvCustom = false);

// Opens OutputFile in `mode` as one of the run's outputs (when it cannot be
// made the run stops, and the job says so). A created output drops its
// byte-order mark when Bom is 0.
bool OpenRunOutput(RunContext& ctx, TextWriter& out, WriteMode mode);

// Opens InputFile as text lines ("Input File Not Found") and OutputFile as
// OpenRunOutput does. False when either failed.
bool OpenRunFiles(RunContext& ctx, TextReader& input, TextWriter& out, WriteMode mode);

}  // namespace geoplait
