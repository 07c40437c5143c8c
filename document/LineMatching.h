#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/CodePage.h"
#include "base/OptionMap.h"
#include "document/TextPatterns.h"

namespace tandemix {

// How blanks and tabs inside a line count.
enum class SpaceRule : std::uint8_t {
    Keep,
    Change,  // a run counts as one blank, and none at the end of the line
    All,     // they do not count
};

// How a document's options turn a stored line into the text that lines are matched by.
// Case and indent: a rule is switched on by any value of its key but "yes" and the empty
// text. The others are off unless their key says "yes" or gives a pattern.
struct MatchRule {
    bool ignoreIndent = false;
    bool ignoreCase = false;
    SpaceRule space = SpaceRule::Keep;
    CodePage codePage = CodePage::None;
    // Text that does not count; shared by the copies of a rule.
    std::shared_ptr<const TextPatterns> ignoredText;
    // Lines that are left out where every changed line around them is one.
    std::shared_ptr<const TextPatterns> ignoredLines;

    static MatchRule FromOptions(const OptionMap& options, CodePage codePage);

    // The matching text: a view of the line itself when the rule keeps it, otherwise a
    // view of scratch, which receives the changed text. ignored are the parts of the line
    // its patterns matched (FindIgnoredText), in order.
    std::string_view Apply(std::string_view line, std::string& scratch,
                           std::span<const TextSpan> ignored = {}) const;
    // Appends the parts of the line that do not count.
    void FindIgnoredText(std::string_view line, std::vector<TextSpan>& spans) const;
    bool HasTextPatterns() const { return ignoredText && !ignoredText->IsEmpty(); }
    // Whether the line is one that -I style patterns leave out.
    bool IgnoresLine(std::string_view line) const;
    bool HasLinePatterns() const { return ignoredLines && !ignoredLines->IsEmpty(); }
};

// The line hash that filters candidate matches: h = 3h + c over the signed bytes, with
// 32-bit wrap-around.
std::int32_t ComputeLineHash(std::string_view matchText);

}  // namespace tandemix
