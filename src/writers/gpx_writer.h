// GPX 1.1 output: the document frame around one route, one route point per record.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

// Head up to the route's name; `upperCaseHandle` selects the creator handle's
// spelling, which depends on the input.
void WriteGpxHead(TextWriter& out, RunContext& ctx, bool upperCaseHandle);
void WriteGpxTail(TextWriter& out);
// One <rtept> for the current record.
void WriteGpxRoutePoint(TextWriter& out, RunContext& ctx);

// "nmea(log) -> gpx". Returns 0, or -1 when a file could not be opened.
int RunNmeaToGpx(RunContext& ctx);

}  // namespace geoplait
