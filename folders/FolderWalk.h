#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/UniqueFd.h"
#include "folders/FolderListingResult.h"

namespace tandemix {

// An entry that is not a folder, with its information (links followed).
struct FileEntry {
    std::string name;
    struct stat info {};
    // False for a regular file named by the directory when the visitor wants no more than
    // that (FolderVisitor::WantsRegularFileDetails): then info holds its type alone.
    bool detailed = true;
};

// A file's line in the listing, with the file's size, which a listing by time does not show.
struct FileLine {
    std::string text;
    std::uint64_t size = 0;
};

// Why the walk left an entry out.
enum class LeftOutReason { NoPermission, BrokenLink, Unreadable, LinkNotFollowed };

// Receives the folders of a walk.
class FolderVisitor {
public:
    virtual ~FolderVisitor() = default;
    // Whether the walk looks at the entry at all; one that is not is neither counted nor
    // entered, nor is anything below it.
    virtual bool Includes(std::string_view /*name*/) { return true; }
    // Whether regular files need their information (size, times) from the walk; a visitor
    // that opens them anyway learns it there, which saves looking each name up twice.
    virtual bool WantsRegularFileDetails() { return true; }
    // Once per folder as it is entered, before Describe: its path below the listed folder.
    virtual void EnterFolder(std::string_view /*relativePath*/) {}
    // An entry of the folder at folderPath that the walk could not describe or enter.
    virtual void LeftOut(std::string_view /*folderPath*/, std::string_view /*name*/,
                         LeftOutReason /*reason*/) {}
    // Once per folder while it is open (folderFd), with its entries that are not folders in
    // the order the directory yields them. The lines returned come back with AddBlock.
    virtual std::vector<FileLine> Describe(int folderFd, std::span<const FileEntry> files) = 0;
    // Once per folder, after all of its subfolders: its path below the listed folder ("" for
    // the listed folder itself), its depth (0 for the listed folder) and its lines.
    virtual void AddBlock(std::string_view relativePath, int depth,
                          std::vector<FileLine> lines) = 0;
    // Once per folder as the walk is done with it, after AddBlock, with its descriptor
    // (closed where the walk could not find the folder again): a visitor that opens its
    // files later may keep it, which saves looking up their paths from the top again.
    virtual void LeaveFolder(UniqueFd& /*fd*/) {}
};

// Walks the tree below the open folder through descriptors, so that neither the path
// length nor the number of descriptors a process may open bounds the depth. Subfolders
// come in ascending name order. A link to a folder is followed unless the folder encloses
// the listed one or is open on the current path (a circle), or was listed already in this
// walk and is reached through a link again; so every folder is entered at most twice.
// The walk ends early after entryLimit entries. What it leaves out is counted in result.
void WalkFolders(UniqueFd top, std::uint64_t entryLimit, FolderVisitor& visitor,
                 FolderListingResult& result);

}  // namespace tandemix
