#include "cli/SignalWatch.h"

#include <pthread.h>

#include <cstdlib>
#include <ranges>
#include <utility>

namespace tandemix::cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

bool StartedIgnored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

SignalWatch::Registration::~Registration() {
    if (watch_ != nullptr) {
        watch_->Forget(key_);
    }
}

SignalWatch::Registration::Registration(Registration&& other) noexcept
    : watch_(std::exchange(other.watch_, nullptr)), key_(other.key_) {}

SignalWatch::Registration& SignalWatch::Registration::operator=(Registration&& other) noexcept {
    if (this != &other) {
        if (watch_ != nullptr) {
            watch_->Forget(key_);
        }
        watch_ = std::exchange(other.watch_, nullptr);
        key_ = other.key_;
    }
    return *this;
}

SignalWatch::SignalWatch() {
    sigemptyset(&watched_);
    for (const int signal : kSignals) {
        if (!StartedIgnored(signal)) {
            sigaddset(&watched_, signal);
            wakeSignal_ = wakeSignal_ == 0 ? signal : wakeSignal_;
        }
    }
    if (wakeSignal_ == 0) {
        return;
    }
    pthread_sigmask(SIG_BLOCK, &watched_, &previousMask_);
    thread_ = std::thread([this] { Watch(); });
}

SignalWatch::~SignalWatch() {
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    // The thread waits only for the watched signals, so one of them wakes it; it sees that
    // the watch is ending and leaves without acting.
    pthread_kill(thread_.native_handle(), wakeSignal_);
    thread_.join();
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

SignalWatch::Registration SignalWatch::OnSignal(Action action) {
    const std::lock_guard lock(mutex_);
    const int key = nextKey_++;
    actions_.emplace(key, std::move(action));
    return Registration(this, key);
}

void SignalWatch::Forget(int key) {
    const std::lock_guard lock(mutex_);
    actions_.erase(key);
}

void SignalWatch::Watch() {
    int signal = 0;
    while (sigwait(&watched_, &signal) != 0) {
    }
    // The lock stays held to the end: nothing registered or forgotten meanwhile can be half
    // done when the process goes.
    const std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    for (auto& action : actions_ | std::views::values | std::views::reverse) {
        action();
    }
    std::_Exit(128 + signal);
}

}  // namespace tandemix::cli
