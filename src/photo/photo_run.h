// What the photo steps use of the run they join, handed to them instead of
// the run context.
#pragma once

#include "engine/run_outputs.h"
#include "engine/run_values.h"
#include "geo/coordinates.h"
#include "settings/convert_settings.h"

namespace geoplait {

struct PhotoRun {
    const ConvertSettings& settings;
    // The signs of the default hemisphere letters (LatitudeNS, LongitudeWE),
    // for a photo position without letters of its own.
    HemisphereSigns defaultSigns;
    // The output's name parts, the local clock, the photo list's path and the
    // override note; the steps add their warnings here.
    RunValues& run;
    RunOutputs io;
};

}  // namespace geoplait
