#pragma once

#include <string>

#include "base/DebugLog.h"
#include "base/OptionMap.h"
#include "document/TextDocument.h"

namespace tandemix {

enum class InputKind { Missing, File, Folder };

// What a path names, following links; a folder path may end in separators.
InputKind KindOfPath(const std::string& path);

// Loads the two inputs of one kind, files or folders, into the two documents. The second
// is loaded on a helper thread when one can be had; debug lines still come in input order.
void LoadInputs(const std::string& path1, const std::string& path2, InputKind kind,
                const OptionMap& options, TextDocument& input1, TextDocument& input2,
                DebugLog& log);

}  // namespace tandemix
