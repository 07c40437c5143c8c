#include "report/ReportData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/EveryKindOfRow.h"
#include "support/ReportRows.h"

namespace tandemix {
namespace {

using testing::BlocksOf;
using testing::DataOf;
using testing::JsonString;
using testing::kBetweenBlocks;

// What the page reads back is checked under Node (tests/browser/rows.test.js), with the
// page's own decoder; here, the form of the blocks.
TEST(ReportDataTest, SharedTextsAreCarriedOnceAndEveryKindOfRowHasItsCode) {
    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    testing::AddEveryKindOfRow(rows1, rows2);

    // Shared texts are carried once: "same" twice, on the first side only.
    const std::string data = DataOf(rows1, rows2);
    EXPECT_NE(data.find("\"texts\":[\"same\\nAbc\\nx\\r\\n\\nold\\ngone\\n\\nsame\\n\",\r\n"
                        "\"abc\\n\\ny\\n\\n\\nnew\\ncame\\n\"]"),
              std::string::npos)
        << data;
    EXPECT_NE(data.find("\"breaks\":[[2,1],\r\n[2,3]]"), std::string::npos) << data;
    EXPECT_NE(data.find("\"marks\":[\"00013a00\",\r\n\"A001a2AA\"]"), std::string::npos) << data;
}

// Rows of nothing but escapes, the longest a byte can become, and one row larger than a block.
TEST(ReportDataTest, BlocksStayWithinTheirSizeAndALargeRowStandsAlone) {
    constexpr std::size_t kPieceBytes = 20000;
    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    for (SourceLine n = 1; n <= 300; ++n) {
        rows1.AddMarkedLine(std::string(40, '\x01'), LineMark::MarkChanged, n);
        rows2.AddMarkedLine(std::string(n == 150 ? 30000 : 40, '\x02'), LineMark::MarkChanged, n);
    }
    const std::vector<std::string> blocks =
        BlocksOf(DataOf(rows1, rows2, kBetweenBlocks, kPieceBytes));
    EXPECT_GE(blocks.size(), 4u);
    std::size_t alone = 0;
    for (const std::string& block : blocks) {
        if (block.size() > kPieceBytes) {
            ++alone;
            EXPECT_NE(block.find("\"from\":149,\"to\":150,"), std::string::npos);
        }
    }
    EXPECT_EQ(alone, 1u);
    for (const std::string& block : blocks) {
        EXPECT_EQ(block.find('<'), std::string::npos) << "a text could end the script element";
    }
}

// The first screens' block holds few enough rows to read at once, at least one; the rows
// after it written by a second call make the blocks that follow.
TEST(ReportDataTest, FirstScreensTakeFewRowsAndTheRestFollows) {
    struct Case {
        const char* name;
        SourceLine rows;
        std::size_t length;
        LineIndex end;
    };
    const Case cases[] = {
        {"no rows", 0, 10, 0},
        {"a few short rows", 10, 10, 10},
        {"many short rows", 5000, 10, kFirstScreensRows},
        {"a row longer than the block", 3, 2000000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextDocument rows(CodePage::None);
        for (SourceLine n = 1; n <= c.rows; ++n) {
            rows.AddMarkedLine(std::string(c.length, 'x'), LineMark::MarkUnchanged, n);
        }
        EXPECT_EQ(FirstScreensEnd(rows, rows), c.end);
    }

    TextDocument rows(CodePage::None);
    for (SourceLine n = 1; n <= 2000; ++n) {
        rows.AddMarkedLine(std::string(1000, '\x01'), LineMark::MarkUnchanged, n);
    }
    const LineIndex end = FirstScreensEnd(rows, rows);
    EXPECT_GT(end, 10);
    EXPECT_LT(end, kFirstScreensRows);
    const std::string first = DataOf(rows, rows, kBetweenBlocks, kDataPieceBytes, 0, end);
    const std::string rest = DataOf(rows, rows, kBetweenBlocks, kDataPieceBytes, end);
    EXPECT_LE(first.size(), kFirstScreensBytes);
    EXPECT_EQ(
        first.find("{\"format\":2,\"rows\":2000,\"from\":0,\"to\":" + std::to_string(end) + ","),
        0u);
    EXPECT_EQ(
        rest.find("{\"format\":2,\"rows\":2000,\"from\":" + std::to_string(end) + ",\"to\":2000,"),
        0u);
}

struct EscapeCase {
    const char* name;
    std::string bytes;
    std::string json;
};

TEST(ReportDataTest, StringsEscapeWhatJsonAndHtmlWouldNotKeep) {
    const EscapeCase cases[] = {
        {"plain", "if (a) b;", "\"if (a) b;\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"end of script", "</script><!--", "\"\\u003c/script>\\u003c!--\""},
        {"NUL", std::string(1, '\0'), "\"\\u0000\""},
        {"line ends and tab", "a\r\nb\tc", "\"a\\r\\nb\\tc\""},
        {"other controls", "\x01\x1f\x1a", "\"\\u0001\\u001f\\u001a\""},
        {"DEL and bytes above 0x7F stay", "\x7f\xc3\xa4\xff\x80", "\"\x7f\xc3\xa4\xff\x80\""},
        {"escape after a plain word", "abcdefghijklmnop<q", "\"abcdefghijklmnop\\u003cq\""},
        {"escape at the end of a word", "abcdefg\x02", "\"abcdefg\\u0002\""},
        {"empty", "", "\"\""},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JsonString(c.bytes), c.json);
    }
}

}  // namespace
}  // namespace tandemix
