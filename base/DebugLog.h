#pragma once

#include <string_view>

namespace tandemix {

// Diagnostics the user does not see: single lines that begin with "error : " and end
// with "\r\n".
class DebugLog {
public:
    virtual ~DebugLog() = default;
    virtual void Write(std::string_view line) = 0;
};

// Writes each line to standard error as it is.
class StderrDebugLog final : public DebugLog {
public:
    void Write(std::string_view line) override;
};

// Drops every line.
class SilentDebugLog final : public DebugLog {
public:
    void Write(std::string_view) override {}
};

}  // namespace tandemix
