#include "base/DebugLog.h"

#include <cstdio>

namespace tandemix {
namespace {

// Longer debug lines are cut to this many characters, line end included.
constexpr std::size_t kLongestDebugLine = 259;

}  // namespace

std::string CannotCreateLine(std::string_view path) {
    constexpr std::string_view kStart = "error : cannot create ";
    constexpr std::string_view kEnd = "\r\n";
    constexpr std::string_view kCut = "...";
    std::string line(kStart);
    const std::size_t room = kLongestDebugLine - kStart.size() - kEnd.size();
    if (path.size() <= room) {
        line.append(path);
    } else {
        line.append(kCut).append(path.substr(path.size() - (room - kCut.size())));
    }
    return line.append(kEnd);
}

void StderrDebugLog::Write(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace tandemix
