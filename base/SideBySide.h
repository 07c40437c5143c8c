#pragma once

#include <cstdio>
#include <cstdlib>
#include <future>
#include <system_error>
#include <thread>

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

// Whether a helper thread would find a core of its own: the machine has more than one, and
// either over the last minute it has kept busy fewer than all of them but half of one, or
// just now fewer threads than cores are running, this one included. On a busy machine the
// helper first waits for a core, and then takes from the caller's share; but a busy minute
// says little about the next moment, which the running threads tell better.
inline Sharing SharingForLoad() {
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2) {
        return Sharing::OneAfterTheOther;
    }
    double load = 0;
    long running = 0;
    // The first field and the count before the slash in the fourth: "0.52 0.58 0.59 1/130 …".
    if (std::FILE* file = std::fopen("/proc/loadavg", "re")) {
        const int read = std::fscanf(file, "%lf %*f %*f %ld/", &load, &running);
        std::fclose(file);
        if (read == 2) {
            const bool spare = load + 0.5 < cores || running < static_cast<long>(cores);
            return spare ? Sharing::SideBySide : Sharing::OneAfterTheOther;
        }
    }
    const bool spare = ::getloadavg(&load, 1) != 1 || load + 0.5 < cores;
    return spare ? Sharing::SideBySide : Sharing::OneAfterTheOther;
}

}  // namespace tandemix
