// The pieces of geoplait-cli between its options and the runs: the options
// as parsed, the plan of the runs they ask for, one run of one file and a
// batch of several.
#pragma once

#include <atomic>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "base/signal_watch.h"
#include "cli/cli_ui.h"
#include "settings/convert_modes.h"
#include "settings/convert_settings.h"

namespace CLI {
class App;
}

namespace geoplait {

struct CliOptions {
    std::string ini;
    bool noIni = false;
    std::string mode;
    std::vector<std::string> inputs;
    std::string output;
    std::string outDir;
    int jobs = 0;  // 0: one per core
    std::vector<std::string> sets;
    bool yes = false;
    std::string writeIni;
    bool listModes = false;
    bool listKeys = false;
    bool version = false;
    bool quiet = false;
    bool verbose = false;
};

// One conversion of a plan: its input and the output it writes.
struct CliFile {
    std::string input;
    std::string output;
    bool named = false;  // the command line named the output after the input
};

struct CliPlan {
    const ConvertMode* mode = nullptr;
    std::vector<CliFile> files;
    bool batch = false;     // several inputs, or a folder of them
    bool toStdout = false;  // the output goes to standard output
};

// What one run came to.
struct CliResult {
    int status = 0;
    int32_t written = 0;
    int32_t read = 0;
};

// The signals of the command line: the first cancels the run under way, a
// second (or one while no run is under way) removes the temporary files of
// the process and ends it.
class CliInterrupts {
public:
    CliInterrupts();
    // Where the cancel flag of the run under way is put (null between runs).
    std::atomic<std::atomic<bool>*>& RunSlot() { return run_; }

private:
    void OnSignal(int count);

    std::atomic<std::atomic<bool>*> run_{nullptr};
    SignalWatch watch_;
};

// Declares the options on `app` into `options` (and the help's texts).
void DeclareCliOptions(CLI::App& app, CliOptions& options);

Verbosity VerbosityOf(const CliOptions& options);

// Runs one file of the plan with `settings` (a copy: the run sets its input
// and output), messages on `ui`. `cancel` is the run's cancel flag, which a
// signal may set while it runs; null for none. The settings save after a
// complete run follows `settings` (AutoSave).
CliResult RunOneFile(Settings settings, const CliPlan& plan, const CliFile& file, CliUi& ui,
                     std::atomic<std::atomic<bool>*>* cancelSlot);

// Runs every file of the plan, up to `jobs` at a time, each in a process of
// its own; a line per file and a summary on `err`, and with progressBar (a
// terminal) a line of the files done so far. Returns the exit status.
int RunBatch(const Settings& settings, const CliPlan& plan, const CliOptions& options, std::ostream& out,
             std::ostream& err, bool watchSignals, bool progressBar);

// The exit status of several runs: the one that comes first in the order
// 2, 4, 3, 1, 5, 0 (a stop before nothing read, before nothing written,
// before a failed settings save, before warnings, before complete).
int WorstStatus(int a, int b);

// Test hook: the time of GEOPLAIT_FIXED_TIME=YYYYMMDDhhmmss, for the banner
// of a settings file the command writes; false when unset or malformed.
bool FixedTime(struct tm& when);

// The text of --list-keys: every settings key, its default and what it takes,
// tab-separated, one a line, in the order of the settings file.
std::string ListKeysText();

// The text of --version.
std::string VersionText();

}  // namespace geoplait
