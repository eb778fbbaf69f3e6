#include "photo/photo_steps.h"

#include "photo/kmz_packager.h"
#include "photo/xmp_sidecar.h"

namespace geoplait {

// A step that could not write ends the photo steps: the run stops and keeps
// none of its outputs.
void RunPhotoSteps(RunContext& ctx, PhotoState& state, const TrackReader& readTrack) {
    ScanPhotoFolder(ctx, state);
    if (ctx.StopRequested()) return;
    AdjustPhotoTimes(ctx, state);
    MatchPhotos(ctx, state, readTrack);
    if (ctx.StopRequested()) return;
    // Without a single track record there is nothing to place a photo by.
    SetDefaultLocation(ctx, state);
    CopyPhotos(ctx, state);
    if (ctx.StopRequested()) return;
    WritePhotoFolder(ctx, state);
    if (ctx.StopRequested()) return;
    WriteSidecars(ctx, state);
    if (ctx.store.RecordIndex == 0) {
        ctx.store.RecordIndex = state.PlacedCount;
        ctx.store.WrittenCount = state.PlacedCount;
    }
}

}  // namespace geoplait
