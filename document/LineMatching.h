#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/CodePage.h"
#include "base/OptionMap.h"

namespace tandemix {

// How a document's options turn a stored line into the text that lines are matched by.
// A rule is switched on by any value of its key but "yes" and the empty text.
struct MatchRule {
    bool ignoreIndent = false;
    bool ignoreCase = false;
    CodePage codePage = CodePage::None;

    static MatchRule FromOptions(const OptionMap& options, CodePage codePage);

    // The matching text: a view of the line itself when the rule keeps it, otherwise a
    // view of scratch, which receives the changed text.
    std::string_view Apply(std::string_view line, std::string& scratch) const;
};

// The line hash that filters candidate matches: h = 3h + c over the signed bytes, with
// 32-bit wrap-around.
std::int32_t ComputeLineHash(std::string_view matchText);

}  // namespace tandemix
