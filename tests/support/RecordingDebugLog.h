#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/DebugLog.h"

namespace tandemix::testing {

class RecordingDebugLog final : public DebugLog {
public:
    void Write(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

}  // namespace tandemix::testing
