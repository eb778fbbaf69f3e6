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

}  // namespace

bool TrackInput::Open(RunContext& ctx, ModeKind kind, bool toCsvCustom) {
    Close();
    kind_ = kind;
    const InputFamily& family = FamilyOf(kind);
    if (family.open == nullptr) return false;
    return family.open(readers_, ctx.Current().InputFile, ctx, toCsvCustom);
}

void TrackInput::Close() { readers_.emplace<std::monostate>(); }

void TrackInput::ForEach(RunContext& ctx, const RecordSink& take) {
    std::visit(
        [&](auto& reader) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(reader)>, std::monostate>) {
                while (!ctx.StopRequested() && reader.Next(ctx.point)) take(ctx);
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
}

}  // namespace geoplait
