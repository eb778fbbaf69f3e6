// Summary output: one row per group of consecutive records (record numbers,
// first and last date and time, distance, duration, speed and altitude
// statistics), as CSV or as an HTML page.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

// "nmea(log) -> Summary(csv)" (variant 'T') and "nmea(log) -> Summary(html)"
// (variant 'H'). Returns 0, or -1 when a file could not be opened or written
// in full (disk full).
int RunSummary(RunContext& ctx, char variant);

// Empties the group statistics; elapsed time and distances restart with the
// next group.
void ResetSummaryGroup(RunContext& ctx);

// Adds the current record (one epoch) to the group, closing the group first
// when a limit or the date says so. Rejected records are only counted.
void AccumulateSummary(TextWriter& out, RunContext& ctx, char variant);

// The row of the current group, numbered ctx.store.SplitIndex.
void WriteSummaryRow(TextWriter& out, RunContext& ctx, char variant);

}  // namespace geoplait
