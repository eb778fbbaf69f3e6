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

#include "engine/track_point.h"

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

bool NeedsNewFile(const EmitterRun& r, bool nmeaInput) {
    if (r.store.GapDistance > r.run.GapDistanceLimit) return true;
    if (r.point.IntervalSec > r.run.GapSecondsLimit) return true;
    return nmeaInput && DateGroupChanges(r.settings.TrackGroupDate != 0, r.point, r.store);
}

// Closes the current file and creates the next one; false when either
// failed (the run stops then).
bool StartNextFile(TextWriter& out, const EmitterRun& r, SplitFiles& split, bool nmeaInput, const OutputWriter& writer,
                   const LineWriterOptions& options) {
    if (!split.named) {
        SplitOutputName(r.settings.OutputFile, split.base, split.extension);
        split.named = true;
    }
    ++r.store.SplitIndex;
    if (!out.Close() || !out.Open(r.io.files, SplitFileName(split, r.store.SplitIndex), WriteMode::Create)) {
        return false;
    }
    if (r.settings.Bom == 0) out.DropBom();
    if (writer.fileHead != nullptr) writer.fileHead(out, options);
    if (nmeaInput) SetGroupDate(r.point, r.store);
    return true;
}

void FinishRecord(const EmitterRun& r) {
    ClearTrackPoint(r.point);
    ++r.store.RecordIndex;
}

}  // namespace

void PrepareFileSplit(ConvertSettings& s, TrackStore& store, SplitFiles& split) {
    store.SplitIndex = 0;
    if (s.FileSplit == 0) return;
    SplitOutputName(s.OutputFile, split.base, split.extension);
    split.named = true;
    s.OutputFile = SplitFileName(split, 0);
}

int EmitJudgedRecord(TextWriter& out, const EmitterRun& r, bool accepted, SplitFiles& split,
                     const OutputWriter& writer, InputOrigin origin, LineOutput& line) {
    const bool nmeaInput = origin == InputOrigin::Nmea;
    if (!accepted) {
        FinishRecord(r);
        return 0;
    }

    // The gap that cuts a line here starts a split file or (GPX track) a new
    // track segment.
    const bool lineCut = r.store.WrittenCount >= 1 && NeedsNewFile(r, nmeaInput);
    if (SplitsOutput(writer, origin) && r.settings.FileSplit != 0 && lineCut) {
        if (!StartNextFile(out, r, split, nmeaInput, writer, line.options)) {
            // The record is read but not written; nothing more is.
            FinishRecord(r);
            return -1;
        }
    }
    writer.write(out, line.options, r.point, {r.store.RecordIndex, r.store.WrittenCount, lineCut}, line.scratch);
    // A new date starts the next piece's date group as a split file does.
    if (lineCut && nmeaInput) SetGroupDate(r.point, r.store);
    ++r.store.WrittenCount;
    FinishRecord(r);
    return 0;
}

}  // namespace geoplait
