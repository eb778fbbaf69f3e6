#include "job/output_checks.h"

#include "base/temporary_files.h"
#include "engine/track_point.h"
#include "job/input_families.h"
#include "job/mode_table.h"
#include "job/record_runs.h"
#include "job/run_steps.h"

namespace geoplait {

namespace {

std::string OutputStem(const RunValues& run) { return run.OutputDrive + run.OutputDirectory + run.OutputName; }

void RefuseSameName(RunContext& ctx) {
    ctx.ui.SetMessageLine(" *** Error ***");
    ctx.ui.Show(MakeNotice(Notice::InputIsOutput));
}

void RefuseLongName(RunContext& ctx, const std::string& path) {
    ctx.ui.SetMessageLine(" *** Error ***");
    ctx.ui.Show(MakeNotice(Notice::OutputNameTooLong, {path}));
}

}  // namespace

std::vector<std::string> SideOutputs(const RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    std::vector<std::string> outputs;
    if (s.Photo == 0) return outputs;
    if (s.Photo_CsvOut != 0) outputs.push_back(ReplaceExtension(s.OutputFile, "_Photo.csv"));
    if (s.Kmz != 0) outputs.push_back(OutputStem(ctx.run) + ".kmz");
    return outputs;
}

size_t SplitNameGrowth(const ConvertSettings& s, const ConvertMode* mode) {
    if (s.FileSplit == 0 || mode == nullptr) return 0;
    // The pass-through names its pieces after their first date and time.
    if (ProcedureOf(*mode) == RunNmeaPassThrough) return 16;
    const FamilyRecordRun& family = FamilyOf(mode->kind).run;
    const OutputWriter* writer = OutputWriterOf(mode->output);
    const bool pieces = ProcedureOf(*mode) == RunRecords && writer != nullptr &&
                        family.acceptance == Acceptance::Emitter && SplitsOutput(*writer, family.origin);
    return pieces ? 4 : 0;
}

bool CheckDerivedNames(RunContext& ctx, const ConvertMode* mode) {
    const ConvertSettings& s = ctx.Current();
    const RunValues& run = ctx.run;
    std::vector<std::string> names;
    if (const size_t growth = SplitNameGrowth(s, mode); growth > 0) {
        // The first piece stands for all: later ones are as long, or numbered
        // past 999 and checked when they are made.
        names.push_back(OutputStem(run) + (growth == 4 ? "_000" : "_20000000-000000") + run.OutputExtension);
    }
    if (s.Photo != 0 && s.Photo_CreateDirectory != 0) names.push_back(OutputStem(run) + "_photo");
    for (std::string& side : SideOutputs(ctx)) names.push_back(std::move(side));
    for (const std::string& path : names) {
        const size_t slash = path.rfind('/');
        const size_t length = slash == std::string::npos ? path.size() : path.size() - slash - 1;
        if (length > kNameMax) {
            RefuseLongName(ctx, path);
            return false;
        }
    }
    return true;
}

bool CheckSideOutputs(RunContext& ctx, bool readsInput) {
    if (!readsInput) return true;
    for (const std::string& path : SideOutputs(ctx)) {
        if (IsSameFile(ctx.Current().InputFile, path)) {
            RefuseSameName(ctx);
            return false;
        }
    }
    return true;
}

bool AskReplace(RunContext& ctx) {
    ctx.ui.SetMessageLine(" *** Wait ***");
    if (!ctx.ui.Ask(MakeNotice(Notice::ReplaceOutput))) return false;
    ctx.run.OverrideNote = "Output File Override.";
    ctx.ui.SetMessageLine(" ***** Processing *****");
    return true;
}

bool PrepareOutputSet(RunContext& ctx, bool readsInput) {
    OutputFiles& outputs = ctx.outputs;
    if (readsInput) outputs.ProtectInput(ctx.Current().InputFile);
    outputs.SetReplaceQuestion([&ctx] { return AskReplace(ctx); });
    // Only a regular file is replaced; a device or a pipe is written as it is
    // (and a pipe opened for reading here would wait for a writer forever).
    bool exists = IsExistingRegularFile(ctx.Current().OutputFile);
    for (const std::string& side : SideOutputs(ctx)) exists = exists || IsExistingRegularFile(side);
    if (!exists) return true;
    if (!AskReplace(ctx)) return false;
    outputs.ReplaceAnswered();
    return true;
}

bool ReportRefusedOutput(RunContext& ctx) {
    switch (ctx.outputs.Refusal()) {
        case OutputRefusal::None:
            return false;
        case OutputRefusal::SameAsInput:
            RefuseSameName(ctx);
            break;
        case OutputRefusal::NameTooLong:
            RefuseLongName(ctx, ctx.outputs.RefusedPath());
            break;
        case OutputRefusal::Declined:
            break;
    }
    return true;
}

}  // namespace geoplait
