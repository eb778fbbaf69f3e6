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

void RefuseSameName(UserInterface& ui) {
    ui.SetMessageLine(" *** Error ***");
    ui.Show(MakeNotice(Notice::InputIsOutput));
}

void RefuseLongName(UserInterface& ui, const std::string& path) {
    ui.SetMessageLine(" *** Error ***");
    ui.Show(MakeNotice(Notice::OutputNameTooLong, {path}));
}

// The message of an output that is never made as a file; false for one that may be.
bool RefuseUnmakeable(UserInterface& ui, OutputRefusal why, const std::string& path) {
    if (why != OutputRefusal::ClosedDescriptor && why != OutputRefusal::SystemFolder) return false;
    ui.SetMessageLine(" *** Error ***");
    ui.Show(MakeNotice(
        why == OutputRefusal::ClosedDescriptor ? Notice::OutputDescriptorClosed : Notice::OutputInSystemFolder, {path}));
    return true;
}

}  // namespace

bool CheckMakeableOutputs(const ConvertSettings& s, const RunValues& run, UserInterface& ui) {
    std::vector<std::string> names{s.OutputFile};
    for (std::string& side : SideOutputs(s, run)) names.push_back(std::move(side));
    if (s.Photo != 0 && s.Photo_CreateDirectory != 0) names.push_back(OutputStem(run) + "_photo");
    for (const std::string& path : names) {
        if (RefuseUnmakeable(ui, UnmakeableOutput(path), path)) return false;
    }
    return true;
}

std::vector<std::string> ExtraOutputsOf(const ConvertSettings& s) {
    std::vector<std::string> lines;
    const ConvertMode* mode = FindModeByDisplayText(s.Mode);
    if (mode == nullptr) return lines;
    if (SplitNameGrowth(s, mode) > 0) lines.push_back("FileSplit=1 splits the output into pieces beside " + s.OutputFile);
    if (mode->output != ModeOutput::Kml || s.Photo == 0) return lines;
    RunValues run;
    SplitOutputPath(s.OutputFile, run);
    const std::string folder = s.PhotoDir.empty() ? "." : s.PhotoDir;
    if (s.Photo_CreateDirectory != 0) {
        lines.push_back("Photo_CreateDirectory=1 writes photo copies into " + OutputStem(run) + "_photo");
    }
    if (s.Photo_Sidecar != 0) lines.push_back("Photo_Sidecar=1 writes sidecars into " + folder);
    if (s.Kmz != 0) lines.push_back("Kmz=1 packs the photos of " + folder + " into " + OutputStem(run) + ".kmz");
    if (s.Photo_CsvOut != 0) {
        lines.push_back("Photo_CsvOut=1 writes the photo list " + ReplaceExtension(s.OutputFile, "_Photo.csv"));
    }
    return lines;
}

std::vector<std::string> SideOutputs(const ConvertSettings& s, const RunValues& run) {
    std::vector<std::string> outputs;
    if (s.Photo == 0) return outputs;
    if (s.Photo_CsvOut != 0) outputs.push_back(ReplaceExtension(s.OutputFile, "_Photo.csv"));
    if (s.Kmz != 0) outputs.push_back(OutputStem(run) + ".kmz");
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

bool CheckDerivedNames(const ConvertSettings& s, const RunValues& run, UserInterface& ui, const ConvertMode* mode) {
    std::vector<std::string> names;
    if (const size_t growth = SplitNameGrowth(s, mode); growth > 0) {
        // The first piece stands for all: later ones are as long, or numbered
        // past 999 and checked when they are made.
        names.push_back(OutputStem(run) + (growth == 4 ? "_000" : "_20000000-000000") + run.OutputExtension);
    }
    if (s.Photo != 0 && s.Photo_CreateDirectory != 0) names.push_back(OutputStem(run) + "_photo");
    for (std::string& side : SideOutputs(s, run)) names.push_back(std::move(side));
    for (const std::string& path : names) {
        const size_t slash = path.rfind('/');
        const size_t length = slash == std::string::npos ? path.size() : path.size() - slash - 1;
        if (length > kNameMax) {
            RefuseLongName(ui, path);
            return false;
        }
    }
    return true;
}

bool CheckSideOutputs(const ConvertSettings& s, const RunValues& run, UserInterface& ui, bool readsInput) {
    if (!readsInput) return true;
    for (const std::string& path : SideOutputs(s, run)) {
        if (IsSameFile(s.InputFile, path)) {
            RefuseSameName(ui);
            return false;
        }
    }
    return true;
}

bool AskReplace(UserInterface& ui, RunValues& run) {
    ui.SetMessageLine(" *** Wait ***");
    if (!ui.Ask(MakeNotice(Notice::ReplaceOutput))) return false;
    run.OverrideNote = "Output File Override.";
    ui.SetMessageLine(" ***** Processing *****");
    return true;
}

bool PrepareOutputSet(OutputFiles& outputs, const ConvertSettings& s, RunValues& run, UserInterface& ui,
                      bool readsInput) {
    if (readsInput) outputs.ProtectInput(s.InputFile);
    outputs.SetReplaceQuestion([&ui, &run] { return AskReplace(ui, run); });
    // Only a regular file is replaced; a device or a pipe is written as it is
    // (and a pipe opened for reading here would wait for a writer forever).
    bool exists = IsExistingRegularFile(s.OutputFile);
    for (const std::string& side : SideOutputs(s, run)) exists = exists || IsExistingRegularFile(side);
    if (!exists) return true;
    if (!AskReplace(ui, run)) return false;
    outputs.ReplaceAnswered();
    return true;
}

bool ReportRefusedOutput(const OutputFiles& outputs, UserInterface& ui) {
    switch (outputs.Refusal()) {
        case OutputRefusal::None:
            return false;
        case OutputRefusal::SameAsInput:
            RefuseSameName(ui);
            break;
        case OutputRefusal::NameTooLong:
            RefuseLongName(ui, outputs.RefusedPath());
            break;
        case OutputRefusal::Declined:
            break;
        case OutputRefusal::ClosedDescriptor:
        case OutputRefusal::SystemFolder:
            RefuseUnmakeable(ui, outputs.Refusal(), outputs.RefusedPath());
            break;
    }
    return true;
}

}  // namespace geoplait
