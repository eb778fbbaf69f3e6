// "nmea(log) -> nmea(log)": the log is copied epoch by epoch, the epochs of
// the reader's records (NmeaEpochLoop); epochs that fail the filters are
// dropped, the lines of an accepted epoch are kept byte for byte from their
// "$" (what stood before it on the line is left out). What the loop leaves
// out (a sentence whose checksum fails, a line of binary bytes without a
// sentence, a line over 4095 characters) is left out here too; an epoch
// keeps its first 1024 lines, and what it had beyond is counted. With the datum shift only the GGA and RMC lines are
// rebuilt. With the file split the output is cut into files named
// base_20yymmdd-hhmmss.ext by the local date and time of each file's first
// epoch.
#include "job/record_runs.h"
#include "job/run_files.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/derived_values.h"
#include "engine/record_filter.h"
#include "base/text_file.h"
#include "geo/time_difference.h"
#include "readers/nmea_reader.h"
#include "writers/nmea_writer.h"

namespace geoplait {

namespace {

constexpr size_t kEpochLines = 1024;

// State of one pass-through run.
struct PassThrough {
    std::string base;       // OutputFile without ".ext"
    std::string extension;  // without the dot
    bool hasExtension = false;
    TextWriter out;
    std::string fileName;  // scratch for split names
    std::vector<std::string> table;  // the epoch's lines; grown, never shrunk
    size_t lines = 0;
    InputLosses losses;
    LineScratch scratch;  // for the sentences written with the datum shift
};

// OutputFile cut at the last "." of its file name (a "." in a directory name
// or at the start of the file name does not count).
void SplitOutputName(const std::string& path, PassThrough& run) {
    const size_t dot = ExtensionStart(path);
    if (dot != std::string::npos) {
        run.base.assign(path, 0, dot);
        run.extension.assign(path, dot + 1);
        run.hasExtension = true;
    } else {
        run.base = path;
        run.extension.clear();
        run.hasExtension = false;
    }
}

// A character of the date or time in a file name: a digit, or "0" for
// anything else the log held there (a "/" or a control character must not
// reach the name).
char NameDigit(char c) { return c >= '0' && c <= '9' ? c : '0'; }

// "base_20yymmdd-hhmmss.ext" from the record's local date and time. The date
// characters are taken by position as the date slot holds them; the name ends
// its date part at the slot's end, as the record stamp does.
void SplitFileName(RunContext& ctx, PassThrough& run) {
    std::string& name = run.fileName;
    name = run.base;
    name += "_20";
    const size_t dateStart = name.size();
    const TrackPoint& point = ctx.point;
    if (point.Local.date == DateKind::Known) {
        char digits[6];
        name.append(digits, static_cast<size_t>(PutYymmdd(digits, point.Local.day) - digits));
    } else {
        // A date that is none keeps the characters of its slot as read.
        AppendDateSlotDigits(name, UnknownDateText(point));
        for (size_t i = dateStart; i < name.size(); ++i) name[i] = NameDigit(name[i]);
    }
    name += '-';
    if (point.Local.timeKnown) {
        std::string time;
        AssignClockDigits(time, point.Local.second);
        for (char c : time) name += NameDigit(c);
    }
    if (run.hasExtension) {
        name += '.';
        name += run.extension;
    }
}

// Closes the current file and creates the next; false when either failed
// (the run stops then). Two pieces named alike never overwrite each other:
// the later one gets a numbered name.
bool OpenOutput(RunContext& ctx, PassThrough& run, const std::string& path) {
    if (!run.out.Close() || !run.out.Open(ctx.outputs, path, WriteMode::Create)) return false;
    if (ctx.Current().Bom == 0) run.out.DropBom();
    run.out.KeepBytes();
    return true;
}

// One epoch of the pass-through. False when the run must end (a file could
// not be created).
bool WriteEpoch(RunContext& ctx, PassThrough& run) {
    const ConvertSettings& s = ctx.Current();
    TrackStore& store = ctx.store;
    for (size_t i = 0; i < run.lines; ++i) {
        ParseGga(run.table[i], ctx.point);
        ParseRmc(run.table[i], ctx.point);
    }
    ReadPositionTexts(ctx.point);
    ReadTimeTexts(ctx.point);
    ReadRecordValues(ctx.point);
    LocalDateTime(ctx);
    // The emitter's filter compares RecordIndex + 1 with the range: this
    // epoch's number, counted before RecordIndex moves on.
    const bool accepted = AcceptRecordForEmitter(ctx, true);
    store.RecordIndex += 1;
    if (!accepted) {
        ClearTrackPoint(ctx.point);
        return true;
    }
    store.WrittenCount += 1;

    if (s.FileSplit == 0) {
        if (!run.out.IsOpen() && !OpenOutput(ctx, run, s.OutputFile)) return false;
    } else {
        const bool newFile = !run.out.IsOpen() ||
                             store.GapDistance > ctx.run.GapDistanceLimit ||
                             ctx.point.IntervalSec > ctx.run.GapSecondsLimit ||
                             DateGroupChanges(ctx);
        if (newFile) {
            SplitFileName(ctx, run);
            SetGroupDate(ctx);
            if (!OpenOutput(ctx, run, run.fileName)) return false;
        }
    }

    const bool shift = s.Tokyo2WGS84 != 0;
    for (size_t i = 0; i < run.lines; ++i) {
        const std::string& line = run.table[i];
        if (shift) {
            const std::string_view id = SentenceIdOf(line);
            if (IsGgaId(id)) {
                ParseGga(line, ctx.point);
                ReadPositionTexts(ctx.point);
                WriteGgaSentence(run.out, ctx.point, true, run.scratch);
                continue;
            }
            if (IsRmcId(id)) {
                ParseRmc(line, ctx.point);
                ReadPositionTexts(ctx.point);
                WriteRmcSentence(run.out, ctx.point, true, run.scratch);
                continue;
            }
        }
        run.out.Write(line);
    }
    ClearTrackPoint(ctx.point);
    return true;
}

}  // namespace

void RunNmeaPassThrough(RunContext& ctx, const ConvertMode&) {
    const ConvertSettings& s = ctx.Current();
    PassThrough run;
    SplitOutputName(s.OutputFile, run);

    TextReader input;
    // A pipe the first-line check opened is read on from there.
    if (ctx.pipeInput.IsOpen()) input.Adopt(ctx.pipeInput);
    if (!input.IsOpen() && !input.Open(s.InputFile)) {
        ctx.ui.Show(InputNotice(Notice::InputNotFound, s.InputFile));
        return;
    }

    NmeaEpochLoop loop;
    NmeaLine line;
    for (;;) {
        run.lines = 0;
        while (loop.NextLine(input, line)) {
            if (run.lines == kEpochLines) {
                ++run.losses.LongEpochLines;
                continue;
            }
            if (run.table.size() == run.lines) run.table.emplace_back();
            run.table[run.lines].assign(line.text);
            ++run.lines;
        }
        if (loop.Ended()) break;
        if (!WriteEpoch(ctx, run) || ctx.StopRequested()) {
            run.out.Close();
            return;
        }
    }
    WriteEpoch(ctx, run);
    run.out.Close();
    run.losses.BadChecksums = loop.BadChecksums();
    run.losses.LongLines = loop.LongLines();
    ctx.run.Losses.Merge(run.losses);
}

}  // namespace geoplait
