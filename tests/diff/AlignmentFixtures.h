#pragma once

// Inputs, row texts and the checks that every alignment must pass, for the tests of both
// passes.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "diff/DifferenceEngine.h"
#include "document/TextDocument.h"
#include "support/LiteralAlignment.h"
#include "support/RowInvariants.h"

namespace tandemix::testing {

inline TextDocument Input(const std::vector<std::string>& lines, const OptionMap& options = {},
                          CodePage codePage = CodePage::Windows1252) {
    TextDocument document(codePage);
    document.AddOptions(options);
    for (const auto& line : lines) {
        document.AddLine(line);
    }
    return document;
}

inline std::vector<std::string> Letters(const std::string& letters) {
    std::vector<std::string> lines;
    for (const char c : letters) {
        lines.emplace_back(1, c);
    }
    return lines;
}

// Rows as "x3|.0" items joined by "; ", a dot for a placeholder.
inline std::string Describe(const TextDocument& result1, const TextDocument& result2) {
    std::ostringstream out;
    for (LineIndex r = 0; r < result1.GetLineCount(); ++r) {
        const auto side = [&](const TextDocument& d) {
            const std::string text(d.GetLineText(r));
            return (text.empty() ? std::string(".") : text) +
                   std::to_string(static_cast<int>(d.GetMark(r)));
        };
        out << (r ? "; " : "") << side(result1) << "|" << side(result2);
    }
    return out.str();
}

// The rows that the pass makes of the two inputs, as Describe writes them.
inline std::string Align(TextDocument input1, TextDocument input2,
                         tandemix::Alignment alignment = tandemix::Alignment::Greedy) {
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(input1, input2, result1, result2, alignment);
    EXPECT_EQ(result1.GetLineCount(), result2.GetLineCount());
    return Describe(result1, result2);
}

inline constexpr tandemix::Alignment kBothPasses[] = {tandemix::Alignment::Greedy,
                                                      tandemix::Alignment::Minimal};

// Two inputs from a small vocabulary, so that lines repeat, each side with its own matching
// options or none. "a0" and "b-" share a line hash.
struct RandomPair {
    TextDocument input1{CodePage::Windows1252};
    TextDocument input2{CodePage::Windows1252};
};

inline RandomPair MakeRandomPair(unsigned seed, std::size_t maxLines = 30) {
    const std::vector<std::string> vocabulary = {"a", "A",  " a", "\ta", "b",    "B ",
                                                 "",  "a0", "b-", "c",   "\xC4", "\xE4"};
    std::mt19937 random(seed);
    const std::size_t words = 1 + random() % vocabulary.size();
    const auto randomLines = [&] {
        std::vector<std::string> lines(random() % maxLines);
        for (auto& line : lines) {
            line = vocabulary[random() % words];
        }
        return lines;
    };
    const auto randomOptions = [&] {
        OptionMap options;
        const char* values[] = {"yes", "no", ""};
        if (random() % 4 != 0) {
            options.Set(OptionMap::kCase, values[random() % 3]);
            options.Set(OptionMap::kIndent, values[random() % 3]);
        }
        return options;
    };
    const bool sameOptions = random() % 2 == 0;
    const OptionMap options1 = randomOptions();
    const OptionMap options2 = sameOptions ? options1 : randomOptions();
    RandomPair pair;
    pair.input1 = Input(randomLines(), options1);
    pair.input2 = Input(randomLines(), options2);
    return pair;
}

// The fewest lines any alignment touches: both line counts less twice the longest common
// subsequence, by the quadratic dynamic program.
inline LineIndex OptimalEditLength(const TextDocument& input1, const TextDocument& input2) {
    // Each line's hash and matching text once; a line without a hash matches nothing.
    const auto keys = [](const TextDocument& input) {
        std::vector<std::optional<std::pair<std::int32_t, std::string>>> lineKeys(
            static_cast<std::size_t>(input.GetLineCount()));
        const auto& hashes = input.GetLineHashes();
        for (std::size_t line = 0; line < std::min(hashes.size(), lineKeys.size()); ++line) {
            lineKeys[line].emplace(hashes[line], input.GetMatchText(static_cast<LineIndex>(line)));
        }
        return lineKeys;
    };
    const auto keys1 = keys(input1);
    const auto keys2 = keys(input2);
    std::vector<LineIndex> previous(keys2.size() + 1, 0);
    std::vector<LineIndex> current(keys2.size() + 1, 0);
    for (std::size_t x = 1; x <= keys1.size(); ++x) {
        for (std::size_t y = 1; y <= keys2.size(); ++y) {
            const bool match = keys1[x - 1] && keys1[x - 1] == keys2[y - 1];
            current[y] = match ? previous[y - 1] + 1 : std::max(previous[y], current[y - 1]);
        }
        std::swap(previous, current);
    }
    return std::ssize(keys1) + std::ssize(keys2) - 2 * previous.back();
}

struct RowCounts {
    LineIndex unchanged = 0;
    LineIndex changed = 0;
    LineIndex deleted = 0;
    LineIndex added = 0;

    LineIndex Touched() const { return added + deleted + 2 * changed; }
};

// Expects the rows to keep every invariant of an alignment and counts their kinds.
inline RowCounts CheckRowInvariants(const TextDocument& input1, const TextDocument& input2,
                                    const Alignment& rows) {
    EXPECT_EQ(BrokenRowInvariant(input1, input2, rows), "");
    RowCounts counts;
    for (std::size_t r = 0; r < std::min(rows.side1.size(), rows.side2.size()); ++r) {
        const int mark1 = rows.side1[r].mark;
        const int mark2 = rows.side2[r].mark;
        counts.unchanged += mark1 == 0 && mark2 == 0;
        counts.changed += mark1 == 1;
        counts.deleted += mark1 == 3;
        counts.added += mark2 == 2;
    }
    return counts;
}

}  // namespace tandemix::testing
