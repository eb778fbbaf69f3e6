// One run of one file on the command line, and what a run's outcome means
// as an exit status.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "base/temporary_files.h"
#include "cli/cli.h"
#include "cli/cli_run.h"
#include "engine/run_context.h"
#include "job/run_conversion.h"

namespace geoplait {

namespace {

// Test hooks of the environment (see the README).
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

// The rank of an exit status among a batch's: the higher wins.
int RankOf(int status) {
    constexpr int kOrder[] = {kExitComplete,       kExitWarnings, kExitSettingsNotSaved,
                              kExitNothingIncluded, kExitNoData,   kExitStopped};
    for (int rank = 0; rank < static_cast<int>(std::size(kOrder)); ++rank) {
        if (kOrder[rank] == status) return rank;
    }
    return static_cast<int>(std::size(kOrder));
}

}  // namespace

CliInterrupts::CliInterrupts() : watch_([this](int count) { OnSignal(count); }) {}

void CliInterrupts::OnSignal(int count) {
    std::atomic<bool>* run = run_.load();
    if (count == 1 && run != nullptr) {
        run->store(true);
        return;
    }
    RemoveRegisteredTemporaries();
    _exit(kExitStopped);
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

int WorstStatus(int a, int b) { return RankOf(a) >= RankOf(b) ? a : b; }

Verbosity VerbosityOf(const CliOptions& options) {
    if (options.quiet) return Verbosity::Quiet;
    return options.verbose ? Verbosity::Verbose : Verbosity::Normal;
}

CliResult RunOneFile(Settings settings, const CliPlan& plan, const CliFile& file, CliUi& ui,
                     std::atomic<std::atomic<bool>*>* cancelSlot) {
    ConvertSettings& current = settings.current;
    current.Mode = plan.mode->displayText;
    // The photo modes take their folder where the others take their input.
    if (plan.mode->kind == ModeKind::Photo) {
        current.PhotoDir = file.input;
    } else {
        current.InputFile = file.input;
    }
    current.OutputFile = file.output;
    if (file.named) ui.SetOutputNote("Output File: " + file.output);

    RunContext ctx(settings, ui);
    ApplyTestHooks(ctx, ui);
    ui.WatchCancel(&ctx.cancelRequested);
    if (cancelSlot != nullptr) cancelSlot->store(&ctx.cancelRequested);
    const RunOutcome outcome = RunConversion(ctx);
    if (cancelSlot != nullptr) cancelSlot->store(nullptr);
    ui.EndPasses();
    return {ExitStatusOf(outcome, ctx.run.SettingsSaveFailed), ctx.store.WrittenCount, ctx.store.RecordIndex};
}

}  // namespace geoplait
