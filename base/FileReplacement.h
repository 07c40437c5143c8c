#pragma once

#include <string>
#include <string_view>

namespace tandemix {

// Files being written carry this prefix until they take their place, so that what a
// killed program left behind can be told from everything else in the folder.
inline constexpr std::string_view kPartPrefix = ".~tandemix-part-";

// A new name beside the path for the file that will replace it: the prefix, this
// process's number, a counter and the file's own name.
std::string PartPathFor(const std::string& path);

// Removes every file of the folder that carries the prefix. Only safe while no other
// program writes into the folder.
void RemoveLeftoverParts(const std::string& directory);

// Writes the bytes to a new file beside the path and renames it over the path, so that
// the file is replaced whole or not at all. False when anything fails; the old file is
// then unchanged.
bool ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace tandemix
