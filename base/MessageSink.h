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
    // What the program is waiting for, worth showing while it lasts (the window's status
    // line, a line on the terminal); an empty text says that the wait is over. Ignored by
    // default.
    virtual void ShowStatus(std::string_view text) { static_cast<void>(text); }
};

}  // namespace tandemix
