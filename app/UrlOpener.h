#pragma once

#include <string>

namespace tandemix::app {

// Opens a web address with the desktop's browser; tests replace it by a recorder.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // True when the desktop took the address.
    virtual bool Open(const std::string& address) = 0;
};

class DesktopUrlOpener final : public UrlOpener {
public:
    bool Open(const std::string& address) override;
};

}  // namespace tandemix::app
