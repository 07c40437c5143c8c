#pragma once

#include <string>
#include <vector>

#include "folders/TreeEntry.h"

namespace tandemix {

// One entry of one side as the walk found it.
struct SideEntry {
    std::string path;  // below the walked folder, names joined with "/"
    EntrySide side;
    std::uint64_t rdev = 0;  // of a device
    // False for a regular file the walk did not look at beyond its name: its size is
    // found when it is opened.
    bool sized = true;
};

struct SideListing {
    std::vector<SideEntry> entries;  // in path order
    FolderListingResult result;
};

// Lists every entry below the folder (not the folder itself) by the walk's rules, leaving
// out the entries whose names match one of the exclusions, and their subtrees. A path that
// is not a folder gives one entry with the path "" describing it.
SideListing ListTree(const std::string& path, const TreeChoices& choices);

}  // namespace tandemix
