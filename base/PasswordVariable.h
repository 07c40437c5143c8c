#pragma once

namespace tandemix {

// The environment variable that holds the password for a web login. Programs this one starts
// never see it.
inline constexpr const char* kPasswordVariable = "TANDEMIX_PASSWORD";

}  // namespace tandemix
