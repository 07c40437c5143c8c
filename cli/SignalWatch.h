#pragma once

#include <signal.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace tandemix::cli {

// Ends the program cleanly when it is interrupted (SIGINT), terminated (SIGTERM) or loses its
// terminal (SIGHUP): runs the actions registered at that moment, newest first, then exits
// with 128 + the signal's number. A signal the program was started with ignored (as nohup
// does) stays ignored.
//
// The signals are blocked in the thread that makes the watch and are taken by a thread of its
// own with sigwait, so the actions run as ordinary code, not in a signal handler. Make the
// watch before any other thread starts, so that every later thread inherits the block.
class SignalWatch {
public:
    using Action = std::function<void()>;

    // Ends the registration of an action when it goes.
    class Registration {
    public:
        Registration() = default;
        Registration(SignalWatch* watch, int key) : watch_(watch), key_(key) {}
        ~Registration();
        Registration(Registration&& other) noexcept;
        Registration& operator=(Registration&& other) noexcept;
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

    private:
        SignalWatch* watch_ = nullptr;
        int key_ = 0;
    };

    SignalWatch();
    // Stops the watching thread and gives the thread its former signal mask back.
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    [[nodiscard]] Registration OnSignal(Action action);

private:
    void Watch();
    void Forget(int key);

    sigset_t watched_{};
    sigset_t previousMask_{};
    int wakeSignal_ = 0;  // one of the watched signals, 0 when none is watched
    std::mutex mutex_;
    std::map<int, Action> actions_;
    int nextKey_ = 1;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tandemix::cli
