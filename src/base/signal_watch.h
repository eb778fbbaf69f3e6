// SIGINT, SIGTERM and SIGHUP, taken on a thread of their own: blocked in the
// thread that makes the watch (and so in every thread started after it) and
// waited for with sigwait, so that what a signal does runs as ordinary code,
// with locks and all, rather than in a signal handler.
#pragma once

#include <pthread.h>

#include <atomic>
#include <functional>

namespace geoplait {

class SignalWatch {
public:
    // `onSignal(count)` runs on the watching thread for each signal: count 1
    // for the first, 2 for the second, ... Make the watch before any other
    // thread starts. It returns once the watching thread runs: a process
    // that forks next (the batch) never forks while that thread is still
    // starting and may hold the allocator's lock, which the child would
    // inherit held and wait on for ever.
    explicit SignalWatch(std::function<void(int count)> onSignal);
    // Stops the watching thread; the signals stay blocked in this thread.
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    bool Started() const { return started_; }

private:
    static void* Watch(void* self);

    std::function<void(int)> onSignal_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> running_{false};
    pthread_t thread_{};
    bool started_ = false;
};

}  // namespace geoplait
