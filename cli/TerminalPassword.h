#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/SignalWatch.h"

namespace tandemix::cli {

// Shows the prompt on the controlling terminal and reads one line from it without echo.
// std::nullopt when there is no terminal (a pipe, a cron job, CI) or its input ends before
// the line does: the prompt then counts as cancelled. When a signal ends the program while
// the prompt waits, the watch gives the terminal its echo back.
std::optional<std::string> ReadPasswordFromTerminal(std::string_view prompt, SignalWatch* watch);

}  // namespace tandemix::cli
