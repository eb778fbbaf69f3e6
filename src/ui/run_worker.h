// The engine's user interface for a run on a worker thread: message boxes and
// questions are shown on the window's thread while the worker waits for the
// answer; the message and status lines are posted without waiting; progress
// and the cancel request pass through atomics that the window polls and sets.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/run_context.h"
#include "job/run_conversion.h"
#include "base/user_interface.h"
#include "settings/convert_settings.h"

namespace geoplait::ui {

class MainWindow;

class WindowUi : public UserInterface {
public:
    explicit WindowUi(MainWindow& window) : window_(window) {}

    void Show(const NoticeText& notice) override;
    bool Ask(const NoticeText& question) override;
    void SetMessageLine(const std::string& text) override;
    void SetStatusLine(const std::string& text) override;
    void ShowProgress(const RunProgress& progress) override;
    bool CancelRequested() override { return cancel.load(std::memory_order_relaxed); }

    std::atomic<bool> cancel{false};
    std::atomic<int> pass{0};
    std::atomic<int32_t> done{0};
    // Thousandths of the input read; -1 when its size is not known.
    std::atomic<int> permille{-1};
    // The first line of the last result or problem shown ("Complete
    // Record=45/45"): written by the worker, read once it has ended.
    std::string lastResult;
    // Set before the run starts; called on the worker thread.
    std::function<void(const RunProgress&)> observer;

private:
    MainWindow& window_;
};

// One run: its own copy of the settings, so that the window stays free to
// change while the worker reads them.
struct RunJob {
    RunJob(const Settings& s, MainWindow& window) : settings(s), ui(window), ctx(settings, ui) {}
    Settings settings;
    WindowUi ui;
    RunContext ctx;
    RunOutcome outcome = RunOutcome::Stopped;
};

}  // namespace geoplait::ui
