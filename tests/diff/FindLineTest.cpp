#include <gtest/gtest.h>

#include "diff/AlignmentFixtures.h"
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
        EXPECT_EQ(self.FindLine(row.line, other, position), row.found);
        EXPECT_EQ(position, row.position);
    }
}

TEST(FindLineTest, EqualHashWithOtherTextIsPassedOver) {
    const TextDocument self = Input({"b-"});
    const TextDocument other = Input({"a0", "a0", "b-"});
    ASSERT_EQ(other.GetLineHashes()[0], self.GetLineHashes()[0]);
    LineIndex position = 0;
    EXPECT_TRUE(self.FindLine(0, other, position));
    EXPECT_EQ(position, 2);
}

TEST(FindLineTest, EachSideMatchesUnderItsOwnOptions) {
    OptionMap loose;
    loose.Set(OptionMap::kCase, "no");
    const TextDocument strict = Input({"abc", "ABC"});
    const TextDocument relaxed = Input({"ABC"}, loose);
    LineIndex position = 0;
    EXPECT_TRUE(relaxed.FindLine(0, strict, position));
    EXPECT_EQ(position, 0);
    position = 0;
    EXPECT_FALSE(strict.FindLine(1, relaxed, position));
}

// The indexed search must answer exactly what the linear search answers, for every line
// and start position, also after the index has been built and the document has grown.
TEST(FindLineTest, AgreesWithLinearSearch) {
    for (unsigned seed = 0; seed < 300 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        testing::RandomPair pair = testing::MakeRandomPair(seed, 25);
        TextDocument& self = pair.input1;
        TextDocument& other = pair.input2;
        self.PrepareSearch();
        other.PrepareSearch();
        // The second round searches without the index, which adding a line drops.
        for (int growth = 0; growth < 2; ++growth) {
            for (LineIndex x = 0; x < self.GetLineCount(); ++x) {
                for (LineIndex s = 0; s <= other.GetLineCount() + 1; ++s) {
                    LineIndex fast = s;
                    LineIndex literal = s;
                    ASSERT_EQ(self.FindLine(x, other, fast),
                              LiteralFindLine(self, x, other, literal));
                    ASSERT_EQ(fast, literal);
                }
            }
            other.AddLine(self.GetLineText(0));
        }
    }
}

}  // namespace
}  // namespace tandemix
