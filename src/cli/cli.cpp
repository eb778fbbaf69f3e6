// Command-line front end of the engine. It starts up as the window does
// (defaults, geoplait.ini of the current directory), takes --ini and --set
// lines on top, works out the mode, the inputs and the outputs of the
// command, and runs one conversion, or a batch of them.
#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/notices.h"
#include "base/text_file.h"
#include "cli/cli_names.h"
#include "cli/cli_run.h"
#include "cli/cli_text.h"
#include "job/output_checks.h"
#include "settings/convert_modes.h"
#include "settings/convert_settings.h"
#include "settings/settings_file.h"
#include "settings/startup_settings.h"

namespace geoplait {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStandardInput = "/dev/stdin";
constexpr const char* kStandardOutput = "/dev/stdout";

int BadCommandLine(std::ostream& err, const std::string& problem) {
    err << "geoplait-cli: " << problem << "\n" << kCliUsage << "Run with --help for more information.\n";
    return kExitUsage;
}

// Settings-file names without "/" are taken from the current directory.
std::string PathArgument(const std::string& name) {
    return name.find('/') == std::string::npos ? "./" + name : name;
}

// --write-ini: the settings as the settings file holds them.
bool WriteSettings(Settings& settings, UserInterface& ui, const std::string& name) {
    struct tm when;
    return SaveSettingsFile(settings, ui, name, SaveNotice::Silent, FixedTime(when) ? &when : nullptr);
}

// True when a --set line gives `key`.
bool SetsKey(const std::vector<std::string>& lines, std::string_view key) {
    for (const std::string& line : lines) {
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') return true;
    }
    return false;
}

// A user interface that says nothing: the settings file read for its mode.
class SilentUi : public UserInterface {
public:
    void Show(const NoticeText&) override {}
    bool Ask(const NoticeText&) override { return false; }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}
};

bool IsStandardInput(const std::string& path) { return path == "-" || path == kStandardInput; }
// "-", /dev/stdout, or another name of the pipe or device standard output is
// (/dev/fd/1, /proc/self/fd/1): the completion line must not go into the data.
bool IsStandardOutput(const std::string& path) {
    if (path == "-" || path == kStandardOutput) return true;
    struct stat named {};
    struct stat own {};
    return stat(path.c_str(), &named) == 0 && fstat(STDOUT_FILENO, &own) == 0 && !S_ISREG(named.st_mode) &&
           named.st_dev == own.st_dev && named.st_ino == own.st_ino;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Checks every --set line first, with its key matched without regard to
// case, so that a bad command line changes and prints nothing else. Returns
// the first problem, empty when none.
std::string ProblemOfSettingLines(std::vector<std::string>& lines) {
    for (std::string& line : lines) {
        line = CanonicalSettingLine(line);
        std::string problem = CommandLineSettingProblem(line);
        if (problem.empty()) continue;
        if (problem.starts_with("unknown settings key")) {
            if (std::string hint = DidYouMean(NearestKeys(line)); !hint.empty()) problem += " (" + hint + ")";
        }
        return problem;
    }
    return {};
}

// The mode that a settings file holds, when it holds one.
const ConvertMode* ModeOfSettingsFile(const std::string& path) {
    Settings probe;
    probe.startDir = StartupDirectory();
    SetDefaultSettings(probe);
    probe.baseline.Mode.clear();
    SilentUi silent;
    LoadSettingsFile(probe, silent, path, LoadPass::AllKeys);
    return FindModeByDisplayText(probe.baseline.Mode);
}

// The mode a --set Mode=VALUE line gives, the last one winning.
const ConvertMode* ModeOfSettingLines(const std::vector<std::string>& lines) {
    const ConvertMode* mode = nullptr;
    for (const std::string& line : lines) {
        std::string_view key = std::string_view(line).substr(0, line.find('='));
        while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
        if (key == "Mode") mode = FindModeByFileValue(line.substr(line.find('=') + 1));
    }
    return mode;
}

std::string ModeList(const std::vector<const ConvertMode*>& modes) {
    std::string list;
    for (const ConvertMode* mode : modes) list += (list.empty() ? "" : ", ") + std::string(mode->fileValue);
    return list;
}

// The mode of a command without --mode: the one the extensions of the
// inputs and the output name, else the one a --set Mode line or the --ini
// file gives. nullptr with the problem in `problem`.
const ConvertMode* InferMode(const CliOptions& options, std::string& problem) {
    std::vector<const ConvertMode*> fitting;
    bool first = true;
    for (const std::string& input : options.inputs) {
        const std::string named = IsFolder(input) || IsStandardInput(input) ? std::string() : input;
        std::vector<const ConvertMode*> modes = ModesByExtensions(named, options.output);
        if (!first) {
            std::erase_if(modes, [&](const ConvertMode* mode) {
                return std::find(fitting.begin(), fitting.end(), mode) == fitting.end();
            });
        }
        fitting = std::move(modes);
        first = false;
    }
    if (fitting.size() == 1) return fitting.front();
    if (const ConvertMode* mode = ModeOfSettingLines(options.sets)) return mode;
    if (!options.ini.empty()) {
        if (const ConvertMode* mode = ModeOfSettingsFile(PathArgument(options.ini))) return mode;
    }
    if (fitting.empty()) {
        problem = "no mode reads the input and writes the output named; give --mode (see --list-modes)";
    } else {
        problem = "no --mode, and " + std::to_string(fitting.size()) +
                  " modes fit the names of --in and --out: " + ModeList(fitting) + "; give --mode";
    }
    return nullptr;
}

// "Error: <text>\n<path>: <reason>" for a file the command cannot use.
void ShowFileProblem(std::ostream& err, Notice notice, const std::string& path, int error) {
    const NoticeText text = WithCause(MakeNotice(notice), path, error);
    err << text.caption << ": " << text.text << "\n";
}

// The files of `folder` that the mode reads, sorted by name; `ec` when the
// folder cannot be read.
std::vector<std::string> InputFilesIn(const std::string& folder, const ConvertMode& mode, std::error_code& ec) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::error_code kind;
        if (!entry.is_regular_file(kind)) continue;
        const std::string name = entry.path().filename().string();
        if (IsInputFileOf(mode, name)) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    std::string prefix = folder;
    if (prefix.back() != '/') prefix += '/';
    for (std::string& file : files) file = prefix + file;
    return files;
}

