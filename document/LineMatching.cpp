#include "document/LineMatching.h"

namespace tandemix {
namespace {

bool SwitchesRuleOn(const std::string& value) {
    return !value.empty() && value != "yes";
}

std::string_view WithoutIndent(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    // A line of blanks only keeps its blanks.
    return first == std::string_view::npos ? line : line.substr(first);
}

}  // namespace

MatchRule MatchRule::FromOptions(const OptionMap& options, CodePage codePage) {
    MatchRule rule;
    rule.codePage = codePage;
    if (options.IsEmpty()) {
        return rule;
    }
    rule.ignoreIndent = SwitchesRuleOn(options.Get(OptionMap::kIndent));
    rule.ignoreCase = SwitchesRuleOn(options.Get(OptionMap::kCase));
    return rule;
}

std::string_view MatchRule::Apply(std::string_view line, std::string& scratch) const {
    if (ignoreIndent) {
        line = WithoutIndent(line);
    }
    if (!ignoreCase) {
        return line;
    }
    scratch.clear();
    AppendLowerCase(line, codePage, scratch);
    return scratch;
}

std::string NormalizeLine(std::string_view text, const OptionMap& options, CodePage codePage) {
    std::string scratch;
    return std::string(MatchRule::FromOptions(options, codePage).Apply(text, scratch));
}

std::int32_t ComputeLineHash(std::string_view matchText) {
    std::uint32_t hash = 0;
    for (const char c : matchText) {
        // The byte counts as a signed value; unsigned arithmetic gives the 32-bit wrap.
        hash = 3 * hash +
               static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    }
    return static_cast<std::int32_t>(hash);
}

}  // namespace tandemix
