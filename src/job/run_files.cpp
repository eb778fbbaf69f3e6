#include "job/run_files.h"

namespace geoplait {

NoticeText InputNotice(Notice notice, const std::string& path) {
    return WithCause(MakeNotice(notice), path, ReadErrorOf(path));
}

bool OpenRunInput(RunContext& ctx, TrackInput& input, ModeKind kind, bool toCsvCustom) {
    if (input.Open(ctx, kind, toCsvCustom)) return true;
    ctx.ui.Show(InputNotice(Notice::InputNotFound, ctx.Current().InputFile));
    return false;
}

bool OpenRunOutput(OutputFiles& outputs, const ConvertSettings& s, TextWriter& out, WriteMode mode) {
    if (!out.Open(outputs, s.OutputFile, mode)) return false;
    if (mode == WriteMode::Create && s.Bom == 0) out.DropBom();
    return true;
}

PhotoRun PhotoRunOf(RunContext& ctx) {
    const ConfigSettings& config = ctx.settings.config;
    return {ctx.Current(), DefaultHemisphereSigns(config.LatitudeNS, config.LongitudeWE), ctx.run, OutputsOf(ctx)};
}

TrackReader TrackReaderOf(RunContext& ctx, ModeKind kind) {
    return [&ctx, kind](const PointSink& take) {
        ClearTrackPoint(ctx.point);
        TrackInput input;
        if (!input.Open(ctx, kind)) return false;
        input.ForEach(ctx, [&take](RunContext& c) { take(c.point); });
        return true;
    };
}

}  // namespace geoplait
