// KML conversions pass by pass. The document is never held: the head creates
// the file, then each pass opens the input again from its first line and the
// output for appending, writes its folder and closes both. Which point and
// path passes run depends on the input family (table below); a pass that
// cannot open a file says so and is skipped, and the run goes on.
#include "kml/kml_passes.h"

#include "engine/mode_table.h"
#include "engine/run_files.h"
#include "engine/text_file.h"
#include "kml/kml_document.h"
#include "kml/kml_path.h"
#include "kml/kml_placemark.h"
#include "readers/nmea_reader.h"

namespace geoplait {

namespace {

struct KmlFamilyPasses {
    ModeKind kind;
    ModeProcedure pointPass;  // run when Placemark is on
    ModeProcedure pathPass;   // run when TrackLine is on
};

// The CSV Full, CSV Custom, POT and GPX families join with their readers.
constexpr KmlFamilyPasses kKmlFamilyPasses[] = {
    {ModeKind::Nmea, RunNmeaPointPass, RunNmeaPathPass},
};

const KmlFamilyPasses* PassesOf(const RunContext& ctx) {
    const ModeEntry* mode = FindModeByDisplayText(ctx.Current().Mode);
    if (mode == nullptr) return nullptr;
    for (const KmlFamilyPasses& passes : kKmlFamilyPasses) {
        if (passes.kind == mode->kind) return &passes;
    }
    return nullptr;
}


// HOOK, photo steps: ScanPhotoFolder, MatchPhotos, CopyPhotos and
// WritePhotoFolder go here, followed by the photo count for the completion
// message when no pass counted. Not built yet: does nothing.
void RunPhotoSteps(RunContext& /*ctx*/) {}

// HOOK, KMZ package of the KML and its photos. Not built yet: does nothing.
void RunKmzStep(RunContext& /*ctx*/) {}

}  // namespace

void RunNmeaPointPass(RunContext& ctx) {
    TextReader in;
    TextWriter out;
    if (!OpenRunFiles(ctx, in, out, WriteMode::Append)) return;
    ctx.point.TotalDistance = 0.0;
    ctx.point.IntervalDistance = 0.0;
    ctx.point.StartDistance = 0.0;
    ctx.store.GapDistance = 0.0;
    ctx.store.SinceWrittenDistance = 9999999.0;
    ctx.store.GroupDate.clear();
    KmlBuffer buffer(out);
    OpenPointFolder(buffer);
    ReadNmeaEpochs(in, ctx, [&buffer](RunContext& c) { WriteTrackRecord(buffer, c, 'P', TrackSource::Nmea); });
    ClosePointFolder(buffer);
    buffer.Flush();
    out.Close();
}

void RunNmeaPathPass(RunContext& ctx) {
    TextReader in;
    TextWriter out;
    if (!OpenRunFiles(ctx, in, out, WriteMode::Append)) return;
    ctx.point.TotalDistance = 0.0;
    ctx.store.GroupDate.clear();
    ctx.store.GapDistance = 0.0;
    ctx.store.SinceWrittenDistance = 9999999.0;
    // The point pass left the track's last point behind; measured from there,
    // the first record of the path would break off an empty first group
    // whenever the track ends farther than LineDistance from its start.
    ctx.store.PreviousPoint.Clear();
    const char kind = ctx.Current().SpeedGroup != 0 ? 'S' : 'L';
    KmlBuffer buffer(out);
    OpenPathFolder(buffer, ctx, kind);
    ReadNmeaEpochs(in, ctx, [&buffer, kind](RunContext& c) { WriteTrackRecord(buffer, c, kind, TrackSource::Nmea); });
    ClosePathFolder(buffer, ctx, kind);
    buffer.Flush();
    out.Close();
}

void RunKmlPasses(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    const KmlFamilyPasses* passes = PassesOf(ctx);
    // The whole document stays in the run's temporary file until the run
    // completes; a pass that could not write ends the run.
    WriteKmlHeader(ctx);
    if (ctx.StopRequested()) return;
    if (s.Placemark != 0 && passes != nullptr) passes->pointPass(ctx);
    if (ctx.StopRequested()) return;
    if (s.TrackLine != 0 && passes != nullptr) {
        ctx.store.RecordIndex = 0;
        ctx.store.WrittenCount = 0;
        passes->pathPass(ctx);
    }
    if (ctx.StopRequested()) return;
    if (s.Photo != 0) RunPhotoSteps(ctx);
    if (ctx.StopRequested()) return;
    WriteKmlClosing(ctx);
    if (ctx.StopRequested()) return;
    if (s.Photo != 0 && s.Kmz != 0) RunKmzStep(ctx);
}

}  // namespace geoplait
