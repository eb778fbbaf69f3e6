// Runs of the conversion job that drive the record emitter themselves.
#pragma once

#include "engine/run_context.h"

namespace geoplait {

// "nmea(log) -> pot": the DAT line, then every epoch of the log through the
// record emitter as a POT line (POT output is never split).
void RunNmeaToPot(RunContext& ctx);

}  // namespace geoplait
