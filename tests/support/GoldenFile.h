#pragma once

#include <string>
#include <string_view>

namespace tandemix::testing {

// Expects the bytes to be those of the checked-in file tests/data/NAME, and names the first
// place where they differ. With TANDEMIX_UPDATE_GOLDEN set in the environment the file is
// written instead, for an output change that is meant (then read the change in the diff).
void ExpectGoldenFile(const std::string& name, std::string_view actual);

}  // namespace tandemix::testing
