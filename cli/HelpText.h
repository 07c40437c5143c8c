#pragma once

#include <string_view>

namespace tandemix::cli {

// The full description printed by --help.
std::string_view HelpText();

// The line printed by --version.
std::string_view VersionLine();

// The short reminder printed after a usage error.
std::string_view UsageLine();

}  // namespace tandemix::cli
