// KML conversions. The document is never held: the head creates the file,
// then one read of the input writes the placemark and path folders (the path
// by way of a spool) and the photos and the closing follow. What a section
// does with each record depends on the input family (the KML passes of its
// InputFamily row); when the input cannot be opened, that is said and the run
// goes on without the track.
#include "job/kml_passes.h"

#include <utility>

#include "base/text_file.h"
#include "engine/derived_values.h"
#include "engine/record_filter.h"
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
    return OpenRunInput(ctx, input, kind) && OpenRunOutput(ctx.outputs, ctx.Current(), out, WriteMode::Append);
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
    ctx.store.GroupDated = false;
    ctx.store.PreviousPoint.Clear();
}

// The track's records, read once, make the folder of position placemarks and
// the folder "Path". Each section keeps a run state of its own (record
// numbers, counts, groups, the distances measured), as it had when each was
// a pass over the input: the placemarks in `ctx`, the path in a section of
// the run that takes each record where the placemarks left it, with the
// values they derived from the record alone. The placemarks are written
// to the output as they come; the path meanwhile goes to a spool beside it
// and is joined to them once the input is read. The counts that the
// completion (or a cancel) reports are those of the path when there is one,
// as they were of the pass that ran last.
void RunTrackSections(RunContext& ctx, ModeKind kind, const FamilyKmlPasses& passes, KmlRecordWriter& writer,
                      bool points, bool path) {
    TrackInput input;
    TextWriter out;
    if (!OpenPass(ctx, input, out, kind)) return;
    RestartTrack(ctx);
    const bool both = points && path;
    // With both sections the path keeps a record state of its own beside the
    // placemarks': its store, and in `pathPoint` the numbers it keeps in the
    // record (SwapSectionNumbers) while the placemarks take it; the run's
    // values, outputs and cancel it shares.
    TrackPoint pathPoint;
    TrackStore pathStore;
    if (both) {
        pathPoint = ctx.point;
        pathStore = ctx.store;
        pathStore.RecordIndex = 0;
        pathStore.WrittenCount = 0;
    } else if (path) {
        ctx.store.RecordIndex = 0;
        ctx.store.WrittenCount = 0;
    }
    RunContext pathSection(ctx, pathPoint, pathStore);
    RunContext& pc = both ? pathSection : ctx;
    TextWriter spool;
    if (both && !spool.OpenSpool(ctx.outputs, ctx.Current().OutputFile)) return;
    const PathKind lineKind =
        passes.speedGroups && ctx.Current().SpeedGroup != 0 ? PathKind::SpeedGroups : PathKind::LineGroups;
    KmlBuffer pointBuffer(out);
    KmlBuffer pathBuffer(both ? spool : out);
    if (points) OpenPointFolder(pointBuffer);
    if (path) OpenPathFolder(pathBuffer, SectionOf(pc), lineKind);
    const bool ranged = passes.source == TrackSource::PotGpx;
    int32_t pathWritten = 0;
    // With both sections the placemarks leave each record where it is for
    // the path (handed on to itself), the values derived from the record
    // alone with it.
    const auto takePoint = [&](RunContext& c) {
        TrackPoint* const handOn = both ? &c.point : nullptr;
        if (ranged) {
            TakeRangedPlacemark(pointBuffer, c, writer, c.point.*passes.name, handOn);
        } else {
            TakeTrackRecord(pointBuffer, c, writer, PathKind::Placemarks, passes.source, handOn);
        }
    };
    const auto takePath = [&](RunContext& c) {
        if (ranged) {
            TakeGapRecord(pathBuffer, c, writer, pathWritten);
        } else {
            TakeTrackRecord(pathBuffer, c, writer, lineKind, passes.source);
        }
    };
    // The positions are adjusted where the records are read, ahead of the
    // sections that write them, when the path writes them all: placemarks
    // alone may write few of them.
    const PositionsAhead positions{writer.options.adjust, writer.options.defaultSigns, &writer.madeAhead};
    const PositionsAhead* const ahead = path ? &positions : nullptr;
    try {
        input.ForEach(ctx, [&](RunContext& c) {
            if (!both) {
                if (points) takePoint(c);
                if (path) takePath(c);
                return;
            }
            takePoint(c);
            // The path takes the record the placemarks took, with its own
            // numbers, which then make way for the placemarks' again: the
            // record goes on with those. Reported once.
            c.run.ProgressDone = c.run.RecordsRead;
            SwapSectionNumbers(c.point, pathPoint);
            RunContext pathRecord(c, c.point, pathStore);
            takePath(pathRecord);
            SwapSectionNumbers(c.point, pathPoint);
        }, points, ahead);
    } catch (const RunCancelled&) {
        if (both) ctx.store = pathStore;
        ctx.cancelRequested = true;
        throw;
    }
    if (points) ClosePointFolder(pointBuffer);
    pointBuffer.Flush();
    if (path) ClosePathFolder(pathBuffer, SectionOf(pc), lineKind);
    pathBuffer.Flush();
    if (both) {
        spool.AppendTo(out);
        // The path's numbers are those the run goes on with.
        SwapSectionNumbers(ctx.point, pathPoint);
        ctx.store = std::move(pathStore);
    }
    out.Close();
}

}  // namespace

