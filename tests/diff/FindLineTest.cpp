#include <gtest/gtest.h>

#include <random>

#include "document/TextDocument.h"
#include "support/ReferenceAlignment.h"

namespace tandemix {
namespace {

using testing::LiteralFindLine;

TextDocument Input(const std::vector<std::string>& lines, const OptionMap& options = {}) {
    TextDocument document(CodePage::Windows1252);
    document.AddOptions(options);
    for (const auto& line : lines) {
        document.AddLine(line);
    }
    return document;
}

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

TEST(FindLineTest, RowListsAreNeverFound) {
    TextDocument rows(CodePage::None);
    rows.AddMarkedLine("a", LineMark::MarkUnchanged);
    const TextDocument input = Input({"a"});
    LineIndex position = 0;
    EXPECT_FALSE(input.FindLine(0, rows, position));
    EXPECT_FALSE(rows.FindLine(0, input, position));
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
    const std::vector<std::string> vocabulary = {"x", "X", " x", "y", "", "a0", "b-", "zz"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        OptionMap options;
        if (round % 3 == 1) {
            options.Set(OptionMap::kCase, "no");
            options.Set(OptionMap::kIndent, "no");
        }
        const auto lines = [&] {
            std::vector<std::string> result(random() % 25);
            for (auto& line : result) {
                line = vocabulary[random() % vocabulary.size()];
            }
            return result;
        };
        TextDocument self = Input(lines(), options);
        TextDocument other = Input(lines(), round % 2 ? options : OptionMap());
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
            other.AddLine(vocabulary[random() % vocabulary.size()]);
        }
    }
}

}  // namespace
}  // namespace tandemix
