#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/UniqueFd.h"
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
    // The index of the folder holding the entry in SideListing::folders, for a file.
    std::uint32_t folder = kNoFolder;

    static constexpr std::uint32_t kNoFolder = UINT32_MAX;
};

struct SideListing {
    std::vector<SideEntry> entries;  // in path order
    FolderListingResult result;
    // Each folder entered, in the order of entering, held open where the descriptors allow,
    // so that its files are opened by their names alone.
    std::vector<UniqueFd> folders;

    // The folder holding the entry while it is open, or -1.
    int FolderFd(const SideEntry& entry) const {
        return entry.folder < folders.size() ? folders[entry.folder].Get() : -1;
    }
};

// Lists every entry below the folder (not the folder itself) by the walk's rules, leaving
// out the entries whose names match one of the exclusions, and their subtrees. A path that
// is not a folder gives one entry with the path "" describing it.
SideListing ListTree(const std::string& path, const TreeChoices& choices);

}  // namespace tandemix
