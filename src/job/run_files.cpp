#include "job/run_files.h"

namespace geoplait {

namespace {

void InputNotFound(RunContext& ctx) { ctx.ui.Show(InputNotice(Notice::InputNotFound, ctx.Current().InputFile)); }

}  // namespace

NoticeText InputNotice(Notice notice, const std::string& path) {
    return WithCause(MakeNotice(notice), path, ReadErrorOf(path));
}

bool OpenRunInput(RunContext& ctx, TrackInput& input, ModeKind kind, bool toCsvCustom) {
    if (input.Open(ctx, kind, toCsvCustom)) return true;
    InputNotFound(ctx);
    return false;
}

bool OpenRunOutput(RunContext& ctx, TextWriter& out, WriteMode mode) {
    if (!out.Open(ctx.outputs, ctx.Current().OutputFile, mode)) return false;
    if (mode == WriteMode::Create && ctx.Current().Bom == 0) out.DropBom();
    return true;
}

bool OpenRunFiles(RunContext& ctx, TextReader& input, TextWriter& out, WriteMode mode) {
    if (!input.Open(ctx.Current().InputFile)) {
        InputNotFound(ctx);
        return false;
    }
    if (!OpenRunOutput(ctx, out, mode)) {
        input.Close();
        return false;
    }
    return true;
}

}  // namespace geoplait