std::string NormalPath(const std::string& path) {
    std::error_code ec;
    fs::path normal = fs::weakly_canonical(path, ec);
    return ec ? fs::path(path).lexically_normal().string() : normal.string();
}

// The runs the command asks for. Returns 0, or the exit status of a command
// refused here (the problem printed).
int PlanRuns(const CliOptions& options, const ConvertMode& mode, CliPlan& plan, std::ostream& err) {
    plan.mode = &mode;
    const bool photoOnly = mode.kind == ModeKind::Photo;
    std::vector<std::string> inputs;
    for (const std::string& input : options.inputs) {
        if (photoOnly || !IsFolder(input)) {
            inputs.push_back(input);
            continue;
        }
        plan.batch = true;
        std::error_code ec;
        std::vector<std::string> found = InputFilesIn(input, mode, ec);
        if (ec) {
            ShowFileProblem(err, Notice::InputNotFoundOnCheck, input, ec.value());
            return kExitStopped;
        }
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    if (options.inputs.size() > 1) plan.batch = true;
    if (plan.batch && !options.output.empty()) {
        return BadCommandLine(err, "--out names one output; give several inputs --out-dir DIR");
    }
    if (plan.batch && inputs.empty()) {
        const NoticeText text = MakeNotice(Notice::InputNotFoundOnCheck);
        err << text.caption << ": " << text.text << "\n"
            << options.inputs.front() << ": no file of \"" << mode.displayText << "\" in it\n";
        return kExitStopped;
    }
    for (const std::string& input : inputs) {
        CliFile file;
        file.input = IsStandardInput(input) ? kStandardInput : input;
        if (!options.output.empty()) {
            // Standard output by any name is written through its own descriptor.
            file.output = IsStandardOutput(options.output) ? kStandardOutput : options.output;
        } else if (IsStandardInput(input)) {
            file.output = kStandardOutput;
        } else {
            file.output = OutputNamedAfter(input, mode, options.outDir);
            file.named = true;
        }
        plan.toStdout = plan.toStdout || file.output == kStandardOutput;
        plan.files.push_back(std::move(file));
    }
    if (!plan.batch) return 0;
    if (plan.toStdout) return BadCommandLine(err, "a batch writes files, not standard output");
    // Two inputs that would make one output, or an output that is an input:
    // the batch would lose a result or convert its own output.
    std::set<std::string> inputNames;
    for (const CliFile& file : plan.files) inputNames.insert(NormalPath(file.input));
    std::vector<std::pair<std::string, const CliFile*>> outputs;
    for (const CliFile& file : plan.files) outputs.emplace_back(NormalPath(file.output), &file);
    std::stable_sort(outputs.begin(), outputs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < outputs.size(); ++i) {
        if (outputs[i].first == outputs[i - 1].first) {
            return BadCommandLine(err, "\"" + outputs[i - 1].second->input + "\" and \"" + outputs[i].second->input +
                                           "\" would both make \"" + outputs[i].second->output + "\"");
        }
    }
    for (const auto& [normal, file] : outputs) {
        if (inputNames.contains(normal)) {
            return BadCommandLine(err, "the output \"" + file->output + "\" of \"" + file->input +
                                           "\" is an input of the batch");
        }
    }
    return 0;
}

// An output on standard output is one stream, written once: a run that makes
// more files named after its output, or reads its output back, is refused.
std::string StdoutProblem(const ConvertSettings& s, const ConvertMode& mode) {
    if (SplitNameGrowth(s, &mode) > 0) return "the output would be split into files named after it (FileSplit)";
    if (s.Photo == 0) return {};
    if (s.Kmz != 0) return "a KMZ archive is made from the output (Kmz)";
    if (s.Photo_CsvOut != 0) return "a photo list is named after the output (Photo_CsvOut)";
    if (s.Photo_CreateDirectory != 0) return "the photos are copied into a folder named after the output";
    return {};
}

// The settings of the command: the start-up load (without geoplait.ini
// for --no-ini), the mode's output rule, --ini and --set.
// With --verbose the settings file the command used is named on `err`.
void LoadCommandSettings(Settings& settings, UserInterface& ui, const CliOptions& options,
                         const ConvertMode* mode, std::ostream& err) {
    const StartupOverlay overlay = [&](Settings& loaded) {
        // --mode sets what the mode writes as the window's mode change does,
        // over geoplait.ini; a key that --ini or --set gives wins over it.
        if (mode != nullptr) ApplyModeOutputRule(*mode, loaded.baseline);
        if (!options.ini.empty()) LoadSettingsFile(loaded, ui, PathArgument(options.ini), LoadPass::AllKeys);
        for (const std::string& line : options.sets) ApplyCommandLineSetting(loaded, line);
        // A time difference asked for on the command line is the run's clock,
        // unless a zone is asked for too.
        if (SetsKey(options.sets, "TimeDifference") && !SetsKey(options.sets, "TimeZone")) {
            loaded.baseline.TimeZone.clear();
        }
        PadIncludeTimes(loaded.baseline);
    };
    if (options.noIni) {
        settings.startDir = StartupDirectory();
        SetDefaultSettings(settings);
        overlay(settings);
        ApplyBaselineSettings(settings);
    } else {
        LoadStartupSettings(settings, ui, StartupDirectory(), overlay);
    }
    for (const std::string& line : options.sets) ApplyCommandLineCurrentOnly(settings.current, line);
    if (options.verbose) {
        // Named as the user knows it, the same on every machine.
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        const std::string name = !settings.ownSettingsDir ? std::string("geoplait.ini of the current directory")
                                 : xdg != nullptr && xdg[0] == '/' ? "$XDG_CONFIG_HOME/geoplait/geoplait.ini"
                                                                   : "~/.config/geoplait/geoplait.ini";
        std::error_code ec;
        if (options.noIni) {
            err << "Settings File: none (--no-ini)\n";
        } else if (fs::is_regular_file(SettingsFilePath(settings, kSettingsFileName), ec)) {
            err << "Settings File: " << name << "\n";
        } else {
            err << "Settings File: none, the machine's defaults (a save writes " << name << ")\n";
        }
    }
}

std::string HelpText(const CLI::App& app) {
    std::string text = app.help();
    for (const HelpSection& section : CliHelpSections()) {
        text += "\n" + std::string(section.title) + ":\n" + section.text + "\n";
    }
    return text;
}

}  // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err, bool progressBar, bool watchSignals) {
    CliOptions options;
    CLI::App app{std::string("geoplait-cli: ") + kCliSummary + ",\nas the window's Create does.", "geoplait-cli"};
    DeclareCliOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << HelpText(app);
        return kExitComplete;
    } catch (const CLI::ParseError& e) {
        return BadCommandLine(err, e.what());
    }

    if (options.version) {
        out << VersionText();
        return kExitComplete;
    }
    if (options.listModes) {
        for (const ConvertMode& mode : kConvertModes) out << mode.displayText << '\t' << mode.fileValue << '\n';
        return kExitComplete;
    }
    if (options.listKeys) {
        out << ListKeysText();
        return kExitComplete;
    }

    const ConvertMode* mode = nullptr;
    if (!options.mode.empty()) {
        mode = MatchMode(options.mode);
        if (mode == nullptr) {
            std::string hint = DidYouMean(NearestModes(options.mode));
            return BadCommandLine(err, "unknown mode \"" + options.mode + "\" (" + (hint.empty() ? "" : hint + " ") +
                                           "see --list-modes)");
        }
    }
    if (std::string problem = ProblemOfSettingLines(options.sets); !problem.empty()) {
        return BadCommandLine(err, problem);
    }
    if (options.writeIni.empty() && options.inputs.empty()) return BadCommandLine(err, "--in is required");

    // A device or a pipe is refused before anything is read: it could wait
    // for a writer for ever. A settings file that cannot be read stops the
    // command: its settings would be missing from every run.
    if (!options.ini.empty()) {
        const std::string path = PathArgument(options.ini);
        if (IsSpecialFile(path)) {
            const NoticeText text = MakeNotice(Notice::SettingsFileNotRegular, {options.ini});
            err << text.caption << ": " << text.text << "\n";
            return kExitStopped;
        }
        if (const int error = ReadErrorOf(path); error != 0) {
            ShowFileProblem(err, Notice::SettingsFileNotFound, options.ini, error);
            return kExitStopped;
        }
    }

    Settings settings;
    if (!options.writeIni.empty()) {
        CliUi ui(out, err, options.yes, false, VerbosityOf(options));
        LoadCommandSettings(settings, ui, options, mode, err);
        ConvertSettings& current = settings.current;
        if (mode != nullptr) current.Mode = mode->displayText;
        // The files of the command are kept as given.
        if (!options.inputs.empty()) {
            current.InputFile = IsStandardInput(options.inputs.front()) ? kStandardInput : options.inputs.front();
        }
        if (!options.output.empty()) current.OutputFile = options.output;
        return WriteSettings(settings, ui, PathArgument(options.writeIni)) ? kExitComplete : kExitSettingsNotSaved;
    }

    if (mode == nullptr) {
        std::string problem;
        mode = InferMode(options, problem);
        if (mode == nullptr) return BadCommandLine(err, problem);
    }
    CliPlan plan;
    if (const int status = PlanRuns(options, *mode, plan, err); status != 0) return status;

    if (plan.batch) {
        // The settings' messages go where a run's would.
        CliUi ui(out, err, options.yes, false, VerbosityOf(options));
        LoadCommandSettings(settings, ui, options, mode, err);
        return RunBatch(settings, plan, options, out, err, watchSignals, progressBar);
    }

    // With the output on standard output, every message goes to stderr.
    CliUi ui(plan.toStdout ? err : out, err, options.yes, progressBar, VerbosityOf(options));
    LoadCommandSettings(settings, ui, options, mode, err);
    if (plan.toStdout) {
        if (std::string problem = StdoutProblem(settings.current, *mode); !problem.empty()) {
            err << "Error: Output File Not a Regular File: " << plan.files.front().output << "\n"
                << problem << "; give --out a file.\n";
            return kExitStopped;
        }
    }
    std::unique_ptr<CliInterrupts> interrupts;
    if (watchSignals) interrupts = std::make_unique<CliInterrupts>();
    const CliResult result =
        RunOneFile(settings, plan, plan.files.front(), ui, interrupts ? &interrupts->RunSlot() : nullptr);
    return result.status;
}

}  // namespace geoplait
