// How the photo steps join a KML conversion.
#pragma once

#include "engine/run_context.h"
#include "photo/photo_folder.h"
#include "photo/photo_state.h"

namespace geoplait {

// The photo steps of a KML conversion, after the path pass: scan, match with
// the track `readTrack` reads (none for "Photo(Only) -> kml": photos without
// their own position then stand at the default location), copy, photo
// folder. When no pass counted records, the photos placed become the counts
// of the completion message.
void RunPhotoSteps(RunContext& ctx, PhotoState& state, const TrackReader& readTrack);

}  // namespace geoplait
