#include "diff/DifferenceEngine.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/ReferenceAlignment.h"
#include "support/RowInvariants.h"

namespace tandemix {
namespace {

using testing::Alignment;
using testing::BrokenRowInvariant;
using testing::LiteralAlignment;
using testing::RowsOf;

TextDocument Input(const std::vector<std::string>& lines, const OptionMap& options = {},
                   CodePage codePage = CodePage::Windows1252) {
    TextDocument document(codePage);
    document.AddOptions(options);
    for (const auto& line : lines) {
        document.AddLine(line);
    }
    return document;
}

std::vector<std::string> Letters(const std::string& letters) {
    std::vector<std::string> lines;
    for (const char c : letters) {
        lines.emplace_back(1, c);
    }
    return lines;
}

// Rows as "x3|.0" items joined by "; ", a dot for a placeholder.
std::string Describe(const TextDocument& result1, const TextDocument& result2) {
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

std::string Align(TextDocument input1, TextDocument input2) {
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(input1, input2, result1, result2);
    EXPECT_EQ(result1.GetLineCount(), result2.GetLineCount());
    return Describe(result1, result2);
}

TEST(DifferenceEngineTest, WorkedExamples) {
    struct Row {
        const char* input1;
        const char* input2;
        const char* rows;
    };
    const Row rows[] = {
        {"", "", ""},
        {"aXb", "aYb", "a0|a0; X1|Y1; b0|b0"},
        {"abxyc", "abc", "a0|a0; b0|b0; x3|.0; y3|.0; c0|c0"},
        {"abc", "abpqc", "a0|a0; b0|b0; .0|p2; .0|q2; c0|c0"},
        {"XAB", "ABX", "X3|.0; A0|A0; B0|B0; .0|X2"},
        {"ab", "ba", ".0|b2; a0|a0; b3|.0"},
        {"abcde", "aebcd", "a0|a0; .0|e2; b0|b0; c0|c0; d0|d0; e3|.0"},
        {"xyABPC", "APBC", "x3|.0; y3|.0; A0|A0; .0|P2; B0|B0; P3|.0; C0|C0"},
        {"", "ab", ".0|a2; .0|b2"},
        {"ab", "", "a3|.0; b3|.0"},
        {"aab", "baba", ".0|b2; a0|a0; a3|.0; b0|b0; .0|a2"},
        {"a", "baa", ".0|b2; a0|a0; .0|a2"},
        {"abc", "abc", "a0|a0; b0|b0; c0|c0"},
        {"aXc", "aYc", "a0|a0; X1|Y1; c0|c0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.input1) + " against " + row.input2);
        EXPECT_EQ(Align(Input(Letters(row.input1)), Input(Letters(row.input2))), row.rows);
    }
}

TEST(DifferenceEngineTest, IgnoredDifferencesKeepEachSidesText) {
    OptionMap loose;
    loose.Set(OptionMap::kCase, "no");
    loose.Set(OptionMap::kIndent, "no");
    EXPECT_EQ(Align(Input({"  Hello", "\xC4PFEL"}, loose), Input({"hello", "\xE4pfel"}, loose)),
              "  Hello0|hello0; \xC4PFEL0|\xE4pfel0");
    EXPECT_EQ(Align(Input({"  Hello"}), Input({"hello"})), "  Hello1|hello1");
}

TEST(DifferenceEngineTest, RowsKeepTheSourceLinesOfTheirLines) {
    TextDocument input1 = Input({"a", "b"});
    TextDocument input2 = Input({"b", "a"});
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(input1, input2, result1, result2);
    const std::vector<std::pair<SourceLine, SourceLine>> expected = {{0, 1}, {1, 2}, {2, 0}};
    ASSERT_EQ(result1.GetLineCount(), 3);
    for (LineIndex r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(result1.GetSourceLine(r), expected[r].first);
        EXPECT_EQ(result2.GetSourceLine(r), expected[r].second);
    }
}

TEST(DifferenceEngineTest, ResultsTakeTheInputNames) {
    TextDocument input1 = Input({"a"});
    TextDocument input2 = Input({"a"});
    input1.SetName("one");
    input2.SetName("two");
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(input1, input2, result1, result2);
    EXPECT_EQ(result1.GetName(), "one");
    EXPECT_EQ(result2.GetName(), "two");
    EXPECT_TRUE(result1.GetLineHashes().empty());
    EXPECT_TRUE(result1.GetOptions().IsEmpty());
}

TEST(DifferenceEngineTest, InvariantCheckNamesBrokenRows) {
    const TextDocument input1 = Input({"a", "b"});
    const TextDocument input2 = Input({"a", "c"});
    struct Case {
        const char* name;
        Alignment rows;
        bool holds;
    };
    const Case cases[] = {
        {"sound", {{{"a", 0}, {"b", 1}}, {{"a", 0}, {"c", 1}}}, true},
        {"uneven sides", {{{"a", 0}, {"b", 1}}, {{"a", 0}}}, false},
        {"unknown pair", {{{"a", 0}, {"b", 1}}, {{"a", 0}, {"c", 0}}}, false},
        {"unequal unchanged pair", {{{"a", 0}, {"b", 0}}, {{"a", 0}, {"c", 0}}}, false},
        {"line left out", {{{"a", 0}, {"", 0}}, {{"a", 0}, {"c", 2}}}, false},
        {"placeholder with text",
         {{{"a", 0}, {"b", 3}, {"x", 0}}, {{"a", 0}, {"", 0}, {"c", 2}}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BrokenRowInvariant(input1, input2, c.rows).empty(), c.holds);
    }
}

// Random inputs from small vocabularies, so that lines repeat, with every combination of
// the matching options on each side. "a0" and "b-" share a line hash.
void CheckRandomAlignment(unsigned seed) {
    const std::vector<std::string> vocabulary = {"a", "A",  " a", "\ta", "b",    "B ",
                                                 "",  "a0", "b-", "c",   "\xC4", "\xE4"};
    std::mt19937 random(seed);
    const std::size_t words = 1 + random() % vocabulary.size();
    const auto randomLines = [&] {
        std::vector<std::string> lines(random() % 30);
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
    TextDocument input1 = Input(randomLines(), options1);
    TextDocument input2 = Input(randomLines(), options2);

    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(input1, input2, result1, result2);
    const Alignment rows = RowsOf(result1, result2);
    ASSERT_EQ(rows, LiteralAlignment(input1, input2));

    EXPECT_EQ(BrokenRowInvariant(input1, input2, rows), "");
}

TEST(DifferenceEngineTest, RandomInputsAgreeWithLiteralPassAndKeepInvariants) {
    for (unsigned seed = 0; seed < 2000; ++seed) {
        SCOPED_TRACE(seed);
        CheckRandomAlignment(seed);
        if (HasFailure()) {
            return;
        }
    }
}

}  // namespace
}  // namespace tandemix
