// CSV output: the Full layout (50 fixed columns) and the Custom layout (the
// columns switched on by the Output_ flags, in their fixed order).
#pragma once

#include "engine/run_context.h"
#include "base/text_file.h"

namespace geoplait {

// Index in TrackPoint::CsvSlot of CSV Full column 28, the reserved text slot
// that the CSV Full reader fills and the Full line writer writes back.
inline constexpr int kCsvFullReservedSlot = 0;

void WriteCsvFullLine(TextWriter& out, RunContext& ctx);
void WriteCsvCustomLine(TextWriter& out, RunContext& ctx);

}  // namespace geoplait
