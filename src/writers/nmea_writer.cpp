// NMEA output.
//
// Sentences: "$GPGGA,<14 fields>*hh" and "$GPRMC,<11 fields>*hh", one per line,
// GGA first. The record's last GGA field (station) and last RMC field
// (variation direction) still carry the checksum of the line they were read
// from ("0000*47"): those three characters are cut off and a fresh checksum is
// computed over the body between "$" and "*".
//
// Pass-through: the log is copied epoch by epoch (an epoch starts at each line
// with the log's first identifier, at most 30 lines); epochs that fail the
// filters are dropped, other lines of an accepted epoch are kept byte for
// byte. With the datum shift only the GGA and RMC lines are rebuilt. With the
// file split the output is cut into files named base_20yymmdd-hhmmss.ext by
// the local date and time of each file's first epoch.
#include "writers/nmea_writer.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "engine/record_filter.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "readers/nmea_reader.h"

namespace geoplait {

namespace {

constexpr size_t kEpochLines = 30;
constexpr size_t kLineLimit = 4096;

// The field minus the "*hh" of the checksum it carries: empty when shorter
// than three characters. The cut counts characters, not bytes.
std::string_view WithoutOldChecksum(std::string_view field) {
    size_t end = field.size();
    for (int cut = 0; cut < 3; ++cut) {
        if (end == 0) return {};
        --end;
        // Step back over the continuation bytes of a UTF-8 sequence.
        while (end > 0 && (static_cast<unsigned char>(field[end]) & 0xC0) == 0x80) --end;
    }
    return field.substr(0, end);
}

// NMEA 0183 checksum: exclusive-or of the bytes, accumulated.
unsigned XorOf(std::string_view text, unsigned sum) {
    for (char c : text) sum ^= static_cast<unsigned char>(c);
    return sum;
}

// Writes the fields joined by "," and "*hh\n"; the checksum covers everything
// after a leading "$".
void WriteSentence(TextWriter& out, std::initializer_list<std::string_view> fields) {
    unsigned sum = 0;
    bool first = true;
    for (std::string_view field : fields) {
        if (first) {
            out.Write(field);
            sum = XorOf(field.starts_with('$') ? field.substr(1) : field, sum);
            first = false;
        } else {
            out.Put(',');
            out.Write(field);
            sum = XorOf(field, sum ^ static_cast<unsigned>(','));
        }
    }
    out.Printf("*%02X\n", sum & 0xFFu);
}

// Tokyo datum to WGS 84 for one side of the record (NMEA-notation texts),
// through decimal degrees as CoordTexts writes them.
void ShiftToWgs84(std::string& latitude, std::string& longitude) {
    std::string latDeg;
    std::string latDms;
    std::string lonDeg;
    std::string lonDms;
    CoordTexts(latitude, latDeg, latDms);
    CoordTexts(longitude, lonDeg, lonDms);
    const double lat = NumberOf(latDeg);
    const double lon = NumberOf(lonDeg);
    const double shiftedLat = lat - lat * 0.00010695 + lon * 1.7464e-05 + 0.0046017;
    const double shiftedLon = lon - lat * 4.6038e-05 - lon * 8.3043e-05 + 0.01004;
    AssignFixed(latDeg, shiftedLat, 6, 3);
    AssignFixed(lonDeg, shiftedLon, 6, 3);
    latitude.clear();
    latDms.clear();
    longitude.clear();
    lonDms.clear();
    CoordTexts(latitude, latDeg, latDms);
    CoordTexts(longitude, lonDeg, lonDms);
}

void WriteGgaSentence(TextWriter& out, RunContext& ctx) {
    TrackPoint& p = ctx.point;
    const std::string_view station = WithoutOldChecksum(p.GgaDgpsStation);
    if (ctx.Current().Tokyo2WGS84 != 0) ShiftToWgs84(p.GgaLatitude, p.GgaLongitude);
    WriteSentence(out, {p.GgaId, p.GgaTime, p.GgaLatitude, p.GgaNS, p.GgaLongitude, p.GgaEW,
                        p.GgaQuality, p.GgaSatellites, p.GgaDilution, p.GgaAltitude,
                        p.GgaAltitudeUnit, p.GgaGeoid, p.GgaGeoidUnit, p.GgaDgpsAge, station});
}

void WriteRmcSentence(TextWriter& out, RunContext& ctx) {
    TrackPoint& p = ctx.point;
    const std::string_view direction = WithoutOldChecksum(p.RmcMagVarEW);
    if (ctx.Current().Tokyo2WGS84 != 0) ShiftToWgs84(p.RmcLatitude, p.RmcLongitude);
    WriteSentence(out, {p.RmcId, p.RmcTime, p.RmcStatus, p.RmcLatitude, p.RmcNS, p.RmcLongitude,
                        p.RmcEW, p.RmcSpeed, p.RmcCourse, p.RmcDate, p.RmcMagVar, direction});
}

// State of one pass-through run.
struct PassThrough {
    std::string base;       // OutputFile without ".ext"
    std::string extension;  // without the dot
    bool hasExtension = false;
    TextWriter out;
    std::string fileName;  // scratch for split names
    std::array<std::string, kEpochLines> table;
    size_t lines = 0;
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

// "base_20yymmdd-hhmmss.ext" from the record's local date and time. The date
// characters are taken by position as the date slot holds them; the name ends
// its date part at the slot's end, as the record stamp does.
void SplitFileName(RunContext& ctx, PassThrough& run) {
    std::string& name = run.fileName;
    name = run.base;
    name += "_20";
    for (size_t i : {4, 5, 2, 3, 0, 1}) {
        const char c = SlotChar(ctx.point.LocalDate, i);
        if (c == '\0') break;
        name += c;
    }
    name += '-';
    name += ctx.point.LocalTime;
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
                WriteGgaSentence(run.out, ctx);
                continue;
            }
            if (IsRmcId(id)) {
                ParseRmc(line, ctx.point);
                WriteRmcSentence(run.out, ctx);
                continue;
            }
        }
        run.out.Write(line);
    }
    ClearTrackPoint(ctx.point);
    return true;
}

}  // namespace

void WriteNmeaSentences(TextWriter& out, RunContext& ctx) {
    if (ctx.Current().Create_GPGGA != 0) WriteGgaSentence(out, ctx);
    if (ctx.Current().Create_GPRMC != 0) WriteRmcSentence(out, ctx);
}

int RunNmeaToNmea(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    PassThrough run;
    SplitOutputName(s.OutputFile, run);

    TextReader input;
    if (!input.Open(s.InputFile)) {
        ctx.ui.ShowMessage("Input File Not Found", "Check!");
        return -1;
    }

    const std::string& firstId = ctx.run.FirstSentenceId;
    std::string line;
    bool firstLine = true;
    while (input.ReadLine(line, kLineLimit)) {
        if (!firstLine && StartsEpoch(SentenceIdOf(line), firstId)) {
            if (!WriteEpoch(ctx, run) || ctx.StopRequested()) {
                run.out.Close();
                return -1;
            }
            run.lines = 0;
        }
        firstLine = false;
        if (run.lines == kEpochLines) {
            // What was written so far stays; both files are closed here.
            ctx.ui.ShowMessage("buf_table Over!(30 up)", "error!");
            run.out.Close();
            return -1;
        }
        std::swap(run.table[run.lines], line);
        ++run.lines;
    }
    if (!WriteEpoch(ctx, run)) {
        run.out.Close();
        return -1;
    }
    return run.out.Close() ? 0 : -1;
}

}  // namespace geoplait
