#include "diff/DifferenceEngine.h"

#include <gtest/gtest.h>

#include "diff/AlignmentFixtures.h"
#include "support/RowInvariants.h"

namespace tandemix {
namespace {

using testing::Align;
using testing::BrokenRowInvariant;
using testing::Input;
using testing::kBothPasses;

// Each side matches its lines under its own options and keeps its own texts; lines without
// a hash (rows rather than loaded lines) match nothing.
TEST(DifferenceEngineTest, EachSideMatchesUnderItsOwnOptions) {
    OptionMap loose;
    loose.Set(OptionMap::kCase, "no");
    loose.Set(OptionMap::kIndent, "no");
    const auto rowsOnly = [] {
        TextDocument rows(CodePage::None);
        rows.AddMarkedLine("a", LineMark::MarkUnchanged);
        rows.AddMarkedLine("b", LineMark::MarkUnchanged);
        return rows;
    };
    for (const Alignment alignment : kBothPasses) {
        SCOPED_TRACE(static_cast<int>(alignment));
        EXPECT_EQ(Align(Input({"x", "  Hello", "\xC4PFEL"}, loose),
                        Input({"hello", "\xE4pfel", "y"}), alignment),
                  "x3|.0;   Hello0|hello0; \xC4PFEL0|\xE4pfel0; .0|y2");
        EXPECT_EQ(Align(Input({"  Hello"}), Input({"hello"}), alignment), "  Hello1|hello1");
        EXPECT_EQ(Align(Input({"Hello"}), Input({"hello"}, loose), alignment), "Hello1|hello1");
        EXPECT_EQ(Align(rowsOnly(), Input({"a", "b"}), alignment), "a1|a1; b1|b1");
    }
}

// Rows keep the numbers their lines have in the inputs (0 for a placeholder) and the
// results take the inputs' names, but no options or hashes.
TEST(DifferenceEngineTest, RowsKeepSourceLinesAndNames) {
    for (const Alignment alignment : kBothPasses) {
        SCOPED_TRACE(static_cast<int>(alignment));
        TextDocument input1 = Input({"a", "b", "c"});
        TextDocument input2 = Input({"x", "a", "c"});
        input1.SetName("one");
        input2.SetName("two");
        TextDocument result1(CodePage::None);
        TextDocument result2(CodePage::None);
        ComputeDifferences(input1, input2, result1, result2, alignment);
        EXPECT_EQ(testing::Describe(result1, result2), ".0|x2; a0|a0; b3|.0; c0|c0");
        std::vector<std::pair<SourceLine, SourceLine>> lines;
        for (LineIndex r = 0; r < result1.GetLineCount(); ++r) {
            lines.emplace_back(result1.GetSourceLine(r), result2.GetSourceLine(r));
        }
        EXPECT_EQ(lines,
                  (std::vector<std::pair<SourceLine, SourceLine>>{{0, 1}, {1, 2}, {2, 0}, {3, 3}}));
        EXPECT_EQ(result1.GetName(), "one");
        EXPECT_EQ(result2.GetName(), "two");
        EXPECT_TRUE(result1.GetLineHashes().empty());
        EXPECT_TRUE(result1.GetOptions().IsEmpty());
    }
}

// The check that the random tests rely on must itself see broken rows.
TEST(DifferenceEngineTest, InvariantCheckNamesBrokenRows) {
    const TextDocument input1 = Input({"a", "b"});
    const TextDocument input2 = Input({"a", "c"});
    struct Case {
        const char* name;
        testing::Alignment rows;
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
TEST(DifferenceEngineTest, RandomInputsAgreeWithLiteralPassAndKeepInvariants) {
    for (unsigned seed = 0; seed < 2000 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        testing::RandomPair pair = testing::MakeRandomPair(seed);
        TextDocument result1(CodePage::None);
        TextDocument result2(CodePage::None);
        ComputeDifferences(pair.input1, pair.input2, result1, result2);
        const testing::Alignment rows = testing::RowsOf(result1, result2);
        ASSERT_EQ(rows, testing::LiteralAlignment(pair.input1, pair.input2));
        testing::CheckRowInvariants(pair.input1, pair.input2, rows);
    }
}

}  // namespace
}  // namespace tandemix
