// The rules for blanks and patterns against a plain implementation written out here, on
// random lines, and the guarantees that the pattern engine must give.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "base/ComparisonOptions.h"
#include "document/TextDocument.h"
#include "document/TextPatterns.h"

namespace tandemix {
namespace {

struct Rules {
    bool ignoreCase = false;
    bool ignoreIndent = false;
    bool spaceChange = false;
    bool allSpace = false;
    bool digits = false;  // --ignore-matching "[0-9]+"
};

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// What a line is compared by, one rule after the other, character by character.
std::string Literal(std::string line, const Rules& rules) {
    if (rules.digits) {
        std::string kept;
        for (const char c : line) {
            if (c < '0' || c > '9') {
                kept += c;
            }
        }
        line = kept;
    }
    if (rules.ignoreIndent) {
        std::size_t first = 0;
        while (first < line.size() && Blank(line[first])) {
            ++first;
        }
        if (first < line.size()) {
            line = line.substr(first);
        }
    }
    if (rules.allSpace || rules.spaceChange) {
        std::string out;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (!Blank(line[i])) {
                out += line[i];
            } else if (rules.spaceChange && !rules.allSpace && i + 1 < line.size() &&
                       !Blank(line[i + 1])) {
                // The last blank of a run that something other than blanks follows.
                out += ' ';
            }
        }
        line = out;
    }
    if (rules.ignoreCase) {
        for (char& c : line) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    return line;
}

OptionMap MapOf(const Rules& rules) {
    ComparisonOptions options;
    options.caseSensitive = !rules.ignoreCase;
    options.indent = !rules.ignoreIndent;
    options.ignoreSpaceChange = rules.spaceChange;
    options.ignoreAllSpace = rules.allSpace;
    if (rules.digits) {
        options.ignoredText = {"[0-9]+"};
    }
    return BuildOptionMap(options);
}

std::string RandomLine(std::mt19937& random) {
    static constexpr char kAlphabet[] = {' ', ' ', '\t', 'a', 'A', 'b', '1', '2', ':'};
    std::uniform_int_distribution<int> length(0, 7);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::string line;
    for (int n = length(random); n > 0; --n) {
        line += kAlphabet[pick(random)];
    }
    return line;
}

TEST(IgnoreRulesTest, LinesMatchExactlyWhenTheirLiteralTextsAreEqual) {
    std::mt19937 random(18);
    for (int round = 0; round < 200; ++round) {
        const Rules rules{(round & 1) != 0, (round & 2) != 0, (round & 4) != 0, (round & 8) != 0,
                          (round & 16) != 0};
        TextDocument one(CodePage::Windows1252);
        TextDocument two(CodePage::Windows1252);
        one.AddOptions(MapOf(rules));
        two.AddOptions(MapOf(rules));
        std::vector<std::string> lines1;
        std::vector<std::string> lines2;
        for (int i = 0; i < 30; ++i) {
            lines1.push_back(RandomLine(random));
            lines2.push_back(RandomLine(random));
            one.AddLine(lines1.back());
            two.AddLine(lines2.back());
        }
        for (LineIndex i = 0; i < 30; ++i) {
            ASSERT_EQ(one.GetLineText(i), lines1[i]) << "the text shown stays as it is";
            for (LineIndex j = 0; j < 30; ++j) {
                const bool expected = Literal(lines1[i], rules) == Literal(lines2[j], rules);
                ASSERT_EQ(one.LineMatches(i, two, j), expected)
                    << "round " << round << ": \"" << lines1[i] << "\" against \"" << lines2[j]
                    << "\"";
            }
        }
    }
}

TEST(IgnoreRulesTest, IgnoredPartsAreFoundOnceAndKeptPerLine) {
    ComparisonOptions options;
    options.ignoredText = {"[0-9]{2}:[0-9]{2}", "id=[a-f0-9]+"};
    TextDocument document(CodePage::Utf8);
    document.AddOptions(BuildOptionMap(options));
    document.AddLine("at 12:30 id=beef and 07:15");
    document.AddLine("nothing here");
    document.AddLine("12:00");
    const std::vector<TextSpan> first(document.GetIgnoredText(0).begin(),
                                      document.GetIgnoredText(0).end());
    EXPECT_EQ(first, (std::vector<TextSpan>{{3, 8}, {9, 16}, {21, 26}}));
    EXPECT_TRUE(document.GetIgnoredText(1).empty());
    EXPECT_EQ(document.GetMatchText(0), "at   and ");
    EXPECT_EQ(document.GetMatchText(2), "");

    // Rows keep them whether they show the line, copy it, or are turned into copies.
    TextDocument shown(CodePage::Utf8);
    shown.ShareTextOf(document);
    TextDocument copied(CodePage::Utf8);
    for (LineIndex line = 0; line < 3; ++line) {
        shown.AddRowOf(document, line, LineMark::MarkChanged);
        copied.AddRowOf(document, line, LineMark::MarkChanged);
    }
    TextDocument turned(CodePage::Utf8);
    turned.ShareTextOf(document);
    turned.AddRowOf(document, 0, LineMark::MarkChanged);
    turned.AddMarkedLine("12:00", LineMark::MarkAdded, 9);
    turned.AddRowOf(document, 2, LineMark::MarkChanged);
    const auto spans = [](const TextDocument& rows, LineIndex row) {
        return std::vector<TextSpan>(rows.GetIgnoredText(row).begin(),
                                     rows.GetIgnoredText(row).end());
    };
    // A row's own line ("12:00" in the middle of turned) has no parts that do not count.
    for (const TextDocument* rows : {&shown, &copied, &turned}) {
        EXPECT_EQ(spans(*rows, 0), first);
        EXPECT_TRUE(spans(*rows, 1).empty());
        EXPECT_EQ(spans(*rows, 2), (std::vector<TextSpan>{{0, 5}}));
    }
}

TEST(IgnoreRulesTest, InvalidPatternsSayWhereTheyFail) {
    EXPECT_FALSE(TextPatterns::ErrorOf("[0-9]{2}:[0-9]{2}(\\.[0-9]+)?"));
    const auto error = TextPatterns::ErrorOf("a(b");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("missing )"), std::string::npos) << *error;
    EXPECT_TRUE(TextPatterns::ErrorOf("(a)\\1")) << "back references cannot run in linear time";
}

TEST(IgnoreRulesTest, AHostilePatternTakesLinearTime) {
    const TextPatterns patterns({"(a+)+$"}, false);
    const std::string line = std::string(50000, 'a') + "b";
    const auto start = std::chrono::steady_clock::now();
    std::vector<TextSpan> spans;
    patterns.FindIn(line, spans);
    const bool found = patterns.FoundIn(line);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(spans.empty());
    EXPECT_FALSE(found);
    EXPECT_LT(took, std::chrono::milliseconds(100));
}

}  // namespace
}  // namespace tandemix
