#include "engine/run_files.h"

namespace geoplait {

bool OpenRunFiles(RunContext& ctx, TextReader& input, TextWriter& out, WriteMode mode) {
    const ConvertSettings& s = ctx.Current();
    if (!input.Open(s.InputFile)) {
        ctx.ui.ShowMessage("Input File Not Found", "Check!");
        return false;
    }
    if (!out.Open(ctx.outputs, s.OutputFile, mode)) {
        input.Close();
        return false;
    }
    if (mode == WriteMode::Create && s.Bom == 0) out.DropBom();
    return true;
}

}  // namespace geoplait
