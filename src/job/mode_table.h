// How the job runs each mode of the mode list (kConvertModes).
#pragma once

#include <array>

#include "engine/run_context.h"
#include "settings/convert_modes.h"

namespace geoplait {

// The procedure of a mode: it opens, reads, writes and counts by itself.
using ModeProcedure = void (*)(RunContext&, const ConvertMode&);

// The procedure of a mode, from its output and input family: KML by the
// passes, the summaries by their own loop, an NMEA log copied to NMEA by the
// pass-through, every other output by the record runs.
ModeProcedure ProcedureOf(const ConvertMode& mode);

// The procedure of each mode, row by row in the order of kConvertModes.
extern const std::array<ModeProcedure, kModeCount> kModeTable;

}  // namespace geoplait
