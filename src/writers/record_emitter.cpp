// The record emitter: every streaming run over NMEA or CSV Full input hands
// each finished record here. It filters the record, may start the next split
// file ("<base>_001<ext>", "<base>_002<ext>", ...) when the track jumps in
// distance, time or (NMEA input) date, writes the record with the line writer
// of the output and counts it.
//
// A split only ever happens before a record that is about to be written, so
// the first record of every split file is the one that crossed a threshold.
// The split distance is compared in km whatever MeterMile says; a record
// without a date never splits by date.
#include "writers/record_emitter.h"

#include <cstdio>

#include "engine/record_filter.h"

namespace geoplait {

namespace {

// "<base><ext>" is always the path as entered.
void SplitOutputName(const std::string& path, std::string& base, std::string& extension) {
    const size_t dot = ExtensionStart(path);
    if (dot != std::string::npos) {
        base.assign(path, 0, dot);
        extension.assign(path, dot, std::string::npos);
    } else {
        base = path;
        extension.clear();
    }
}

std::string SplitFileName(const SplitFiles& split, int32_t index) {
    char number[16];
    std::snprintf(number, sizeof number, "_%03i", static_cast<int>(index));
    std::string name;
    name.reserve(split.base.size() + 16 + split.extension.size());
    name.append(split.base).append(number).append(split.extension);
    return name;
}

bool NeedsNewFile(const RunContext& ctx, bool nmeaInput) {
    const TrackStore& store = ctx.store;
    if (store.GapDistance > ctx.run.GapDistanceLimit) return true;
    if (ctx.point.IntervalSec > ctx.run.GapSecondsLimit) return true;
    return nmeaInput && DateGroupChanges(ctx);
}

// Closes the current file and creates the next one; false when either
// failed (the run stops then).
bool StartNextFile(TextWriter& out, RunContext& ctx, SplitFiles& split, bool nmeaInput, const OutputWriter& writer,
                   const LineWriterOptions& options) {
    if (!split.named) {
        SplitOutputName(ctx.Current().OutputFile, split.base, split.extension);
        split.named = true;
    }
    ++ctx.store.SplitIndex;
    if (!out.Close() || !out.Open(ctx.outputs, SplitFileName(split, ctx.store.SplitIndex), WriteMode::Create)) {
        return false;
    }
    if (ctx.Current().Bom == 0) out.DropBom();
    if (writer.fileHead != nullptr) writer.fileHead(out, options);
    if (nmeaInput) SetGroupDate(ctx);
    return true;
}

void FinishRecord(RunContext& ctx) {
    ClearTrackPoint(ctx.point);
    ++ctx.store.RecordIndex;
}

}  // namespace

void PrepareFileSplit(ConvertSettings& s, TrackStore& store, SplitFiles& split) {
    store.SplitIndex = 0;
    if (s.FileSplit == 0) return;
    SplitOutputName(s.OutputFile, split.base, split.extension);
    split.named = true;
    s.OutputFile = SplitFileName(split, 0);
}

int EmitRecord(TextWriter& out, RunContext& ctx, SplitFiles& split, const OutputWriter& writer, InputOrigin origin,
               LineOutput& line) {
    if (ctx.StopRequested()) {
        ClearTrackPoint(ctx.point);
        return -1;
    }
    const bool nmeaInput = origin == InputOrigin::Nmea;
    if (!AcceptRecordForEmitter(ctx, nmeaInput)) {
        FinishRecord(ctx);
        return 0;
    }

    // The gap that cuts a line here starts a split file or (GPX track) a new
    // track segment.
    const bool lineCut = ctx.store.WrittenCount >= 1 && NeedsNewFile(ctx, nmeaInput);
    if (SplitsOutput(writer, origin) && ctx.Current().FileSplit != 0 && lineCut) {
        if (!StartNextFile(out, ctx, split, nmeaInput, writer, line.options)) {
            // The record is read but not written; nothing more is.
            FinishRecord(ctx);
            return -1;
        }
    }
    writer.write(out, line.options, ctx.point, {ctx.store.RecordIndex, ctx.store.WrittenCount, lineCut},
                 line.scratch);
    // A new date starts the next piece's date group as a split file does.
    if (lineCut && nmeaInput) SetGroupDate(ctx);
    ++ctx.store.WrittenCount;
    FinishRecord(ctx);
    return 0;
}

}  // namespace geoplait
