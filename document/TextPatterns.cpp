#include "document/TextPatterns.h"

#include <re2/re2.h>

namespace tandemix {
namespace {

RE2::Options PatternOptions(bool ignoreCase) {
    RE2::Options options;
    options.set_log_errors(false);
    options.set_case_sensitive(!ignoreCase);
    // Only where a match begins and ends is asked for.
    options.set_never_capture(true);
    // Room for the lazily built automaton: long lines of hostile text stay linear.
    options.set_max_mem(64 << 20);
    return options;
}

}  // namespace

TextPatterns::TextPatterns(const std::vector<std::string>& patterns, bool ignoreCase) {
    std::string alternation;
    for (const std::string& pattern : patterns) {
        if (ErrorOf(pattern)) {
            continue;
        }
        alternation.append(alternation.empty() ? "(?:" : "|(?:").append(pattern).append(")");
    }
    if (alternation.empty()) {
        return;
    }
    auto combined = std::make_unique<RE2>(alternation, PatternOptions(ignoreCase));
    if (combined->ok()) {
        combined_ = std::move(combined);
    }
}

TextPatterns::~TextPatterns() = default;

std::optional<std::string> TextPatterns::ErrorOf(const std::string& pattern) {
    const RE2 compiled(pattern, PatternOptions(false));
    if (compiled.ok()) {
        return std::nullopt;
    }
    return compiled.error();
}

void TextPatterns::FindIn(std::string_view line, std::vector<TextSpan>& spans) const {
    if (!combined_) {
        return;
    }
    const re2::StringPiece text(line.data(), line.size());
    re2::StringPiece match;
    std::size_t from = 0;
    while (from <= line.size() &&
           combined_->Match(text, from, line.size(), RE2::UNANCHORED, &match, 1)) {
        const auto begin = static_cast<std::size_t>(match.data() - line.data());
        const std::size_t end = begin + match.size();
        if (end > begin) {
            spans.push_back(
                TextSpan{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
            from = end;
        } else {
            from = begin + 1;
        }
    }
}

bool TextPatterns::FoundIn(std::string_view line) const {
    return combined_ && RE2::PartialMatch(re2::StringPiece(line.data(), line.size()), *combined_);
}

}  // namespace tandemix
