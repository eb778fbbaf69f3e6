#include "job/track_input.h"

#include <type_traits>

#include "job/input_families.h"

namespace geoplait {

namespace {

// What a reader reports beside its records: the tuples it dropped (added to
// the run's count) and a document that broke off.
template <typename Reader>
void TakeReaderReport(RunContext& ctx, const Reader& reader, bool countDropped) {
    if constexpr (requires { reader.Dropped(); }) {
        if (countDropped) ctx.store.OmitCount += reader.Dropped();
    }
    if constexpr (requires { reader.Error(); }) ReportBrokenInput(ctx, reader.Error());
}

// What a record without a speed had before speeds were computed, by family.
std::string_view SpeedFallback(ModeKind kind) {
    switch (kind) {
        case ModeKind::Nmea:
        case ModeKind::CsvCustom: return "0";
        case ModeKind::Pot: return "0.0";
        default: return "";
    }
}

}  // namespace

bool TrackInput::Open(RunContext& ctx, ModeKind kind, bool toCsvCustom) {
    Close();
    kind_ = kind;
    const InputFamily& family = FamilyOf(kind);
    if (family.open == nullptr) return false;
    return family.open(readers_, ctx.Current().InputFile, ctx, toCsvCustom);
}

void TrackInput::Close() { readers_.emplace<std::monostate>(); }

void TrackInput::ForEach(RunContext& ctx, const RecordSink& take, bool lookAhead) {
    RunValues& run = ctx.run;
    speed_.Reset();
    const std::string_view fallback = SpeedFallback(kind_);
    ++run.ProgressPass;
    run.RecordsRead = 0;
    run.ProgressDone = 0;
    run.LastRecord = false;
    std::visit(
        [&](auto& reader) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(reader)>, std::monostate>) {
                if (!lookAhead) {
                    while (!ctx.StopRequested() && reader.Next(ctx.point)) {
                        ++run.RecordsRead;
                        run.InputBytesRead = reader.BytesRead();
                        speed_.Fill(ctx.point, fallback);
                        take(ctx);
                    }
                } else if constexpr (requires { reader.GaveLast(); }) {
                    // A reader that knows its last record when it gives it.
                    while (!ctx.StopRequested() && reader.Next(ctx.point)) {
                        ++run.RecordsRead;
                        run.InputBytesRead = reader.BytesRead();
                        run.LastRecord = reader.GaveLast();
                        speed_.Fill(ctx.point, fallback);
                        take(ctx);
                    }
                    run.LastRecord = false;
                } else {
                    // The record ahead starts as empty as one the taker cleared.
                    ClearTrackPoint(ahead_);
                    ahead_.PointName.clear();
                    ahead_.ExtendData.clear();
                    bool have = !ctx.StopRequested() && reader.Next(ctx.point);
                    while (have && !ctx.StopRequested()) {
                        ++run.RecordsRead;
                        run.InputBytesRead = reader.BytesRead();
                        have = reader.Next(ahead_);
                        run.LastRecord = !have;
                        speed_.Fill(ctx.point, fallback);
                        take(ctx);
                        // The taker cleared the record's texts: the one ahead
                        // takes their place, and its place gets them.
                        if (have) SwapRecordTexts(ctx.point, ahead_);
                    }
                    run.LastRecord = false;
                }
                TakeReaderReport(ctx, reader, true);
            }
        },
        readers_);
}

int32_t TrackInput::Count(RunContext& ctx) {
    int32_t count = 0;
    if (FamilyOf(kind_).count == CountRule::Fixes && std::holds_alternative<NmeaReader>(readers_)) {
        count = std::get<NmeaReader>(readers_).CountFixes();
    } else {
        std::visit(
            [&](auto& reader) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(reader)>, std::monostate>) {
                    while (reader.Next(ctx.point)) {
                        ++count;
                        ClearTrackPoint(ctx.point);
                    }
                    // Dropped tuples are counted by the run that reads them.
                    TakeReaderReport(ctx, reader, false);
                }
            },
            readers_);
    }
    // The names the readers leave behind are the run's to fill.
    ctx.point.PointName.clear();
    ctx.point.ExtendData.clear();
    return count;
}

void ReportBrokenInput(RunContext& ctx, const std::string& error) {
    if (error.empty() || ctx.run.InputErrorShown) return;
    ctx.run.InputErrorShown = true;
    ctx.ui.Show(MakeNotice(Notice::InputBroken, {error}));
    // The records before the break were written; what followed was lost.
    AddRunWarning(ctx, MakeNotice(Notice::InputBrokenWarning, {error}));
}

}  // namespace geoplait
