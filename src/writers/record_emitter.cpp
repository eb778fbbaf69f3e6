// The record emitter: every streaming run over NMEA or CSV Full input hands
// each finished record here. It filters the record, may start the next split
// file ("<base>_001<ext>", "<base>_002<ext>", ...) when the track jumps in
// distance, time or (NMEA input) date, writes the record with the line writer
// of the output kind and counts it.
//
// Quirks kept from the file layout users know: the split distance compares
// GapDistance, which is in the MeterMile unit, with a limit in km; a split only
// ever happens before a record that is about to be written, so the first
// record of every split file is the one that crossed a threshold.
#include "writers/record_emitter.h"

#include <cstdio>

#include "engine/record_filter.h"
#include "writers/csv_writer.h"
#include "writers/gpx_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pot_writer.h"

namespace geoplait {

namespace {

using LineWriter = void (*)(TextWriter&, RunContext&);

struct EmitKind {
    char kind;
    LineWriter write;
    bool splitsFromNmea;     // FileSplit applies in the NMEA-input variant
    bool splitsFromCsvFull;  // FileSplit applies in the CSV-Full-input variant
};

constexpr EmitKind kEmitKinds[] = {
    {'P', WritePotLine, false, false},
    {'G', WriteGpxRoutePoint, false, false},
    {'N', WriteNmeaSentences, false, true},
    {'F', WriteCsvFullLine, true, true},
    {'C', WriteCsvCustomLine, true, true},
};

const EmitKind* FindEmitKind(char kind) {
    for (const EmitKind& k : kEmitKinds) {
        if (k.kind == kind) return &k;
    }
    return nullptr;
}

// The extension is taken from the file name only (a dot in a directory name
// does not count), so "<base><ext>" is always the path as entered.
void SplitOutputName(const std::string& path, std::string& base, std::string& extension) {
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart && dot > 0) {
        base.assign(path, 0, dot);
        extension.assign(path, dot, std::string::npos);
    } else {
        base = path;
        extension.clear();
    }
}

std::string SplitFileName(const WriterState& w, int32_t index) {
    char number[16];
    std::snprintf(number, sizeof number, "_%03i", static_cast<int>(index));
    std::string name;
    name.reserve(w.SplitBase.size() + 16 + w.SplitExtension.size());
    name.append(w.SplitBase).append(number).append(w.SplitExtension);
    return name;
}

bool NeedsNewFile(const RunContext& ctx, bool nmeaInput) {
    const TrackStore& store = ctx.store;
    if (store.GapDistance > ctx.run.GapDistanceLimit) return true;
    if (ctx.point.IntervalSec > ctx.run.GapSecondsLimit) return true;
    return nmeaInput && ctx.Current().TrackGroupDate != 0 &&
           ctx.point.LocalDate != store.GroupDate;
}

// Closes the current file and creates the next one; false (after the
// message) when it cannot be created.
bool StartNextFile(TextWriter& out, RunContext& ctx, bool nmeaInput) {
    WriterState& w = ctx.writer;
    if (!w.SplitNamed) {
        SplitOutputName(ctx.Current().OutputFile, w.SplitBase, w.SplitExtension);
        w.SplitNamed = true;
    }
    // A file cut short (disk full) ends the run like a file not created.
    const bool closed = out.Close();
    ++ctx.store.SplitIndex;
    if (!closed || !out.Open(SplitFileName(w, ctx.store.SplitIndex), WriteMode::Create)) {
        ctx.ui.ShowMessage("Output File Not Create", "Error");
        return false;
    }
    if (ctx.Current().Bom == 0) out.DropBom();
    if (nmeaInput) ctx.store.GroupDate = ctx.point.LocalDate;
    return true;
}

void FinishRecord(RunContext& ctx) {
    ClearTrackPoint(ctx.point);
    ++ctx.store.RecordIndex;
}

}  // namespace

void PrepareFileSplit(RunContext& ctx) {
    ctx.store.SplitIndex = 0;
    if (ctx.Current().FileSplit == 0) return;
    WriterState& w = ctx.writer;
    SplitOutputName(ctx.Current().OutputFile, w.SplitBase, w.SplitExtension);
    w.SplitNamed = true;
    ctx.Current().OutputFile = SplitFileName(w, 0);
}

int EmitRecord(TextWriter& out, RunContext& ctx, char kind, InputOrigin origin) {
    if (ctx.writer.OutputLost) {
        ClearTrackPoint(ctx.point);
        return -1;
    }
    const bool nmeaInput = origin == InputOrigin::Nmea;
    if (!AcceptRecordForEmitter(ctx, nmeaInput)) {
        FinishRecord(ctx);
        return 0;
    }
    if (nmeaInput && ctx.store.GroupDate.empty()) ctx.store.GroupDate = ctx.point.LocalDate;

    const EmitKind* k = FindEmitKind(kind);
    const bool splits = k != nullptr && (nmeaInput ? k->splitsFromNmea : k->splitsFromCsvFull);
    if (splits && ctx.Current().FileSplit != 0 && ctx.store.WrittenCount >= 1 &&
        NeedsNewFile(ctx, nmeaInput)) {
        if (!StartNextFile(out, ctx, nmeaInput)) {
            // The record is read but not written; nothing more is.
            ctx.writer.OutputLost = true;
            FinishRecord(ctx);
            return -1;
        }
    }
    if (k != nullptr) k->write(out, ctx);
    ++ctx.store.WrittenCount;
    FinishRecord(ctx);
    return 0;
}

}  // namespace geoplait
