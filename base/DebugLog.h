#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// Diagnostics the user does not see: single lines that begin with "error : " and end
// with "\r\n".
class DebugLog {
public:
    virtual ~DebugLog() = default;
    virtual void Write(std::string_view line) = 0;
};

// "error : cannot create PATH\r\n" for a file that could not be written, cut to 259
// characters; a long path keeps its end, which names the file.
std::string CannotCreateLine(std::string_view path);

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
