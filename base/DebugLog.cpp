#include "base/DebugLog.h"

#include <cstdio>

namespace tandemix {

void StderrDebugLog::Write(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace tandemix
