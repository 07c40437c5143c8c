#pragma once

#include <optional>
#include <string>

class QWidget;

namespace tandemix::app {

// The two pickers behind the "..." buttons; tests replace them by scripted answers.
class PathPickers {
public:
    virtual ~PathPickers() = default;
    // An existing file chosen in a picker owned by the window; nothing when cancelled.
    virtual std::optional<std::string> PickFile(QWidget* owner) = 0;
    // A folder chosen in the window's own folder picker, opened at the initial folder.
    virtual std::optional<std::string> PickFolder(const std::string& initialFolder) = 0;
};

// The pickers the user sees.
class QtPathPickers final : public PathPickers {
public:
    std::optional<std::string> PickFile(QWidget* owner) override;
    std::optional<std::string> PickFolder(const std::string& initialFolder) override;
};

}  // namespace tandemix::app
