// The record runs. One loop reads the input family's records (TrackInput) and
// hands each to the writer of the output; the family table (InputFamily) and
// the output writers' table (OutputWriter) say what differs, so that every
// mode of records shares one run.
#include "job/record_runs.h"

#include "engine/record_filter.h"
#include "job/input_families.h"
#include "job/run_files.h"
#include "job/track_input.h"
#include "kml/kml_path.h"
#include "readers/reader_text.h"
#include "writers/geojson_writer.h"
#include "writers/output_writers.h"
#include "writers/record_emitter.h"
#include "writers/summary_writer.h"

namespace geoplait {

namespace {

// What a pair of family and output needs beyond the output's writer; every
// other pair has an upper-case GPX creator handle, opens its output as
// created and starts each record empty.
struct PairNeeds {
    ModeKind kind;
    ModeOutput output;
    bool lowerCaseHandle;  // the GPX creator's handle spelt "geoplait"
    WriteMode mode;        // how the output is opened
    bool nmeaDefaults;     // each record starts with the NMEA defaults, which a GPX or FIT point lacks
};

constexpr PairNeeds kPairNeeds[] = {
    {ModeKind::CsvFull, ModeOutput::Gpx, true, WriteMode::Create, false},
    {ModeKind::KmlLine, ModeOutput::Gpx, true, WriteMode::Create, false},
    {ModeKind::KmlPoint, ModeOutput::Gpx, true, WriteMode::Create, false},
    // A plain stream without byte-order mark.
    {ModeKind::CsvCustom, ModeOutput::Nmea, false, WriteMode::Plain, false},
    {ModeKind::Pot, ModeOutput::Nmea, false, WriteMode::Plain, false},
    {ModeKind::Gpx, ModeOutput::Nmea, false, WriteMode::Plain, true},
    {ModeKind::Fit, ModeOutput::Nmea, false, WriteMode::Plain, true},
};

PairNeeds NeedsOf(const ConvertMode& mode) {
    for (const PairNeeds& needs : kPairNeeds) {
        if (needs.kind == mode.kind && needs.output == mode.output) return needs;
    }
    return {mode.kind, mode.output, false, WriteMode::Create, false};
}

}  // namespace

void RunRecords(RunContext& ctx, const ConvertMode& mode) {
    const FamilyRecordRun* family = &FamilyOf(mode.kind).run;
    const OutputWriter* output = OutputWriterOf(mode.output);
    if (output == nullptr) return;

    SplitFiles split;
    if (family->acceptance == Acceptance::Emitter && SplitsOutput(*output, family->origin)) {
        PrepareFileSplit(ctx.Current(), ctx.store, split);
    }
    TrackInput input;
    if (!OpenRunInput(ctx, input, mode.kind, mode.output == ModeOutput::CsvCustom)) return;
    TextWriter out;
    const PairNeeds needs = NeedsOf(mode);
    if (!OpenRunOutput(ctx.outputs, ctx.Current(), out, needs.mode)) return;

    // The writer's options, decoded once for the run, and its scratch space.
    LineOutput writer{LineWriterOptionsOf(ctx.Current(), ctx.settings.config), {}};
    if (output->head != nullptr) output->head(out, writer.options, ctx.Current().Name, !needs.lowerCaseHandle);
    if (output->fileHead != nullptr) output->fileHead(out, writer.options);
    const LineWriter write = output->write;
    const auto writeRecord = [&](RunContext& c) {
        NoteGapDistance(c);
        const bool lineCut = c.store.WrittenCount > 0 && GapBeforeRecord(c);
        write(out, writer.options, c.point, {c.store.RecordIndex, c.store.WrittenCount, lineCut}, writer.scratch);
    };
    const bool nmeaDefaults = needs.nmeaDefaults;
    const auto startRecord = [nmeaDefaults](RunContext& c) {
        ClearTrackPoint(c.point);
        if (nmeaDefaults) FillNmeaDefaults(c.point, c.Current());
    };
    ctx.point.TotalDistance = 0.0;
    startRecord(ctx);
    const auto takeRecord = [&](RunContext& c) {
        TrackStore& store = c.store;
        switch (family->acceptance) {
            case Acceptance::Emitter:
                // The emitter counts and clears the record itself.
                EmitRecord(out, {c.Current(), c.run, c.point, c.store, OutputsOf(c)},
                           [&] { return AcceptRecordForEmitter(c, family->origin == InputOrigin::Nmea); }, split,
                           *output, family->origin, writer);
                return;
            case Acceptance::RecordRange:
                if (!AcceptRecordInRange(c)) break;
                writeRecord(c);
                ++store.WrittenCount;
                break;
            case Acceptance::Nothing:
                NoteRecordRead(c);
                DeriveRecordValues(c);
                writeRecord(c);
                ++store.WrittenCount;
                break;
        }
        ++store.RecordIndex;
        startRecord(c);
    };
    // A line per record: the run makes its records of the texts read.
    input.ForEach(ctx, takeRecord, false, nullptr, MakeRecords::kWhereTaken);
    if (output->tail != nullptr) output->tail(out, writer.options);
    out.Close();
}

void RunSummary(RunContext& ctx, const ConvertMode& mode) {
    const SummaryFormat format = mode.output == ModeOutput::SummaryHtml ? SummaryFormat::Html : SummaryFormat::Csv;
    TrackInput input;
    if (!OpenRunInput(ctx, input, mode.kind)) return;
    TextWriter out;
    if (!OpenRunOutput(ctx.outputs, ctx.Current(), out, WriteMode::Create)) return;
    SummaryWriter summary(SummaryOptionsOf(ctx.Current(), ctx.run, format));
    summary.Begin(out, ctx.point, ctx.store);
    input.ForEach(ctx, [&](RunContext& c) { summary.Add(out, c.point, c.store, AcceptRecordForEmitter(c, true)); });
    summary.End(out, ctx.store);
    out.Close();
}

void RunGeoJson(RunContext& ctx, const ConvertMode& mode) {
    const FamilyRecordRun* family = &FamilyOf(mode.kind).run;
    TrackInput input;
    if (!OpenRunInput(ctx, input, mode.kind)) return;
    TextWriter out;
    if (!OpenRunOutput(ctx.outputs, ctx.Current(), out, WriteMode::Create)) return;
    GeoJsonWriter geojson;
    const bool points = mode.kind == ModeKind::KmlPoint;
    if (!geojson.Begin(out, ctx.outputs, GeoJsonOptionsOf(ctx.Current(), ctx.settings.config, points))) return;
    const bool nmea = family->acceptance == Acceptance::Emitter && family->origin == InputOrigin::Nmea;
    const bool speedGroups = FamilyOf(mode.kind).kml.speedGroups && ctx.Current().SpeedGroup != 0;
    ctx.point.TotalDistance = 0.0;
    ClearTrackPoint(ctx.point);
    bool spoolFailed = false;  // a group's spools could not be made: the run ends unwritten
    input.ForEach(ctx, [&](RunContext& c) {
        if (spoolFailed) return;
        TrackStore& store = c.store;
        bool accepted = true;
        switch (family->acceptance) {
            case Acceptance::Emitter:
                // The emitter's filter notes the gap to the record before.
                accepted = AcceptRecordForEmitter(c, nmea);
                break;
            case Acceptance::RecordRange:
                accepted = AcceptRecordInRange(c);
                if (accepted) NoteGapDistance(c);
                break;
            case Acceptance::Nothing:
                NoteRecordRead(c);
                DeriveRecordValues(c);
                NoteGapDistance(c);
                break;
        }
        if (accepted) {
            // The line groups of the KML path: a gap in distance or time (or,
            // for a log, a new date) starts the next group; with speed groups
            // a new speed range does, and a gap only cuts the group's line.
            const bool gap = store.WrittenCount > 0 && (GapBeforeRecord(c) || (nmea && DateGroupChanges(c)));
            int32_t group = store.SplitIndex;
            if (speedGroups) {
                group = SpeedGroupIndex(c.Current(), c.point);
                if (store.WrittenCount == 0) store.SplitIndex = group;
            } else if (gap) {
                group = store.SplitIndex >= kGroupCount - 1 ? 0 : store.SplitIndex + 1;
            }
            const bool newGroup = store.WrittenCount > 0 && (group != store.SplitIndex || (gap && !speedGroups));
            if (newGroup) {
                // Without a gap the old speed group ends with this record, so the groups join.
                if (speedGroups && !gap) geojson.Add(out, c.point, store.RecordIndex, false);
                if (!geojson.EndGroup(out, store.SplitIndex)) {
                    spoolFailed = true;
                    return;
                }
                store.SplitIndex = group;
            }
            geojson.Add(out, c.point, store.RecordIndex, gap && !newGroup);
            if (gap && nmea) SetGroupDate(c);
            ++store.WrittenCount;
        }
        ++store.RecordIndex;
        ClearTrackPoint(c.point);
    });
    if (spoolFailed) return;
    geojson.End(out, ctx.store.SplitIndex);
    out.Close();
}

}  // namespace geoplait
