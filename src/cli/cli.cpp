// Command-line front end of the engine. It starts up as the window does
// (defaults, geoplait.ini of the current directory), takes --ini and --set
// lines on top, and runs one conversion with message boxes printed as text.
#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/convert_modes.h"
#include "engine/run_context.h"
#include "job/run_conversion.h"
#include "base/signal_watch.h"
#include "base/temporary_files.h"
#include "base/text_file.h"
#include "base/user_interface.h"
#include "settings/convert_settings.h"
#include "settings/settings_file.h"
#include "settings/startup_settings.h"

namespace geoplait {

namespace {

constexpr const char* kStandardInput = "/dev/stdin";

constexpr const char* kUsage =
    "Usage: geoplait-cli [--ini FILE] [--mode MODE] [--in PATH] [--out PATH] "
    "[--set KEY=VALUE]... [--yes] [--write-ini FILE] [--list-modes]\n";

constexpr const char* kHelpFooter = R"(
Settings are made up in this order: the defaults; geoplait.ini of the current
directory (only AutoLoad, AutoSave and Protect, or all of it when its AutoLoad
is 1); --ini FILE; each --set line in the order given. --mode, --in and --out
then choose the mode, the input and the output of the conversion.

--set takes a settings-file key and its value: --set Label_Date=1,
--set MeterMile=UnitNMF, --set "TimeDifference=- 5:00". The value is all that
follows the first "=", as it stands. A value the key cannot take (a flag other
than 0 or 1, a number that is not one, a time difference or a MeterMile,
Language or Mode value that is not in its list) is refused. TrackLine and the
Photo_Cal* keys, which the settings file does not hold, are accepted too.

MODE is a display text ("nmea(log) -> kml") or a settings-file value (Geoplait);
--list-modes prints every mode as display text, a tab and settings-file value.
--mode also sets what the window sets when its mode is chosen and what decides
the output: Bom=1 for a mode that writes KML, Bom=0 for any other; Photo=1 for
"Photo(Only) -> kml"; Photo=0 and Kmz=0 for a mode without KML output. This
comes after geoplait.ini and before --ini and --set, so a value of the same
key from --ini or --set wins (--set Bom=1 keeps the byte-order mark).

--in may be a pipe: "-" or /dev/stdin (standard input) or a named pipe
(FIFO). A pipe is read once, so a run that would read its input twice is
refused with "Input File Not a Regular File" before it writes anything: a
KML with position placemarks of the types "Start & End" and "Point N" (the
records are counted first), and photos matched with a track whose
placemarks or path are written too. Other devices are refused too.

Message boxes are printed to stderr as "Caption: text", the completion message
"Complete Record=written/read" to stdout. An existing output file is replaced
only with --yes; without it the run stops.

Exit status:
  0   complete
  1   the settings file could not be written (--write-ini, or the save after a
      complete run when AutoSave is 1)
  2   the run stopped before its completion message (see stderr)
  3   records were read but none written ("Include Record Not Found")
  4   nothing was read ("No data?")
  5   complete with warnings: the outputs were written, but something was
      lost on the way (each warning is printed as "Warning: text")
  64  bad command line: unknown option, key or mode, a --set without "=", or
      a value its key cannot take

Test hooks: GEOPLAIT_FIXED_TIME=YYYYMMDDhhmmss in the environment sets the time
written into the banner of the --write-ini file; GEOPLAIT_FAIL_WRITE_AFTER=N
makes the outputs of the conversion fail, as on a full disk, after N bytes;
GEOPLAIT_SIGNAL_AT_RECORD=N[,2] sends the program SIGINT (twice with ",2")
once N records of the first pass were read; GEOPLAIT_REMOVE_BEFORE_COPY=FILE
removes FILE just before the photos are copied.
)";

// Notices as lines of text, "Caption: text": a result on `out`, the others on
// `err`; the replace question is answered by --yes.
// With progressBar, a one-line bar on `err` (a terminal) redrawn at most ten
// times a second and erased before any message and at the end of the run.
class CliUi : public UserInterface {
public:
    CliUi(std::ostream& out, std::ostream& err, bool yes, bool progressBar)
        : out_(out), err_(err), yes_(yes), progressBar_(progressBar) {}
    ~CliUi() override { EraseBar(); }

