#pragma once

#include <string>

class QWidget;

namespace tandemix::app {

// The window's lower pane as the window uses it: a widget that navigates to addresses.
class HelpPane {
public:
    virtual ~HelpPane() = default;
    virtual QWidget* Widget() = 0;
    virtual void Navigate(const std::string& address) = 0;
};

}  // namespace tandemix::app
