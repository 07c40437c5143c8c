#pragma once

#include <string>

namespace tandemix::app {

// The window's controls as the rules see them: addressed by identifier, texts as byte
// strings in the system code page. The window implements it over its widgets.
class DialogControls {
public:
    virtual ~DialogControls() = default;
    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
};

}  // namespace tandemix::app
