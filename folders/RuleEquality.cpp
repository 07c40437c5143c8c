#include "folders/RuleEquality.h"

#include <vector>

#include "base/ComparisonOptions.h"
#include "base/DebugLog.h"
#include "document/TextDocument.h"

namespace tandemix {
namespace {

class SilentLog final : public DebugLog {
public:
    void Write(std::string_view) override {}
};

std::vector<LineIndex> KeptLines(const TextDocument& document) {
    std::vector<LineIndex> kept;
    const MatchRule& rule = document.GetMatchRule();
    for (LineIndex line = 0; line < document.GetLineCount(); ++line) {
        if (!rule.IgnoresLine(document.GetLineText(line))) {
            kept.push_back(line);
        }
    }
    return kept;
}

}  // namespace

bool HasMatchingRules(const OptionMap& options) {
    if (options.IsEmpty()) {
        return false;
    }
    const ComparisonOptions read = ComparisonOptions::FromOptionMap(options);
    return !read.caseSensitive || !read.indent || read.ignoreSpaceChange || read.ignoreAllSpace ||
           !read.ignoredText.empty() || !read.ignoredLines.empty();
}

bool EqualUnderRules(const std::string& path1, const std::string& path2, const OptionMap& options,
                     CodePage codePage, const MatchRule* prepared) {
    SilentLog log;
    TextDocument one(codePage);
    TextDocument two(codePage);
    if (!one.LoadFile(path1, options, log, prepared) ||
        !two.LoadFile(path2, options, log, prepared) || one.GetProblem() || two.GetProblem()) {
        return false;
    }
    const std::vector<LineIndex> kept1 = KeptLines(one);
    const std::vector<LineIndex> kept2 = KeptLines(two);
    if (kept1.size() != kept2.size()) {
        return false;
    }
    for (std::size_t k = 0; k < kept1.size(); ++k) {
        if (!one.LineMatches(kept1[k], two, kept2[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace tandemix
