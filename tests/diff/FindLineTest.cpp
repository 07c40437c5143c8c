#include <gtest/gtest.h>

#include "diff/AlignmentFixtures.h"
#include "diff/LineSearch.h"
#include "document/TextDocument.h"
#include "support/LiteralAlignment.h"

namespace tandemix {
namespace {

using testing::Input;
using testing::LiteralFindLine;

TEST(FindLineTest, FirstMatchAtOrAfterPosition) {
    const TextDocument self = Input({"a", "z"});
    const TextDocument other = Input({"b", "a", "a", "a0", "b-"});
    struct Row {
        LineIndex line;
        LineIndex from;
        bool found;
        LineIndex position;
    };
    const Row rows[] = {
        {0, 0, true, 1},  {0, 1, true, 1},  {0, 2, true, 2},  {0, 3, false, 3},
        {0, 9, false, 9}, {1, 0, false, 0}, {2, 0, false, 0}, {-1, 0, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.line << " from " << row.from);
        LineIndex position = row.from;
        EXPECT_EQ(LineSearch(other).FindLine(self, row.line, position), row.found);
        EXPECT_EQ(position, row.position);
    }
}

TEST(FindLineTest, EqualHashWithOtherTextIsPassedOver) {
    const TextDocument self = Input({"b-"});
    const TextDocument other = Input({"a0", "a0", "b-"});
    ASSERT_EQ(other.GetLineHashes()[0], self.GetLineHashes()[0]);
    LineIndex position = 0;
    EXPECT_TRUE(LineSearch(other).FindLine(self, 0, position));
    EXPECT_EQ(position, 2);
}

// Both ways of searching must answer exactly what the literal search answers, for every
// line and start position, each side matching under its own options.
TEST(FindLineTest, AgreesWithLiteralSearch) {
    for (unsigned seed = 0; seed < 300 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        const testing::RandomPair pair = testing::MakeRandomPair(seed, 25);
        const TextDocument& self = pair.input1;
        const TextDocument& other = pair.input2;
        for (const auto indexing : {LineSearch::Indexing::Indexed, LineSearch::Indexing::Linear}) {
            const LineSearch search(other, indexing);
            for (LineIndex x = 0; x < self.GetLineCount(); ++x) {
                for (LineIndex s = 0; s <= other.GetLineCount() + 1; ++s) {
                    LineIndex fast = s;
                    LineIndex literal = s;
                    ASSERT_EQ(search.FindLine(self, x, fast),
                              LiteralFindLine(self, x, other, literal));
                    ASSERT_EQ(fast, literal);
                }
            }
        }
    }
}

}  // namespace
}  // namespace tandemix
