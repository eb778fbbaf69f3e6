// KML conversions pass by pass. The document is never held: the head creates
// the file, then each pass opens the input again from its first line and the
// output for appending, writes its folder and closes both. What a pass does
// with each record depends on the input family (the KML passes of its
// InputFamily row); a pass that cannot open a file says so and is skipped,
// and the run goes on.
#include "job/kml_passes.h"

#include "base/text_file.h"
#include "job/input_families.h"
#include "job/run_files.h"
#include "job/track_input.h"
#include "kml/kml_document.h"
#include "kml/kml_path.h"
#include "kml/kml_placemark.h"
#include "photo/kmz_packager.h"
#include "photo/photo_steps.h"

namespace geoplait {

namespace {

// Opens both files of a pass; false (the pass is skipped) when either fails.
bool OpenPass(RunContext& ctx, TrackInput& input, TextWriter& out, ModeKind kind) {
    return OpenRunInput(ctx, input, kind) && OpenRunOutput(ctx, out, WriteMode::Append);
}

// Every pass measures its track afresh: from no previous point (the pass
// before left the track's last point behind; measured from there, the first
// record could break off an empty first group), with no distance gone and
// nothing written since.
void RestartTrack(RunContext& ctx) {
    TrackPoint& p = ctx.point;
    ClearTrackPoint(p);
    p.TotalDistance = 0.0;
    p.IntervalDistance = 0.0;
    p.StartDistance = 0.0;
    p.IntervalSec = 0;
    ctx.store.GapDistance = 0.0;
    ctx.store.SinceWrittenDistance = 9999999.0;
    ctx.store.GroupDate.clear();
    ctx.store.PreviousPoint.Clear();
}

void RunPointPass(RunContext& ctx, ModeKind kind, const FamilyKmlPasses& passes, KmlRecordWriter& writer) {
    TrackInput input;
    TextWriter out;
    if (!OpenPass(ctx, input, out, kind)) return;
    RestartTrack(ctx);
    KmlBuffer buffer(out);
    OpenPointFolder(buffer);
    if (passes.source == TrackSource::PotGpx) {
        input.ForEach(ctx, [&](RunContext& c) { WriteRangedPlacemark(buffer, c, writer, c.point.*passes.name); });
    } else {
        input.ForEach(ctx, [&](RunContext& c) { WriteTrackRecord(buffer, c, writer, PathKind::Placemarks, passes.source); });
    }
    ClosePointFolder(buffer);
    buffer.Flush();
    out.Close();
}

void RunPathPass(RunContext& ctx, ModeKind kind, const FamilyKmlPasses& passes, KmlRecordWriter& writer) {
    TrackInput input;
    TextWriter out;
    if (!OpenPass(ctx, input, out, kind)) return;
    RestartTrack(ctx);
    const PathKind lineKind =
        passes.speedGroups && ctx.Current().SpeedGroup != 0 ? PathKind::SpeedGroups : PathKind::LineGroups;
    KmlBuffer buffer(out);
    OpenPathFolder(buffer, ctx, lineKind);
    if (passes.source == TrackSource::PotGpx) {
        int32_t written = 0;
        input.ForEach(ctx, [&](RunContext& c) { WriteGapRecord(buffer, c, writer, written); });
    } else {
        input.ForEach(ctx, [&](RunContext& c) { WriteTrackRecord(buffer, c, writer, lineKind, passes.source); });
    }
    ClosePathFolder(buffer, ctx, lineKind);
    buffer.Flush();
    out.Close();
}

}  // namespace

void RunKmlPasses(RunContext& ctx, const ConvertMode& mode) {
    const ConvertSettings& s = ctx.Current();
    const FamilyKmlPasses* passes = &FamilyOf(mode.kind).kml;
    if (!passes->track) passes = nullptr;
    // The whole document stays in the run's temporary file until the run
    // completes; a pass that could not write ends the run.
    WriteKmlHeader(ctx);
    if (ctx.StopRequested()) return;
    // The record writers' options, decoded once for both passes, and their scratch space.
    KmlRecordWriter writer{KmlRecordOptionsOf(s, ctx.settings.config, ctx.run), {}};
    if (s.Placemark != 0 && passes != nullptr) RunPointPass(ctx, mode.kind, *passes, writer);
    if (ctx.StopRequested()) return;
    if (s.TrackLine != 0 && passes != nullptr) {
        ctx.store.RecordIndex = 0;
        ctx.store.WrittenCount = 0;
        RunPathPass(ctx, mode.kind, *passes, writer);
    }
    if (ctx.StopRequested()) return;
    // The photos of "Photo(Only) -> kml" have no track to be matched with.
    PhotoState photos;
    TrackReader readTrack;
    if (passes != nullptr) {
        readTrack = [kind = mode.kind](RunContext& c, const RecordSink& take) {
            TrackInput input;
            if (!input.Open(c, kind)) return false;
            input.ForEach(c, take);
            return true;
        };
    }
    if (s.Photo != 0) RunPhotoSteps(ctx, photos, readTrack);
    if (ctx.StopRequested()) return;
    WriteKmlClosing(ctx);
    if (ctx.StopRequested()) return;
    if (s.Photo != 0 && s.Kmz != 0) BuildKmz(ctx, photos);
    if (s.Photo != 0) ReportLostPhotos(ctx, photos);
}

}  // namespace geoplait