    void Show(const NoticeText& notice) override {
        EraseBar();
        std::ostream& stream = notice.kind == NoticeKind::Result ? out_ : err_;
        stream << notice.caption << ": " << notice.text << "\n";
    }
    bool Ask(const NoticeText& question) override {
        EraseBar();
        if (yes_) return true;
        err_ << question.caption << ": " << question.text << "\n"
             << "Answered Cancel; use --yes to answer OK.\n";
        return false;
    }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}
    bool CancelRequested() override { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }
    // The run's cancel flag, which a signal sets.
    void WatchCancel(std::atomic<bool>* cancel) { cancel_ = cancel; }
    // Test hook: signals at record `record` of the first pass.
    void SignalAt(int32_t record, int signals) {
        signalRecord_ = record;
        signals_ = signals;
    }
    void ShowProgress(const RunProgress& progress) override {
        if (progress.pass == 1 && progress.records == signalRecord_) SendSignals();
        if (!progressBar_) return;
        const auto now = Clock::now();
        if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastDraw_ = now;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - start_).count();
        err_ << '\r' << ProgressLine(progress, static_cast<long long>(seconds)) << std::flush;
        barShown_ = true;
    }

private:
    using Clock = std::chrono::steady_clock;

    // The signals come from outside the run, as a terminal's Ctrl-C does; the
    // run goes on once the first was taken, so that it ends where it was.
    void SendSignals() {
        signalRecord_ = -1;
        kill(getpid(), SIGINT);
        while (cancel_ != nullptr && !cancel_->load()) usleep(1000);
        if (signals_ < 2) return;
        kill(getpid(), SIGINT);
        for (;;) pause();  // the second one ends the program
    }

    void EraseBar() {
        if (!barShown_) return;
        err_ << "\r\033[K" << std::flush;
        barShown_ = false;
    }

    std::ostream& out_;
    std::ostream& err_;
    bool yes_;
    bool progressBar_;
    bool barShown_ = false;
    std::atomic<bool>* cancel_ = nullptr;
    int32_t signalRecord_ = -1;
    int signals_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_ = start_;
};

struct CliOptions {
    std::string ini;
    std::string mode;
    std::string input;
    std::string output;
    std::vector<std::string> sets;
    bool yes = false;
    std::string writeIni;
    bool listModes = false;
};

int BadCommandLine(std::ostream& err, const std::string& problem) {
    err << "geoplait-cli: " << problem << "\n" << kUsage << "Run with --help for more information.\n";
    return kExitUsage;
}

// Settings-file names without "/" are taken from the current directory.
std::string PathArgument(const std::string& name) {
    return name.find('/') == std::string::npos ? "./" + name : name;
}

const ConvertMode* FindMode(std::string_view text) {
    const ConvertMode* mode = FindModeByDisplayText(text);
    return mode != nullptr ? mode : FindModeByFileValue(text);
}

// GEOPLAIT_FIXED_TIME=YYYYMMDDhhmmss; false when unset or malformed.
bool FixedTime(struct tm& when) {
    const char* text = std::getenv("GEOPLAIT_FIXED_TIME");
    if (text == nullptr) return false;
    std::string_view digits(text);
    if (digits.size() != 14 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    auto number = [&](size_t pos, size_t length) {
        int value = 0;
        for (size_t i = pos; i < pos + length; ++i) value = value * 10 + (digits[i] - '0');
        return value;
    };
    when = {};
    when.tm_year = number(0, 4) - 1900;
    when.tm_mon = number(4, 2) - 1;
    when.tm_mday = number(6, 2);
    when.tm_hour = number(8, 2);
    when.tm_min = number(10, 2);
    when.tm_sec = number(12, 2);
    return true;
}

// --write-ini: the settings as the settings file holds them.
bool WriteSettings(Settings& settings, UserInterface& ui, const std::string& name) {
    struct tm when;
    return SaveSettingsFile(settings, ui, name, SaveNotice::Silent, FixedTime(when) ? &when : nullptr);
}

// Checks every --set line first, so that a bad command line changes and
// prints nothing else. Returns the first problem, empty when none.
std::string ProblemOfSettingLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (std::string problem = CommandLineSettingProblem(line); !problem.empty()) return problem;
    }
    return {};
}

