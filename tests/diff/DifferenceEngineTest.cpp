#include "diff/DifferenceEngine.h"

#include <gtest/gtest.h>

#include "diff/AlignmentFixtures.h"
#include "support/RowInvariants.h"

namespace tandemix {
namespace {

using testing::Alignment;
using testing::BrokenRowInvariant;
using testing::CheckRowInvariants;
using testing::Describe;
using testing::Input;
using testing::Letters;
using testing::LiteralAlignment;
using testing::MakeRandomPair;
using testing::RandomPair;
using testing::RowsOf;

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

// Random inputs from small vocabularies with every combination of the matching options on
// each side.
void CheckRandomAlignment(unsigned seed) {
    RandomPair pair = MakeRandomPair(seed);
    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(pair.input1, pair.input2, result1, result2);
    const Alignment rows = RowsOf(result1, result2);
    ASSERT_EQ(rows, LiteralAlignment(pair.input1, pair.input2));
    CheckRowInvariants(pair.input1, pair.input2, rows);
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
