#include "photo/photo_steps.h"

#include "kml/kml_document.h"
#include "photo/kmz_packager.h"
#include "photo/photo_folder.h"

namespace geoplait {

void RunPhotoSteps(RunContext& ctx) {
    ScanPhotoFolder(ctx);
    MatchPhotos(ctx);
    // Without a single track record there is nothing to place a photo by.
    SetDefaultLocation(ctx);
    CopyPhotos(ctx);
    WritePhotoFolder(ctx);
    if (ctx.store.RecordIndex == 0) {
        ctx.store.RecordIndex = ctx.photo.PlacedCount;
        ctx.store.WrittenCount = ctx.photo.PlacedCount;
    }
}

void RunPhotoOnly(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    WriteKmlHeader(ctx);
    if (s.Photo != 0) {
        ScanPhotoFolder(ctx);
        SetDefaultLocation(ctx);
        CopyPhotos(ctx);
        WritePhotoFolder(ctx);
    }
    WriteKmlClosing(ctx);
    if (s.Photo != 0 && s.Kmz != 0) BuildKmz(ctx);
    ctx.store.RecordIndex = ctx.photo.PlacedCount;
    ctx.store.WrittenCount = ctx.photo.PlacedCount;
}

}  // namespace geoplait
