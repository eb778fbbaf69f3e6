// The record filters. Each variant checks in its own order, because the order
// decides which records move the previous point and the running distances.
// A filter never counts: the caller adds to RecordIndex and clears the record.
#include "engine/record_filter.h"

#include <cstdint>

#include "engine/derived_values.h"
#include "engine/track_point.h"
#include "geo/coordinates.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

// Character n (from 1) of a UTF-8 text; empty when the text is shorter. A byte
// that starts no valid sequence counts as one character.
std::string_view CharacterAt(std::string_view text, size_t n) {
    size_t pos = 0;
    for (size_t index = 1; pos < text.size(); ++index) {
        auto lead = static_cast<unsigned char>(text[pos]);
        size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
        if (pos + length > text.size()) length = 1;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) {
                length = 1;
                break;
            }
        }
        if (index == n) return text.substr(pos, length);
        pos += length;
    }
    return {};
}

// Number of the current record counts every record read, rejected ones too.
bool OutsideRecordRange(const RunContext& ctx) {
    const int64_t number = static_cast<int64_t>(ctx.store.RecordIndex) + 1;
    return number < ctx.run.RecordRangeStart || number > ctx.run.RecordRangeEnd;
}

// A record without a position, or whose fix the receiver marks invalid (RMC
// status "V", GGA quality "0": the last position repeated once the fix was
// lost, or a guess). Half a position is one here: the pass-through's epochs
// are not cut to whole positions, and it writes what it read.
bool IsErrorData(const RunContext& ctx) {
    const TrackPoint& p = ctx.point;
    const bool positionText = !p.RmcLongitude.empty() || !p.RmcLatitude.empty();
    return ctx.Current().OmitErrorData != 0 &&
           ((!p.Position.known && !positionText) || p.RmcStatus == "V" || p.GgaQuality == "0");
}

// The whole numbers the filters compare and the POT and KML labels show.
// The HDOP counts by its whole part: a limit (Margin) of 2 passes "2.9" and
// drops "3.0", as receivers' one-decimal HDOPs have always been taken; a
// text with an exponent counts by its value ("1e3" is 1000).
void SetSatellitesAndDilution(RunContext& ctx) {
    const int32_t satellites = WholeOf(ctx.point.Values.satellites);
    ctx.point.SatCount = satellites == 0 ? 999 : satellites;
    ctx.point.DilutionValue = WholeOf(ctx.point.Values.dilution);
}

// Distance in km from the previous point (kept when there is none yet), then
// the current record becomes the previous point. The distance stays in km
// whatever MeterMile says: the limits it is compared with (LineDistance,
// Distance) are metres.
void MovePreviousPoint(RunContext& ctx) {
    TrackStore& store = ctx.store;
    if (store.PreviousPoint.Position.known) {
        store.GapDistance = TrackDistance(ctx, store.PreviousPoint);
        store.SinceWrittenDistance += store.GapDistance;
    }
    store.PreviousPoint.Take(ctx.point);
}

// The IncludeData group of the KML emitters.
bool FailsKmlIncludeData(const RunContext& ctx) {
    if (ctx.Current().IncludeData == 0) return false;
    return OutsideRecordRange(ctx) || ctx.point.SatCount < ctx.run.SatelliteThreshold ||
           ctx.point.DilutionValue > ctx.run.DilutionThreshold ||
           ctx.store.SinceWrittenDistance < ctx.run.ThinningDistance;
}

}  // namespace

void NoteRecordRead(RunContext& ctx) {
    RunValues& run = ctx.run;
    // Once a record, however many sections of the output take it: a cancel
    // comes between records, never between the sections of one.
    if (run.RecordsRead != 0 && run.RecordsRead == run.ProgressDone) return;
    if (ctx.cancelRequested.load(std::memory_order_relaxed) || ctx.ui.CancelRequested()) {
        ctx.cancelRequested = true;
        throw RunCancelled{};
    }
    if (run.RecordsRead == run.ProgressDone) return;  // not handed on by a read
    run.ProgressDone = run.RecordsRead;
    ctx.ui.ShowProgress({run.ProgressPass, run.RecordsRead, run.InputBytesRead, run.InputBytes});
}

