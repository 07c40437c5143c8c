#pragma once

#include <string>

#include "base/CodePage.h"
#include "base/OptionMap.h"
#include "document/LineMatching.h"

namespace tandemix {

// Whether the options hold a matching rule that can call lines of other bytes equal.
bool HasMatchingRules(const OptionMap& options);

// Whether two files, loaded as a comparison loads them, have lines that are all equal under
// the options' matching rules: once the lines that line patterns leave out are set aside,
// the rest match one by one. False when either cannot be read. prepared: the options' rule,
// made once for many pairs (TextDocument::AddOptions).
bool EqualUnderRules(const std::string& path1, const std::string& path2, const OptionMap& options,
                     CodePage codePage, const MatchRule* prepared = nullptr);

}  // namespace tandemix
