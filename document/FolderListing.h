#pragma once

#include <string>
#include <string_view>

#include "base/OptionMap.h"
#include "document/TextDocument.h"

namespace tandemix {

// What a file's listing line carries besides its name: its last modification time, or its
// size and a fingerprint of its content.
enum class FolderComparison { ByTime, ByContents };

// Fills the document with one line per file of the folder tree: its depth as indentation,
// its name and its last modification time (UTC, to the minute). The name of the document
// is the path as given; trailing separators are ignored for the listing. False when
// nothing is left of the path.
bool LoadFolder(TextDocument& document, std::string path, const OptionMap& options);

// The recursive step: lists the folder at the given depth (0 for the listed folder).
bool ListFolder(TextDocument& document, const std::string& folderPath, int depth);

}  // namespace tandemix
