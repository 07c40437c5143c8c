#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/CodePage.h"
#include "base/OptionMap.h"
#include "folders/FolderListing.h"
#include "folders/FolderListingResult.h"

namespace tandemix {

// What an entry is on one side. Links are followed, so a link counts as what it leads to.
enum class EntryKind : std::uint8_t {
    None,  // not on this side
    File,  // a regular file
    Folder,
    Special,     // fifo, socket or device: never opened
    Unreadable,  // there, but it could not be described or entered
};

enum class EntryStatus : std::uint8_t {
    Equal,    // files: the same bytes; folders: everything below them equal
    Changed,  // files: other bytes; folders: something below them differs
    OnlyIn1,
    OnlyIn2,
    KindsDiffer,  // a file on one side and a folder on the other, and the like
    Unreadable,   // on both sides, but one of them could not be read
    Moved,        // a file only in 1 and a file only in 2 with the same bytes
    // Files of other bytes whose lines are all equal under the matching rules of the
    // comparison's options: no difference, but not the same bytes either.
    EqualUnderOptions,
};

struct EntrySide {
    EntryKind kind = EntryKind::None;
    std::uint32_t type = 0;  // the file type bits of the mode: tells special files apart
    std::uint64_t size = 0;  // bytes of a file
};

struct TreeEntry {
    // Below the compared folder, its names joined with "/", as the file system spells them
    // (bytes, not necessarily UTF-8); "" when two files were compared. Side 1's path for a
    // moved file.
    std::string path;
    std::string movedTo;  // side 2's path of a moved file
    EntryStatus status = EntryStatus::Equal;
    std::array<EntrySide, 2> sides;
    // A changed file pair with a NUL byte in the first 8 KiB of either side; only known
    // when the comparison was asked to look (BinaryCheck::Look).
    bool binary = false;
    // Below a folder that is on one side only (or is something else on the other side):
    // the entry is part of that folder's one difference.
    bool insideOneSided = false;
};

// Whether changed file pairs are looked at to tell binary files from text. WhereRead looks
// only where the bytes are read to compare them: a pair of different sizes is left unopened
// for a caller that reads both files whole anyway and looks there.
enum class BinaryCheck { Skip, Look, WhereRead };

// Files smaller than this are never taken as moved: many small files (empty ones, one-line
// modules) share their bytes without being one file renamed.
inline constexpr std::uint64_t kSmallestMovedFile = 64;

// Where a NUL byte makes a file binary.
inline constexpr std::uint64_t kBinaryProbeBytes = 8 * 1024;

struct TreeChoices {
    // Shell patterns; an entry whose name matches one is left out with everything below it.
    std::vector<std::string> exclusions{};
    std::uint64_t entryLimit = kFolderEntryLimit;  // for each side
    BinaryCheck binaryCheck = BinaryCheck::Skip;
    // Whether files below a folder on one side only are sized; a listing that names only
    // such a folder saves looking at each file in it, whose size then stays 0.
    bool sizeInsideOneSided = true;
    // The comparison options: under matching rules, changed files are also compared line
    // by line (EqualUnderOptions).
    OptionMap options{};
    CodePage codePage = CodePage::None;
};

struct TreeComparison {
    std::vector<TreeEntry> entries;  // in path order (PathBefore)
    // What each walk left out, and the files that could not be read; notes for the user.
    std::array<FolderListingResult, 2> walks{};
};

// Path order: name by name, each compared as unsigned bytes, so that a folder's entries
// follow it directly ("a", "a/b", "a.txt"), as diff -r goes through a tree.
bool PathBefore(std::string_view a, std::string_view b);

// Whether the entry is a difference of its own, not part of an enclosing folder's one.
bool IsOwnDifference(const TreeEntry& entry);

}  // namespace tandemix
