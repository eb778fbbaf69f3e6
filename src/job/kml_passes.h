// The KML conversions: head, point pass, path pass, photo steps, closing
// lines, each pass reading the input again and appending to the output.
#pragma once

#include "engine/run_context.h"

namespace geoplait {

// Runs every pass of a KML conversion for the input family of the current
// mode. The counts left in ctx.store are those of the last pass that counted.
void RunKmlPasses(RunContext& ctx);

// The passes of the NMEA family, one read of the log each.
void RunNmeaPointPass(RunContext& ctx);
void RunNmeaPathPass(RunContext& ctx);

}  // namespace geoplait