std::string RecordStamp(RunContext& ctx) {
    LocalDateTime(ctx);
    const std::string& date = ctx.point.LocalDate;
    std::string stamp;
    stamp.reserve(14);
    stamp.append("20");
    const size_t order[6] = {4, 5, 2, 3, 0, 1};
    for (size_t i : order) {
        const char c = SlotChar(date, i);
        if (c == '\0') break;
        stamp.push_back(c);
    }
    stamp.append(ctx.point.LocalTime);
    return stamp;
}

std::string RangeStamp(std::string_view date, std::string_view time) {
    std::string stamp = "20";
    for (size_t n : {3, 4, 6, 7, 9, 10}) stamp += CharacterAt(date, n);
    if (CharacterAt(time, 3) == ":") {
        for (size_t n : {1, 2, 4, 5, 7, 8}) stamp += CharacterAt(time, n);
    } else {
        stamp += '0';
        for (size_t n : {1, 3, 4, 6, 7}) stamp += CharacterAt(time, n);
    }
    return stamp;
}

bool InsideDateWindow(RunContext& ctx) {
    if (ctx.Current().IncludeData_date == 0) return true;
    const std::string stamp = RecordStamp(ctx);
    return ctx.run.RangeStartStamp <= stamp && stamp <= ctx.run.RangeEndStamp;
}

bool AcceptRecordForEmitter(RunContext& ctx, bool nmeaInput) {
    NoteRecordRead(ctx);
    if (IsErrorData(ctx)) return false;
    if (!InsideDateWindow(ctx)) return false;
    if (ctx.Current().IncludeData != 0 && OutsideRecordRange(ctx)) return false;
    SetSatellitesAndDilution(ctx);
    MovePreviousPoint(ctx);
    ComputeDerived(ctx);
    if (nmeaInput && ctx.store.GroupDate.empty()) SetGroupDate(ctx);
    return true;
}

bool AcceptRecordForKmlNmea(RunContext& ctx) {
    NoteRecordRead(ctx);
    SetSatellitesAndDilution(ctx);
    if (IsErrorData(ctx)) return false;
    MovePreviousPoint(ctx);
    if (FailsKmlIncludeData(ctx)) return false;
    if (!InsideDateWindow(ctx)) return false;
    ComputeDerived(ctx);
    if (ctx.store.GroupDate.empty()) SetGroupDate(ctx);
    return true;
}

bool AcceptRecordForKmlCsv(RunContext& ctx) {
    NoteRecordRead(ctx);
    SetSatellitesAndDilution(ctx);
    MovePreviousPoint(ctx);
    if (IsErrorData(ctx)) return false;
    if (FailsKmlIncludeData(ctx)) return false;
    if (!InsideDateWindow(ctx)) return false;
    ComputeDerived(ctx);
    return true;
}

void SetGroupDate(RunContext& ctx) { SetGroupDate(ctx.point, ctx.store); }

bool DateGroupChanges(const RunContext& ctx) {
    return DateGroupChanges(ctx.Current().TrackGroupDate != 0, ctx.point, ctx.store);
}

bool PassesRangeFilter(const RunContext& ctx) {
    // A line without a position would otherwise stand at 0 degrees, 0 degrees
    // (POT, KML) or make a GPX point without coordinates.
    if (IsErrorData(ctx)) return false;
    return ctx.Current().IncludeData == 0 || !OutsideRecordRange(ctx);
}

void DeriveRecordValues(RunContext& ctx) {
    // The satellites and HDOP a POT line or a placemark label shows are the
    // record's own, not those of some earlier record.
    SetSatellitesAndDilution(ctx);
    ComputeDerived(ctx);
}

bool AcceptRecordInRange(RunContext& ctx) {
    NoteRecordRead(ctx);
    if (!PassesRangeFilter(ctx)) return false;
    DeriveRecordValues(ctx);
    return true;
}

void NoteGapDistance(RunContext& ctx) {
    TrackStore& store = ctx.store;
    if (store.PreviousPoint.Position.known) store.GapDistance = TrackDistance(ctx, store.PreviousPoint);
    store.PreviousPoint.Take(ctx.point);
}

bool GapBeforeRecord(const RunContext& ctx) {
    return ctx.store.GapDistance > ctx.run.GapDistanceLimit || ctx.point.IntervalSec > ctx.run.GapSecondsLimit;
}

}  // namespace geoplait
