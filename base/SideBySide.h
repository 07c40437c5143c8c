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

}  // namespace tandemix
