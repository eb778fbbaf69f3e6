// A batch: several files, each converted by a whole run in a process of its
// own (its own outputs, temporary files and signals, as a run of its own
// command), up to --jobs at a time. The processes report their messages and
// counts through a pipe; the batch prints a line per file, in the order of
// the inputs, and a summary.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/output_files.h"
#include "base/signal_watch.h"
#include "cli/cli.h"
#include "cli/cli_run.h"
#include "settings/settings_file.h"

namespace geoplait {

namespace {

// What one file of the batch came to, and what its run said.
struct FileOutcome {
    CliResult result;
    std::string messages;
};

struct Running {
    pid_t pid;
    int fd;
    size_t index;
    std::string received;
};

// The words of an exit status in the per-file and summary lines, in the
// order the summary names them.
struct StatusWords {
    int status;
    const char* words;
};
constexpr StatusWords kStatusWords[] = {
    {kExitComplete, "complete"},         {kExitWarnings, "complete with warnings"},
    {kExitSettingsNotSaved, "settings not saved"}, {kExitNothingIncluded, "none written"},
    {kExitNoData, "nothing read"},       {kExitStopped, "stopped"},
};

const char* WordsOf(int status) {
    for (const StatusWords& entry : kStatusWords) {
        if (entry.status == status) return entry.words;
    }
    return "failed";
}

void WriteWhole(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// The run of one file, in the child process; never returns.
[[noreturn]] void RunChild(const Settings& settings, const CliPlan& plan, size_t index, const CliOptions& options,
                           int report, bool watchSignals) {
    // A Ctrl-C reaches the batch, which passes it on once to every run; the
    // runs go when the batch goes.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    std::ostringstream messages;
    std::ostream discarded(nullptr);
    CliUi ui(discarded, messages, options.yes, false, VerbosityOf(options));
    ui.SignalTarget(getppid());
    std::unique_ptr<CliInterrupts> interrupts;
    if (watchSignals) interrupts = std::make_unique<CliInterrupts>();
    const CliResult result =
        RunOneFile(settings, plan, plan.files[index], ui, interrupts ? &interrupts->RunSlot() : nullptr);
    char counts[64];
    std::snprintf(counts, sizeof counts, "%d %d %d", result.status, result.written, result.read);
    WriteWhole(report, messages.str() + '\0' + counts);
    close(report);
    _exit(0);
}

// The outcome a finished child reported; a child that died without its
// report stopped.
FileOutcome OutcomeOf(const std::string& received, int waitStatus) {
    FileOutcome outcome;
    const size_t end = received.rfind('\0');
    if (end != std::string::npos &&
        std::sscanf(received.c_str() + end + 1, "%d %d %d", &outcome.result.status, &outcome.result.written,
                    &outcome.result.read) == 3) {
        outcome.messages = received.substr(0, end);
        return outcome;
    }
    outcome.result.status = kExitStopped;
    outcome.messages = received;
    if (WIFSIGNALED(waitStatus)) {
        outcome.messages += "Error: the run ended on signal " + std::to_string(WTERMSIG(waitStatus)) + "\n";
    }
    return outcome;
}

// With --quiet only the files that did not complete are told.
void PrintFileLine(std::ostream& err, const CliFile& file, const std::optional<FileOutcome>& outcome, bool quiet) {
    if (quiet && outcome && outcome->result.status == kExitComplete) return;
    if (!outcome) {
        err << file.input << ": not run\n";
        return;
    }
    const CliResult& result = outcome->result;
    err << file.input << " -> " << file.output << ": " << result.written << "/" << result.read << ", status "
        << result.status << " (" << WordsOf(result.status) << ")\n";
    std::istringstream lines(outcome->messages);
    for (std::string line; std::getline(lines, line);) err << "    " << line << "\n";
}

// The settings save of a batch that completed a run: once, with the last
// complete run's input and output. Returns the status with a failed save in.
int SaveAfterBatch(const Settings& settings, const CliPlan& plan, const std::vector<std::optional<FileOutcome>>& outcomes,
                   std::ostream& err, int status) {
    if (settings.config.AutoSave != "1") return status;
    const CliFile* last = nullptr;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i] && (outcomes[i]->result.status == kExitComplete || outcomes[i]->result.status == kExitWarnings)) {
            last = &plan.files[i];
        }
    }
    if (last == nullptr) return status;
    Settings saved = settings;
    saved.current.Mode = plan.mode->displayText;
    (plan.mode->kind == ModeKind::Photo ? saved.current.PhotoDir : saved.current.InputFile) = last->input;
    saved.current.OutputFile = last->output;
    std::ostream discarded(nullptr);
    CliUi ui(discarded, err, false, false);
    struct tm when;
    if (SaveSettingsFile(saved, ui, kSettingsFileName, SaveNotice::Silent, FixedTime(when) ? &when : nullptr) ||
        saved.config.Protect == "1") {
        return status;
    }
    return WorstStatus(status, kExitSettingsNotSaved);
}

}  // namespace

