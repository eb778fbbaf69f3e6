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
    void ShowProgress(int pass, int32_t done, int32_t total) override;
    bool CancelRequested() override { return cancel.load(std::memory_order_relaxed); }

    std::atomic<bool> cancel{false};
    std::atomic<int> pass{0};
    std::atomic<int32_t> done{0};
    std::atomic<int32_t> total{0};
    // Set before the run starts; called on the worker thread.
    std::function<void(int, int32_t, int32_t)> observer;

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
