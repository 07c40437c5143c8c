#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/OptionMap.h"
#include "document/TextDocument.h"
#include "folders/FolderListingResult.h"

namespace tandemix {

// What a file's listing line carries besides its name: its last modification time, or its
// size and a fingerprint of its content.
enum class FolderComparison { ByTime, ByContents };

// A listing ends after this many entries (files and folders) with a note, rather than
// taking all the memory there is.
inline constexpr std::uint64_t kFolderEntryLimit = 10'000'000;

struct FolderListingChoices {
    FolderComparison comparison = FolderComparison::ByTime;
    std::uint64_t entryLimit = kFolderEntryLimit;
};

// The size of each file a listing shows, in line order.
using ListedSizes = std::vector<std::uint64_t>;

// Fills the document with one line per file of the folder tree: its depth as indentation,
// its name and either its last modification time (UTC, to the minute) or its size and
// content fingerprint. Each folder's files begin a section titled with the folder's path
// below the listed one ("" for the listed folder). The name of the document is the path as
// given; trailing separators are ignored for the listing. Not listed when nothing is left
// of the path. When asked for, the sizes of the listed files go to `sizes`.
FolderListingResult LoadFolder(TextDocument& document, std::string path, const OptionMap& options,
                               const FolderListingChoices& choices = {},
                               ListedSizes* sizes = nullptr);

// The rows of two aligned listings that pair a file with a file of another size: rows shown
// as unchanged, so with equal listing lines (name and time, when listed by time).
std::uint64_t ResizedFilePairs(const TextDocument& rows1, const TextDocument& rows2,
                               const std::array<ListedSizes, 2>& sizes);

}  // namespace tandemix
