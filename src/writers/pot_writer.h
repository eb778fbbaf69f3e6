// POT point files: a DAT header line, then one line per record.
#pragma once

#include "engine/run_context.h"
#include "base/text_file.h"

namespace geoplait {

// "DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\n"
void WritePotHead(TextWriter& out);
// One record line for the current record.
void WritePotLine(TextWriter& out, RunContext& ctx);

}  // namespace geoplait
