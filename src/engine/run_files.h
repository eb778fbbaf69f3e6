// Opening the input and the output of a conversion pass, with the two file
// messages every pass shows on failure.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

// Opens InputFile for reading ("Input File Not Found", caption "Check!") and
// OutputFile in `mode` as one of the run's outputs (when it cannot be made the
// run stops, and the job says so). A created output drops its byte-order mark
// when Bom is 0. False when either failed.
bool OpenRunFiles(RunContext& ctx, TextReader& input, TextWriter& out, WriteMode mode);

}  // namespace geoplait
