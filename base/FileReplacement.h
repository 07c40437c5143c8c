#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// Writes the bytes to a new file beside the path and renames it over the path, so that
// the file is replaced whole or not at all. False when anything fails; the old file is
// then unchanged.
bool ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace tandemix
