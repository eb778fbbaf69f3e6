// The record runs. One loop reads the input family's records (TrackInput) and
// hands each to the writer of the output; two small tables say what differs
// by family and by output, so that 31 modes share one run.
//
// By family: NMEA and CSV Full records go through the record emitter (filters,
// derived values, file split, counts); CSV Custom, POT and GPX records are
// checked against the record range only; KML records are written as they
// come. An NMEA output is a plain stream without byte-order mark from CSV
// Custom, POT and GPX input, and a GPX record for NMEA output starts with the
// NMEA defaults, which a GPX point lacks. The GPX creator's handle is spelt in
// lower case from CSV Full and KML input.
#include "job/record_runs.h"

#include "engine/record_filter.h"
#include "job/run_files.h"
#include "job/track_input.h"
#include "readers/reader_text.h"
#include "writers/csv_writer.h"
#include "writers/gpx_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pot_writer.h"
#include "writers/record_emitter.h"
#include "writers/summary_writer.h"

namespace geoplait {

namespace {

// What a record goes through before it is written.
enum class Acceptance { Emitter, RecordRange, Nothing };

struct FamilyRun {
    ModeKind kind;
    Acceptance acceptance;
    InputOrigin origin;     // the emitter's variant
    bool upperCaseHandle;   // of the GPX creator
    WriteMode nmeaMode;     // how an NMEA output is opened
    bool nmeaDefaults;      // for NMEA output each record starts with the NMEA defaults
};

constexpr FamilyRun kFamilyRuns[] = {
    {ModeKind::Nmea, Acceptance::Emitter, InputOrigin::Nmea, true, WriteMode::Create, false},
    {ModeKind::CsvFull, Acceptance::Emitter, InputOrigin::CsvFull, false, WriteMode::Create, false},
    {ModeKind::CsvCustom, Acceptance::RecordRange, InputOrigin::Nmea, true, WriteMode::Plain, false},
    {ModeKind::Pot, Acceptance::RecordRange, InputOrigin::Nmea, true, WriteMode::Plain, false},
    {ModeKind::Gpx, Acceptance::RecordRange, InputOrigin::Nmea, true, WriteMode::Plain, true},
    {ModeKind::KmlLine, Acceptance::Nothing, InputOrigin::Nmea, false, WriteMode::Create, false},
    {ModeKind::KmlPoint, Acceptance::Nothing, InputOrigin::Nmea, false, WriteMode::Create, false},
};

struct OutputRun {
    ModeOutput output;
    OutputKind kind;  // the emitter's output kind, whose line writer writes each record
    void (*head)(TextWriter&, RunContext&, bool upperCaseHandle);
    void (*tail)(TextWriter&);
};

constexpr OutputRun kOutputRuns[] = {
    {ModeOutput::Pot, OutputKind::Pot, [](TextWriter& out, RunContext&, bool) { WritePotHead(out); }, nullptr},
    {ModeOutput::Gpx, OutputKind::GpxRoutePoint, WriteGpxHead, WriteGpxTail},
    {ModeOutput::Nmea, OutputKind::Nmea, nullptr, nullptr},
    {ModeOutput::CsvFull, OutputKind::CsvFull, nullptr, nullptr},
    {ModeOutput::CsvCustom, OutputKind::CsvCustom, nullptr, nullptr},
};

template <typename Row, size_t N, typename Key>
const Row* FindRow(const Row (&rows)[N], Key Row::*key, Key value) {
    for (const Row& row : rows) {
        if (row.*key == value) return &row;
    }
    return nullptr;
}

}  // namespace

void RunRecords(RunContext& ctx, const ConvertMode& mode) {
    const FamilyRun* family = FindRow(kFamilyRuns, &FamilyRun::kind, mode.kind);
    const OutputRun* output = FindRow(kOutputRuns, &OutputRun::output, mode.output);
    if (family == nullptr || output == nullptr) return;

    SplitFiles split;
    if (family->acceptance == Acceptance::Emitter && SplitsOutput(output->kind, family->origin)) {
        PrepareFileSplit(ctx, split);
    }
    TrackInput input;
    if (!OpenRunInput(ctx, input, mode.kind, mode.output == ModeOutput::CsvCustom)) return;
    TextWriter out;
    if (!OpenRunOutput(ctx, out, mode.output == ModeOutput::Nmea ? family->nmeaMode : WriteMode::Create)) return;
    if (output->head != nullptr) output->head(out, ctx, family->upperCaseHandle);

    // The writer's options, decoded once for the run, and its scratch space.
    LineOutput writer{LineWriterOptionsOf(ctx.Current(), ctx.settings.config, ctx.run.TimeDifferenceValue), {}};
    const LineWriter write = LineWriterOf(output->kind);
    const auto writeRecord = [&](RunContext& c) {
        write(out, writer.options, c.point, {c.store.RecordIndex, c.store.WrittenCount}, writer.scratch);
    };
    const bool nmeaDefaults = family->nmeaDefaults && mode.output == ModeOutput::Nmea;
    const auto startRecord = [nmeaDefaults](RunContext& c) {
        ClearTrackPoint(c.point);
        if (nmeaDefaults) FillNmeaDefaults(c.point, c.Current());
    };
    ctx.point.TotalDistance = 0.0;
    startRecord(ctx);
    input.ForEach(ctx, [&](RunContext& c) {
        TrackStore& store = c.store;
        switch (family->acceptance) {
            case Acceptance::Emitter:
                // The emitter counts and clears the record itself.
                EmitRecord(out, c, split, output->kind, family->origin, writer);
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
    });
    if (output->tail != nullptr) output->tail(out);
    out.Close();
}

void RunSummary(RunContext& ctx, const ConvertMode& mode) {
    SummaryWriter summary(mode.output == ModeOutput::SummaryHtml ? SummaryFormat::Html : SummaryFormat::Csv);
    TrackInput input;
    if (!OpenRunInput(ctx, input, mode.kind)) return;
    TextWriter out;
    if (!OpenRunOutput(ctx, out, WriteMode::Create)) return;
    summary.Begin(out, ctx);
    input.ForEach(ctx, [&](RunContext& c) { summary.Add(out, c); });
    summary.End(out, ctx);
    out.Close();
}

}  // namespace geoplait
