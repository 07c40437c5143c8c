#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tandemix::fuzz {

// A broken expectation ends the run the way a crash does, so that libFuzzer keeps the input
// that broke it.
[[noreturn]] inline void Fail(std::string_view what) {
    std::fprintf(stderr, "broken expectation: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline void Check(bool holds, std::string_view what) {
    if (!holds) {
        Fail(what);
    }
}

}  // namespace tandemix::fuzz