// The signals of the command line: the first cancels the run under way, a
// second (or one while no run is under way) removes the temporary files of
// the process and ends it.
class CliInterrupts {
public:
    CliInterrupts() : watch_([this](int count) { OnSignal(count); }) {}
    void SetRun(std::atomic<bool>* cancel) { run_.store(cancel); }

private:
    void OnSignal(int count) {
        std::atomic<bool>* run = run_.load();
        if (count == 1 && run != nullptr) {
            run->store(true);
            return;
        }
        RemoveRegisteredTemporaries();
        _exit(kExitStopped);
    }

    std::atomic<std::atomic<bool>*> run_{nullptr};
    SignalWatch watch_;
};

// Test hooks of the environment (see the help).
void ApplyTestHooks(RunContext& ctx, CliUi& ui) {
    if (const char* bytes = std::getenv("GEOPLAIT_FAIL_WRITE_AFTER")) {
        // The outputs fail as on a full disk after so many bytes.
        ctx.outputs.FailAfterBytes(std::strtoull(bytes, nullptr, 10));
    }
    if (const char* at = std::getenv("GEOPLAIT_SIGNAL_AT_RECORD")) {
        char* end = nullptr;
        const long record = std::strtol(at, &end, 10);
        ui.SignalAt(static_cast<int32_t>(record), std::string_view(end) == ",2" ? 2 : 1);
    }
    if (const char* file = std::getenv("GEOPLAIT_REMOVE_BEFORE_COPY")) {
        ctx.beforePhotoCopies = [path = std::string(file)] { std::remove(path.c_str()); };
    }
}

}  // namespace

std::string ProgressLine(const RunProgress& progress, long long seconds) {
    constexpr uint64_t kWidth = 30;
    char line[160];
    const uint64_t total = progress.bytesTotal;
    if (total > 0) {
        // A file that grew while it was read keeps the bar full.
        const uint64_t shown = progress.bytesRead < total ? progress.bytesRead : total;
        const auto percent = static_cast<int>(100.0 * static_cast<double>(shown) / static_cast<double>(total));
        const auto filled = static_cast<size_t>(static_cast<double>(kWidth) * static_cast<double>(shown) /
                                                static_cast<double>(total));
        std::string bar(filled, '#');
        bar.append(kWidth - filled, '-');
        std::snprintf(line, sizeof line, "[%s] %d records %3d%%  %lld:%02lld  pass %d", bar.c_str(),
                      progress.records, percent, seconds / 60, seconds % 60, progress.pass);
    } else {
        std::snprintf(line, sizeof line, "%d records  %lld:%02lld  pass %d", progress.records, seconds / 60,
                      seconds % 60, progress.pass);
    }
    return line;
}

