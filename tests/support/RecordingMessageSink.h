#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/MessageSink.h"

namespace tandemix::testing {

class RecordingMessageSink final : public MessageSink {
public:
    void Warn(std::string_view text) override { messages.emplace_back(text); }
    void Inform(std::string_view text) override { notes.emplace_back(text); }
    std::vector<std::string> messages;
    std::vector<std::string> notes;
};

}  // namespace tandemix::testing
