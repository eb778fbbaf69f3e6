// How the photo steps join a conversion.
#pragma once

#include "engine/run_context.h"

namespace geoplait {

// The photo steps of a KML conversion, after the path pass: scan, match with
// the track, copy, photo folder. When no pass counted records, the photos
// placed become the counts of the completion message.
void RunPhotoSteps(RunContext& ctx);

// "Photo(Only) -> kml": the KML head, the photo steps without a track (photos
// without their own position stand at the default location), the closing
// lines and the KMZ. The counts are the photos placed.
void RunPhotoOnly(RunContext& ctx);

}  // namespace geoplait
