#pragma once

#include <string>

#include "folders/TreeEntry.h"

namespace tandemix {

// Compares two folder trees entry by entry, paired by their paths. Files are equal only
// when their bytes are: sizes decide first, then the bytes of files of equal size, read
// once each in bounded pieces. A file only in 1 and a file only in 2 with the same bytes
// are one moved entry when neither is in a folder of one side only, both have at least
// kSmallestMovedFile bytes and their content occurs in no other one-sided file of either
// side. Special files are never opened: two of the same type are equal (devices: the same
// device number). Two paths that are not folders give one entry with the path "".
TreeComparison CompareTrees(const std::string& path1, const std::string& path2,
                            const TreeChoices& choices = {});

}  // namespace tandemix
