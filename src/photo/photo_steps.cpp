#include "photo/photo_steps.h"

#include "photo/kmz_packager.h"
#include "photo/xmp_sidecar.h"

namespace geoplait {

// A step that could not write ends the photo steps: the run stops and keeps
// none of its outputs.
void RunPhotoSteps(const PhotoRun& r, TrackStore& store, PhotoState& state, const TrackReader& readTrack,
                   const std::function<void()>& beforeCopies) {
    ScanPhotoFolder(r, state);
    if (r.io.StopRequested()) return;
    AdjustPhotoTimes(r.settings, state);
    MatchPhotos(r, state, readTrack);
    if (r.io.StopRequested()) return;
    // Without a single track record there is nothing to place a photo by.
    SetDefaultLocation(r.settings, state);
    CopyPhotos(r, state, beforeCopies);
    if (r.io.StopRequested()) return;
    WritePhotoFolder(r, state);
    if (r.io.StopRequested()) return;
    WriteSidecars(r, state);
    if (store.RecordIndex == 0) {
        store.RecordIndex = state.PlacedCount;
        store.WrittenCount = state.PlacedCount;
    }
}

}  // namespace geoplait
