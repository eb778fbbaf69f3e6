// How the photo steps join a KML conversion.
#pragma once

#include <functional>

#include "engine/track_point.h"
#include "photo/photo_folder.h"
#include "photo/photo_run.h"
#include "photo/photo_state.h"

namespace geoplait {

// The photo steps of a KML conversion, after the path pass: scan, match with
// the track `readTrack` reads (none for "Photo(Only) -> kml": photos without
// their own position then stand at the default location), copy, photo
// folder, sidecars. When no pass counted records (`store`), the photos placed
// become the counts of the completion message. `beforeCopies` as CopyPhotos.
void RunPhotoSteps(const PhotoRun& r, TrackStore& store, PhotoState& state, const TrackReader& readTrack,
                   const std::function<void()>& beforeCopies);

}  // namespace geoplait
