#include "photo/photo_steps.h"

#include "kml/kml_document.h"
#include "photo/kmz_packager.h"
#include "photo/photo_folder.h"

namespace geoplait {

// A step that could not write ends the photo steps: the run stops and keeps
// none of its outputs.
void RunPhotoSteps(RunContext& ctx) {
    ScanPhotoFolder(ctx);
    if (ctx.StopRequested()) return;
    MatchPhotos(ctx);
    // Without a single track record there is nothing to place a photo by.
    SetDefaultLocation(ctx);
    CopyPhotos(ctx);
    if (ctx.StopRequested()) return;
    WritePhotoFolder(ctx);
    if (ctx.store.RecordIndex == 0) {
        ctx.store.RecordIndex = ctx.photo.PlacedCount;
        ctx.store.WrittenCount = ctx.photo.PlacedCount;
    }
}

void RunPhotoOnly(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    WriteKmlHeader(ctx);
    if (s.Photo != 0 && !ctx.StopRequested()) {
        ScanPhotoFolder(ctx);
        SetDefaultLocation(ctx);
        if (!ctx.StopRequested()) CopyPhotos(ctx);
        if (!ctx.StopRequested()) WritePhotoFolder(ctx);
    }
    if (ctx.StopRequested()) return;
    WriteKmlClosing(ctx);
    if (ctx.StopRequested()) return;
    if (s.Photo != 0 && s.Kmz != 0) BuildKmz(ctx);
    ctx.store.RecordIndex = ctx.photo.PlacedCount;
    ctx.store.WrittenCount = ctx.photo.PlacedCount;
}

}  // namespace geoplait
