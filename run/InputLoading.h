#pragma once

#include <array>
#include <string>

#include "base/DebugLog.h"
#include "base/OptionMap.h"
#include "document/FolderListing.h"
#include "document/TextDocument.h"

namespace tandemix {

enum class InputKind { Missing, File, Folder };

// What a path names, following links; a folder path may end in separators.
InputKind KindOfPath(const std::string& path);

// Loads the two inputs of one kind, files or folders, into the two documents. The second
// is loaded on a helper thread when one can be had; debug lines still come in input order.
// Returns what each folder listing left out (nothing for files).
std::array<FolderListingResult, 2> LoadInputs(const std::string& path1, const std::string& path2,
                                              InputKind kind, const OptionMap& options,
                                              TextDocument& input1, TextDocument& input2,
                                              DebugLog& log,
                                              FolderComparison folders = FolderComparison::ByTime);

}  // namespace tandemix