int RunBatch(const Settings& settings, const CliPlan& plan, const CliOptions& options, std::ostream& out,
             std::ostream& err, bool watchSignals, bool progressBar) {
    const size_t jobs = options.jobs > 0 ? static_cast<size_t>(options.jobs)
                                         : std::max<size_t>(1, std::thread::hardware_concurrency());
    progressBar = progressBar && !options.quiet;
    // Each run leaves the save to the batch.
    Settings runSettings = settings;
    runSettings.config.AutoSave = "0";

    // A signal stops the batch: no run starts after it, and each one under
    // way is cancelled. The pipe wakes the wait for the runs.
    int wake[2] = {-1, -1};
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        err << "Error: " << std::strerror(errno) << "\n";
        return kExitStopped;
    }
    std::atomic<bool> stop{false};
    std::unique_ptr<SignalWatch> watch;
    if (watchSignals) {
        watch = std::make_unique<SignalWatch>([&](int) {
            stop = true;
            (void)!write(wake[1], "!", 1);
        });
    }

    // The folder of the outputs is the batch's, made once before any run: a
    // run that fails removes the folders it made, and would take a shared one
    // from under the runs beside it. Left empty, it is removed at the end.
    OutputFiles outputFolder;
    if (!options.outDir.empty()) outputFolder.MakeFolders(options.outDir);

    const size_t count = plan.files.size();
    std::vector<std::optional<FileOutcome>> outcomes(count);
    std::vector<Running> running;
    size_t next = 0;
    size_t printed = 0;
    bool forwarded = false;
    std::string shown;  // the progress line on the terminal
    for (;;) {
        while (!stop && running.size() < jobs && next < count) {
            int report[2];
            if (pipe2(report, O_CLOEXEC) != 0) break;
            out.flush();
            err.flush();
            const pid_t pid = fork();
            if (pid == 0) {
                close(report[0]);
                RunChild(runSettings, plan, next, options, report[1], watchSignals);
            }
            close(report[1]);
            if (pid < 0) {
                close(report[0]);
                outcomes[next++] = FileOutcome{{kExitStopped, 0, 0}, "Error: " + std::string(std::strerror(errno)) + "\n"};
                continue;
            }
            running.push_back({pid, report[0], next++, {}});
        }
        if (stop && !forwarded) {
            for (const Running& run : running) kill(run.pid, SIGTERM);
            forwarded = true;
        }
        if (running.empty()) break;
        if (progressBar) {
            const auto done = std::count_if(outcomes.begin(), outcomes.end(),
                                            [](const auto& outcome) { return outcome.has_value(); });
            const std::string line = std::to_string(done) + "/" + std::to_string(count) + " files, " +
                                     std::to_string(running.size()) + " running";
            if (line != shown) err << "\r\033[K" << line << std::flush;
            shown = line;
        }

        std::vector<pollfd> fds;
        for (const Running& run : running) fds.push_back({run.fd, POLLIN, 0});
        fds.push_back({wake[0], POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
        char drain[16];
        while (read(wake[0], drain, sizeof drain) > 0) {
        }
        for (size_t i = running.size(); i-- > 0;) {
            if (fds[i].revents == 0) continue;
            Running& run = running[i];
            char buffer[4096];
            const ssize_t n = read(run.fd, buffer, sizeof buffer);
            if (n > 0) {
                run.received.append(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            close(run.fd);
            int waitStatus = 0;
            while (waitpid(run.pid, &waitStatus, 0) < 0 && errno == EINTR) {
            }
            outcomes[run.index] = OutcomeOf(run.received, waitStatus);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
        }
        // The lines in the order of the inputs, as soon as each is known,
        // and on a terminal how far the batch is, erased before each line.
        if (progressBar && printed < count && outcomes[printed]) {
            err << "\r\033[K";
            shown.clear();
        }
        for (; printed < count && outcomes[printed]; ++printed) PrintFileLine(err, plan.files[printed], outcomes[printed], options.quiet);

    }
    if (progressBar) err << "\r\033[K";
    watch.reset();
    close(wake[0]);
    close(wake[1]);
    for (; printed < count; ++printed) PrintFileLine(err, plan.files[printed], outcomes[printed], options.quiet);

    int status = kExitComplete;
    std::vector<size_t> tally(std::size(kStatusWords) + 1, 0);
    for (const auto& outcome : outcomes) {
        if (!outcome) {
            ++tally.back();
            continue;
        }
        status = WorstStatus(status, outcome->result.status);
        size_t row = 0;
        while (row < std::size(kStatusWords) && kStatusWords[row].status != outcome->result.status) ++row;
        ++tally[row];
    }
    if (stop) status = kExitStopped;
    if (!stop) status = SaveAfterBatch(settings, plan, outcomes, err, status);
    if (options.quiet) return status;
    err << "Batch: " << count << (count == 1 ? " file" : " files");
    for (size_t row = 0; row < tally.size(); ++row) {
        if (tally[row] == 0) continue;
        err << ", " << tally[row] << " " << (row < std::size(kStatusWords) ? kStatusWords[row].words : "not run");
    }
    err << "; exit status " << status << "\n";
    return status;
}

}  // namespace geoplait
