#include "base/signal_watch.h"

#include <signal.h>

namespace geoplait {

namespace {

// The signals that end a program from a terminal or a session, and the one
// that wakes the watching thread to stop it.
sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGUSR2);
    return set;
}

}  // namespace

SignalWatch::SignalWatch(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    const sigset_t set = WatchedSignals();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
    started_ = pthread_create(&thread_, nullptr, &SignalWatch::Watch, this) == 0;
    if (started_) running_.wait(false);
}

SignalWatch::~SignalWatch() {
    if (!started_) return;
    stopping_ = true;
    pthread_kill(thread_, SIGUSR2);
    pthread_join(thread_, nullptr);
}

void* SignalWatch::Watch(void* self) {
    auto& watch = *static_cast<SignalWatch*>(self);
    const sigset_t set = WatchedSignals();
    watch.running_ = true;
    watch.running_.notify_one();
    int count = 0;
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (signal == SIGUSR2) {
            if (watch.stopping_) return nullptr;
            continue;
        }
        watch.onSignal_(++count);
    }
}

}  // namespace geoplait
