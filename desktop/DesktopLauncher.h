#pragma once

#include <string>

#include "run/Comparison.h"

namespace tandemix {

// Opens the container on a Linux desktop: by file type with xdg-open, in the report viewer
// "tandemix-viewer", or with the desktop's browser launcher. Programs are started without
// a shell, so any path is passed through unchanged, and their standard output is dropped.
class DesktopLauncher final : public ContainerLauncher {
public:
    // Looks for the viewer beside the running program before searching PATH.
    DesktopLauncher();
    // Looks for the viewer in programDirectory first; an empty one searches PATH only.
    explicit DesktopLauncher(std::string programDirectory);

    bool Launch(LaunchAttempt attempt, const std::string& containerPath) override;

private:
    std::string programDirectory_;
};

}  // namespace tandemix