void TakeTrackRecord(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, PathKind kind, TrackSource source,
                     TrackPoint* handOn) {
    const bool accepted = source == TrackSource::Csv ? AcceptRecordForKmlCsv(ctx) : AcceptRecordForKmlNmea(ctx);
    if (accepted) {
        KmlSection section = SectionOf(ctx);
        WriteTrackRecord(out, section, writer, kind, source, handOn);
        return;
    }
    ++ctx.store.RecordIndex;
    if (handOn != nullptr) {
        HandOnRecord(ctx.point, *handOn);
    } else {
        ClearTrackPoint(ctx.point);
    }
}

void TakeGapRecord(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, int32_t& written) {
    TrackStore& store = ctx.store;
    NoteRecordRead(ctx);
    if (!PassesRangeFilter(ctx)) {
        ++store.RecordIndex;
        ClearTrackPoint(ctx.point);
        return;
    }
    if (store.PreviousPoint.Position.known) store.GapDistance = TrackDistance(ctx, store.PreviousPoint);
    store.PreviousPoint.Take(ctx.point);
    ComputeDerived(ctx);
    KmlSection section = SectionOf(ctx);
    WriteGapRecord(out, section, writer, written);
}

void TakeRangedPlacemark(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, std::string_view nameText,
                         TrackPoint* handOn) {
    if (AcceptRecordInRange(ctx)) {
        KmlSection section = SectionOf(ctx);
        WritePositionPlacemark(out, section, writer, nameText);
        ++ctx.store.WrittenCount;
    }
    if (handOn != nullptr) {
        HandOnRecord(ctx.point, *handOn);
    } else {
        ClearTrackPoint(ctx.point);
    }
    ++ctx.store.RecordIndex;
}

void RunKmlPasses(RunContext& ctx, const ConvertMode& mode) {
    const ConvertSettings& s = ctx.Current();
    const FamilyKmlPasses* passes = &FamilyOf(mode.kind).kml;
    if (!passes->track) passes = nullptr;
    // The whole document stays in the run's temporary file until the run
    // completes; a pass that could not write ends the run.
    WriteKmlHeader(ctx.outputs, s);
    if (ctx.StopRequested()) return;
    // The record writers' options, decoded once for both passes, and their scratch space.
    KmlRecordWriter writer{KmlRecordOptionsOf(s, ctx.settings.config, ctx.run), {}};
    if (passes != nullptr && (s.Placemark != 0 || s.TrackLine != 0)) {
        RunTrackSections(ctx, mode.kind, *passes, writer, s.Placemark != 0, s.TrackLine != 0);
    }
    if (ctx.StopRequested()) return;
    // The photos of "Photo(Only) -> kml" have no track to be matched with.
    PhotoState photos;
    TrackReader readTrack;
    if (passes != nullptr) {
        readTrack = TrackReaderOf(ctx, mode.kind);
    }
    if (s.Photo != 0) RunPhotoSteps(PhotoRunOf(ctx), ctx.store, photos, readTrack, ctx.beforePhotoCopies);
    if (ctx.StopRequested()) return;
    WriteKmlClosing(ctx.outputs, s.OutputFile);
    if (ctx.StopRequested()) return;
    if (s.Photo != 0 && s.Kmz != 0) BuildKmz(PhotoRunOf(ctx), photos, ctx.beforeArchiveClose);
    if (s.Photo != 0) ReportLostPhotos(ctx.run, photos);
}

}  // namespace geoplait
