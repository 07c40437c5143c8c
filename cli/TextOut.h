#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

namespace tandemix::cli {

// Where a piece of the command line's output goes; tests hand in a string instead.
using TextOut = std::function<void(std::string_view)>;

inline TextOut StreamOut(std::FILE* stream) {
    return [stream](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stream);
        std::fflush(stream);
    };
}

}  // namespace tandemix::cli