namespace {

// The options of the command line, declared on `app` into `options`.
void DeclareCliOptions(CLI::App& app, CliOptions& options) {
    app.footer(kHelpFooter);
    app.add_option("--ini", options.ini, "Read the settings file FILE (all keys) after geoplait.ini")
        ->type_name("FILE");
    app.add_option("--mode", options.mode, "Conversion mode: display text or settings-file value")
        ->type_name("MODE");
    app.add_option("--in", options.input, "Input file; - (or /dev/stdin) reads standard input")
        ->type_name("PATH");
    app.add_option("--out", options.output, "Output file")->type_name("PATH");
    app.add_option("--set", options.sets, "One settings-file line; may be repeated")
        ->type_name("KEY=VALUE")
        ->allow_extra_args(false);
    app.add_flag("--yes", options.yes, "Replace an existing output file");
    app.add_option("--write-ini", options.writeIni,
                   "Write the resulting settings to FILE in the settings-file layout; no conversion")
        ->type_name("FILE");
    app.add_flag("--list-modes", options.listModes, "Print the " + std::to_string(kModeCount) + " modes and exit");

}

// The exit status of a run's outcome (see the help).
int ExitStatusOf(RunOutcome outcome, bool settingsSaveFailed) {
    switch (outcome) {
        case RunOutcome::Complete:
            return settingsSaveFailed ? kExitSettingsNotSaved : kExitComplete;
        case RunOutcome::CompleteWithWarnings:
            return settingsSaveFailed ? kExitSettingsNotSaved : kExitWarnings;
        case RunOutcome::NothingIncluded:
            return kExitNothingIncluded;
        case RunOutcome::NoData:
            return kExitNoData;
        case RunOutcome::Stopped:
        case RunOutcome::Cancelled:
            break;
    }
    return kExitStopped;
}

}  // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err, bool progressBar, bool watchSignals) {
    std::unique_ptr<CliInterrupts> interrupts;
    if (watchSignals) interrupts = std::make_unique<CliInterrupts>();
    CliOptions options;
    CLI::App app{"geoplait-cli: converts GPS track logs (NMEA, CSV, POT, GPX, KML, photos) into\n"
                 "KML/KMZ, GPX, POT, CSV, NMEA and summaries, as the window's Create does.",
                 "geoplait-cli"};
    DeclareCliOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitComplete;
    } catch (const CLI::ParseError& e) {
        return BadCommandLine(err, e.what());
    }

    if (options.listModes) {
        for (const ConvertMode& mode : kConvertModes) out << mode.displayText << '\t' << mode.fileValue << '\n';
        return kExitComplete;
    }

    const ConvertMode* mode = nullptr;
    if (!options.mode.empty()) {
        mode = FindMode(options.mode);
        if (mode == nullptr) {
            return BadCommandLine(err, "unknown mode \"" + options.mode + "\" (see --list-modes)");
        }
    }
    if (std::string problem = ProblemOfSettingLines(options.sets); !problem.empty()) {
        return BadCommandLine(err, problem);
    }

    CliUi ui(out, err, options.yes, progressBar);
    Settings settings;
    // A device or a pipe is refused before anything is read: it could wait
    // for a writer for ever.
    if (!options.ini.empty() && IsSpecialFile(PathArgument(options.ini))) {
        ui.Show(MakeNotice(Notice::SettingsFileNotRegular, {options.ini}));
        return kExitStopped;
    }
    LoadStartupSettings(settings, ui, StartupDirectory(), [&](Settings& loaded) {
        // --mode sets what the mode writes as the window's mode change does,
        // over geoplait.ini; a key that --ini or --set gives wins over it.
        if (mode != nullptr) ApplyModeOutputRule(*mode, loaded.baseline);
        if (!options.ini.empty()) LoadSettingsFile(loaded, ui, PathArgument(options.ini), LoadPass::AllKeys);
        for (const std::string& line : options.sets) ApplyCommandLineSetting(loaded, line);
        PadIncludeTimes(loaded.baseline);
    });
    for (const std::string& line : options.sets) ApplyCommandLineCurrentOnly(settings.current, line);

    ConvertSettings& current = settings.current;
    if (mode != nullptr) current.Mode = mode->displayText;
    // "-" is standard input, as for most commands: the run reads it as a pipe.
    if (!options.input.empty()) current.InputFile = options.input == "-" ? kStandardInput : options.input;
    if (!options.output.empty()) current.OutputFile = options.output;

    if (!options.writeIni.empty()) {
        return WriteSettings(settings, ui, PathArgument(options.writeIni)) ? kExitComplete
                                                                           : kExitSettingsNotSaved;
    }

    RunContext ctx(settings, ui);
    ApplyTestHooks(ctx, ui);
    ui.WatchCancel(&ctx.cancelRequested);
    if (interrupts) interrupts->SetRun(&ctx.cancelRequested);
    const RunOutcome outcome = RunConversion(ctx);
    if (interrupts) interrupts->SetRun(nullptr);
    return ExitStatusOf(outcome, ctx.run.SettingsSaveFailed);
}

}  // namespace geoplait
