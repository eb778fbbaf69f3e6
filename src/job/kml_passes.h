// The KML conversions: head, point pass, path pass, photo steps, closing
// lines, each pass reading the input again and appending to the output.
#pragma once

#include "engine/run_context.h"
#include "settings/convert_modes.h"

namespace geoplait {

// Runs every pass of a KML conversion for the input family of `mode` (for
// "Photo(Only) -> kml" only the photo steps). The counts left in ctx.store
// are those of the last pass that counted.
void RunKmlPasses(RunContext& ctx, const ConvertMode& mode);

}  // namespace geoplait
