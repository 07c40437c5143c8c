#include "document/LineMatching.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/ComparisonOptions.h"

namespace tandemix {
namespace {

std::string_view WithoutIndent(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    // A line of blanks only keeps its blanks.
    return first == std::string_view::npos ? line : line.substr(first);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void AppendWithoutIgnored(std::string_view line, std::span<const TextSpan> ignored,
                          std::string& out) {
    std::size_t from = 0;
    for (const TextSpan span : ignored) {
        out.append(line.substr(from, span.begin - from));
        from = span.end;
    }
    out.append(line.substr(std::min(from, line.size())));
}

void AppendSpaced(std::string_view line, SpaceRule space, std::string& out) {
    bool inRun = false;
    for (const char c : line) {
        if (IsBlank(c)) {
            inRun = true;
            continue;
        }
        if (inRun && space == SpaceRule::Change) {
            out.push_back(' ');
        }
        inRun = false;
        out.push_back(c);
    }
}

}  // namespace

MatchRule MatchRule::FromOptions(const OptionMap& options, CodePage codePage) {
    MatchRule rule;
    rule.codePage = codePage;
    if (options.IsEmpty()) {
        return rule;
    }
    const ComparisonOptions read = ComparisonOptions::FromOptionMap(options);
    rule.ignoreIndent = !read.indent;
    rule.ignoreCase = !read.caseSensitive;
    rule.space = read.ignoreAllSpace      ? SpaceRule::All
                 : read.ignoreSpaceChange ? SpaceRule::Change
                                          : SpaceRule::Keep;
    if (!read.ignoredText.empty()) {
        rule.ignoredText = std::make_shared<TextPatterns>(read.ignoredText, rule.ignoreCase);
    }
    if (!read.ignoredLines.empty()) {
        rule.ignoredLines = std::make_shared<TextPatterns>(read.ignoredLines, rule.ignoreCase);
    }
    return rule;
}

// The parts matched by patterns go first, so that patterns see the text as it is; then the
// indent, the blanks and the case.
std::string_view MatchRule::Apply(std::string_view line, std::string& scratch,
                                  std::span<const TextSpan> ignored) const {
    std::string work;
    bool inWork = false;  // whether line views work
    if (!ignored.empty()) {
        AppendWithoutIgnored(line, ignored, work);
        line = work;
        inWork = true;
    }
    if (ignoreIndent) {
        line = WithoutIndent(line);
    }
    if (space != SpaceRule::Keep) {
        std::string spaced;
        AppendSpaced(line, space, spaced);
        work = std::move(spaced);
        line = work;
        inWork = true;
    }
    if (ignoreCase) {
        scratch.clear();
        AppendLowerCase(line, codePage, scratch);
        return scratch;
    }
    if (inWork) {
        scratch.assign(line);
        return scratch;
    }
    return line;
}

void MatchRule::FindIgnoredText(std::string_view line, std::vector<TextSpan>& spans) const {
    if (HasTextPatterns()) {
        ignoredText->FindIn(line, spans);
    }
}

bool MatchRule::IgnoresLine(std::string_view line) const {
    return HasLinePatterns() && ignoredLines->FoundIn(line);
}

std::int32_t ComputeLineHash(std::string_view matchText) {
    // The byte counts as a signed value; unsigned arithmetic gives the 32-bit wrap.
    const auto byte = [&](std::size_t at) {
        return static_cast<std::uint32_t>(
            static_cast<std::int32_t>(static_cast<signed char>(matchText[at])));
    };
    // Eight bytes at a time: h * 3^8 plus the bytes weighted by 3^7 down to 1. For bytes
    // below 0x80 (signed and unsigned agree) the weighted sum is formed in a few whole-word
    // steps: neighbours are paired (3a + b), pairs paired (9p + q), then quads (81q + r).
    std::uint32_t hash = 0;
    std::size_t at = 0;
    for (; at + 8 <= matchText.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, matchText.data() + at, 8);
        std::uint32_t block;
        if (std::endian::native == std::endian::little && (word & 0x8080808080808080ULL) == 0) {
            const std::uint64_t pairs =
                3 * (word & 0x00FF00FF00FF00FFULL) + ((word >> 8) & 0x00FF00FF00FF00FFULL);
            const std::uint64_t quads =
                9 * (pairs & 0x0000FFFF0000FFFFULL) + ((pairs >> 16) & 0x0000FFFF0000FFFFULL);
            block = static_cast<std::uint32_t>(81 * (quads & 0xFFFFFFFFULL) + (quads >> 32));
        } else {
            block = byte(at) * 2187u + byte(at + 1) * 729u + byte(at + 2) * 243u +
                    byte(at + 3) * 81u + byte(at + 4) * 27u + byte(at + 5) * 9u +
                    byte(at + 6) * 3u + byte(at + 7);
        }
        hash = hash * 6561u + block;
    }
    for (; at < matchText.size(); ++at) {
        hash = 3 * hash + byte(at);
    }
    return static_cast<std::int32_t>(hash);
}

}  // namespace tandemix
