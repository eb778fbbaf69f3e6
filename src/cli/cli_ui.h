// The user-interface seam of the command line: message boxes as lines of
// text, the replace question answered by --yes, the progress bar on a
// terminal, and with --verbose a line for each pass.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "base/notices.h"
#include "base/user_interface.h"

namespace geoplait {

// How much a run says: --quiet errors only, --verbose each pass too.
enum class Verbosity { Quiet, Normal, Verbose };

// The progress bar's line (cli.h).
std::string ProgressLine(const RunProgress& progress, long long seconds);

// Notices as lines of text, "Caption: text": a result on `out`, the others on
// `err`; the replace question is answered by --yes.
// With progressBar, a one-line bar on `err` (a terminal) redrawn at most ten
// times a second and erased before any message and at the end of the run.
class CliUi : public UserInterface {
public:
    CliUi(std::ostream& out, std::ostream& err, bool yes, bool progressBar,
          Verbosity verbosity = Verbosity::Normal)
        : out_(out), err_(err), yes_(yes), progressBar_(progressBar), verbosity_(verbosity) {}
    ~CliUi() override { EraseBar(); }

    void Show(const NoticeText& notice) override {
        EraseBar();
        if (notice.kind == NoticeKind::Result && notice.notice == Notice::RunComplete) complete_ = true;
        if (verbosity_ == Verbosity::Quiet && notice.kind != NoticeKind::Problem) return;
        std::ostream& stream = notice.kind == NoticeKind::Result ? out_ : err_;
        stream << notice.caption << ": " << notice.text << "\n";
        // The output the command line named itself, with the completion.
        if (notice.notice == Notice::RunComplete && !outputNote_.empty()) stream << outputNote_ << "\n";
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
    // Printed after the completion message: the output the command named.
    void SetOutputNote(std::string note) { outputNote_ = std::move(note); }
    // True once the run showed its completion message.
    bool Completed() const { return complete_; }
    // Test hook: signals at record `record` of the first pass.
    void SignalAt(int32_t record, int signals) {
        signalRecord_ = record;
        signals_ = signals;
    }
    // Test hook: the process the signals go to (a batch's, from one of its runs).
    void SignalTarget(pid_t target) { signalTarget_ = target; }
    void ShowProgress(const RunProgress& progress) override {
        if (progress.pass == 1 && progress.records == signalRecord_) SendSignals();
        if (verbosity_ == Verbosity::Verbose) NotePass(progress);
        if (!progressBar_) return;
        const auto now = Clock::now();
        if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastDraw_ = now;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - start_).count();
        err_ << '\r' << ProgressLine(progress, static_cast<long long>(seconds)) << std::flush;
        barShown_ = true;
    }
    // --verbose: the line of the last pass, once the run has ended.
    void EndPasses() {
        if (verbosity_ != Verbosity::Verbose || pass_.pass == 0) return;
        EraseBar();
        err_ << "Pass " << pass_.pass << ": " << pass_.records << " records read\n";
        pass_ = {};
    }

private:
    using Clock = std::chrono::steady_clock;

    // A pass that ends is told when the next one starts.
    void NotePass(const RunProgress& progress) {
        if (progress.pass != pass_.pass) EndPasses();
        pass_ = progress;
    }

    // The signals come from outside the run, as a terminal's Ctrl-C does; the
    // run goes on once the first was taken, so that it ends where it was.
    void SendSignals() {
        signalRecord_ = -1;
        const pid_t target = signalTarget_ != 0 ? signalTarget_ : getpid();
        kill(target, SIGINT);
        while (cancel_ != nullptr && !cancel_->load()) usleep(1000);
        if (signals_ < 2) return;
        kill(target, SIGINT);
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
    Verbosity verbosity_;
    bool barShown_ = false;
    bool complete_ = false;
    std::string outputNote_;
    RunProgress pass_;
    std::atomic<bool>* cancel_ = nullptr;
    int32_t signalRecord_ = -1;
    int signals_ = 0;
    pid_t signalTarget_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_ = start_;
};

}  // namespace geoplait
