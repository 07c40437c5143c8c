#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ByteSink.h"
#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "run/Comparison.h"

namespace tandemix::testing {

class RecordingDebugLog final : public DebugLog {
public:
    void Write(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

class RecordingMessageSink final : public MessageSink {
public:
    void Warn(std::string_view text) override { messages.emplace_back(text); }
    void Inform(std::string_view text) override { notes.emplace_back(text); }
    void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }
    std::vector<std::string> messages;
    std::vector<std::string> notes;
    std::vector<std::string> statuses;
};

// Keeps the bytes and how large the pieces were that brought them.
class PieceSink final : public ByteSink {
public:
    void Append(std::string_view bytes) override {
        text.append(bytes);
        largest = std::max(largest, bytes.size());
        ++pieces;
    }
    std::string text;
    std::size_t largest = 0;
    std::size_t pieces = 0;
};

// Records every attempt to open a page; the first `failures` attempts fail.
class RecordingLauncher final : public ContainerLauncher {
public:
    explicit RecordingLauncher(int failures = 0) : failures_(failures) {}
    bool Launch(LaunchAttempt attempt, const std::string& path) override {
        attempts.emplace_back(attempt, path);
        return failures_-- <= 0;
    }
    std::vector<std::pair<LaunchAttempt, std::string>> attempts;

private:
    int failures_ = 0;
};

}  // namespace tandemix::testing
