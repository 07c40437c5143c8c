#pragma once

#include <future>
#include <system_error>

namespace tandemix {

// Runs the two tasks at the same time, the second on a helper thread, and returns when both
// are done. Where no thread can be had, they run one after the other on the caller's
// thread. An exception of either task reaches the caller after both have ended.
template <class First, class Second>
void RunSideBySide(First&& first, Second&& second) {
    std::future<void> helper;
    try {
        helper = std::async(std::launch::async, [&second] { second(); });
    } catch (const std::system_error&) {
        first();
        second();
        return;
    }
    try {
        first();
    } catch (...) {
        helper.wait();
        throw;
    }
    helper.get();
}

// Whether two tasks get a thread each. Starting and joining a thread costs more than a small
// task, the more so on a busy machine, where the helper first waits for a core: callers
// choose one after the other below a size worth sharing.
enum class Sharing { OneAfterTheOther, SideBySide };

template <class First, class Second>
void RunSideBySide(Sharing sharing, First&& first, Second&& second) {
    if (sharing == Sharing::OneAfterTheOther) {
        first();
        second();
        return;
    }
    RunSideBySide(first, second);
}

}  // namespace tandemix
