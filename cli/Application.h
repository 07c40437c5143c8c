#pragma once

#include <span>
#include <string>

namespace tandemix::cli {

// The whole command: reads the arguments after the program name, runs the comparison and
// returns the exit status.
int RunApplication(std::span<const std::string> arguments);

}  // namespace tandemix::cli
