#pragma once

#include <string_view>

namespace tandemix {

// Messages for the user. The engine never shows anything itself: the window shows each
// message as a modal box titled "Tandemix", the command line prints it.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Something failed.
    virtual void Warn(std::string_view text) = 0;
    // Worth knowing, but nothing failed.
    virtual void Inform(std::string_view text) = 0;
};

}  // namespace tandemix
