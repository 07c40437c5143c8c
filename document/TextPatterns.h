#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace re2 {
class RE2;
}

namespace tandemix {

// A part of a line, [begin, end) in bytes.
struct TextSpan {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;

    bool operator==(const TextSpan&) const = default;
};

// Patterns of the matching rules, compiled once. They run in time linear in the line
// whatever the pattern (RE2), since the lines come from anywhere: a line made to make a
// backtracking engine take forever costs no more than any other line of its length.
class TextPatterns {
public:
    // Patterns that do not compile are left out: front ends check them first (ErrorOf).
    TextPatterns(const std::vector<std::string>& patterns, bool ignoreCase);
    ~TextPatterns();
    TextPatterns(const TextPatterns&) = delete;
    TextPatterns& operator=(const TextPatterns&) = delete;

    // What is wrong with a pattern, in the engine's words; nothing when it compiles.
    static std::optional<std::string> ErrorOf(const std::string& pattern);

    bool IsEmpty() const { return combined_ == nullptr; }
    // Appends the parts of the line that a pattern matches, left to right, not overlapping;
    // empty matches are left out.
    void FindIn(std::string_view line, std::vector<TextSpan>& spans) const;
    // Whether a pattern matches anywhere in the line.
    bool FoundIn(std::string_view line) const;

private:
    // One alternation of all patterns: one pass over a line finds the leftmost of them.
    std::unique_ptr<re2::RE2> combined_;
};

}  // namespace tandemix
