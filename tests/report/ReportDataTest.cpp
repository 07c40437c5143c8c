#include "report/ReportData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "support/JsonReader.h"

namespace tandemix {
namespace {

using testing::JsonValue;

// Between two blocks; "<" is always escaped inside one.
constexpr std::string_view kBetween = "<>";

std::string Data(const TextDocument& rows1, const TextDocument& rows2,
                 std::size_t pieceBytes = kDataPieceBytes) {
    StringSink sink;
    {
        ChunkedOutput out(sink);
        WriteReportData(rows1, rows2, out, kBetween, pieceBytes);
    }
    return sink.Take();
}

std::vector<std::string> Blocks(const std::string& data) {
    std::vector<std::string> blocks;
    for (std::size_t at = 0;;) {
        const std::size_t end = data.find(kBetween, at);
        blocks.push_back(data.substr(at, end - at));
        if (end == std::string::npos) {
            return blocks;
        }
        at = end + kBetween.size();
    }
}

std::string JsonString(std::string_view bytes) {
    StringSink sink;
    {
        ChunkedOutput out(sink);
        AppendJsonString(bytes, out);
    }
    return sink.Take();
}

// One row of one side as the page reads it back from the data block.
struct ShownRow {
    bool line = false;
    std::string text;
    int mark = 0;
    std::int64_t number = 0;
    std::optional<std::string> section;

    bool operator==(const ShownRow&) const = default;
};

// The page's reading of the blocks, written out once more.
std::array<std::vector<ShownRow>, 2> ReadBack(const std::vector<JsonValue>& blocks) {
    std::array<std::vector<ShownRow>, 2> sides;
    const auto rowCount = static_cast<std::size_t>(blocks.front()["rows"].Number());
    for (const JsonValue& data : blocks) {
        EXPECT_EQ(data["format"].Number(), 2);
        EXPECT_EQ(static_cast<std::size_t>(data["rows"].Number()), rowCount);
        const auto from = static_cast<std::size_t>(data["from"].Number());
        const auto to = static_cast<std::size_t>(data["to"].Number());
        EXPECT_EQ(from, sides[0].size()) << "blocks follow each other";
        for (std::size_t side = 0; side < 2; ++side) {
            const std::string& codes = data["marks"][side].String();
            const std::string& texts = data["texts"][side].String();
            const auto& numbers = data["lines"][side].Items();
            const auto& breaks = data["breaks"][side].Items();
            const auto& sections = data["sections"][side].Items();
            EXPECT_EQ(codes.size(), to - from);
            std::size_t at = 0;
            std::size_t number = 0;
            std::size_t feeds = 0;
            std::int64_t next = 1;
            for (std::size_t row = from; row < to; ++row) {
                ShownRow shown;
                const char code = codes[row - from];
                const auto here = static_cast<std::int64_t>(row);
                if (code >= 'a') {
                    shown.mark = code - 'a';
                } else {
                    shown.line = true;
                    shown.mark = code >= 'A' ? code - 'A' : code - '0';
                    if (code >= 'A') {
                        shown.text = sides[0][row].text;
                    } else {
                        // The text runs to its own line feed, past those it holds.
                        std::size_t end = at;
                        std::int64_t inside = 0;
                        if (feeds < breaks.size() && breaks[feeds].Number() == here) {
                            inside = breaks[feeds + 1].Number();
                            feeds += 2;
                        }
                        for (std::int64_t i = 0; i <= inside; ++i) {
                            end = texts.find('\n', end) + 1;
                        }
                        shown.text = texts.substr(at, end - 1 - at);
                        at = end;
                    }
                    if (number < numbers.size() && numbers[number].Number() == here) {
                        next = numbers[number + 1].Number();
                        number += 2;
                    }
                    shown.number = next++;
                }
                for (std::size_t s = 0; s < sections.size(); s += 2) {
                    if (sections[s].Number() == here) {
                        shown.section = sections[s + 1].String();
                    }
                }
                sides[side].push_back(shown);
            }
            EXPECT_EQ(at, texts.size());
        }
    }
    EXPECT_EQ(sides[0].size(), rowCount);
    return sides;
}

std::vector<ShownRow> Expected(const TextDocument& rows) {
    std::vector<ShownRow> shown;
    for (LineIndex row = 0; row < rows.GetLineCount(); ++row) {
        const bool placeholder = rows.GetSourceLine(row) == 0 && rows.GetLineText(row).empty();
        std::optional<std::string> section;
        if (const auto title = rows.GetSectionTitle(row)) {
            section = std::string(*title);
        }
        shown.push_back(
            {!placeholder, std::string(rows.GetLineText(row)), static_cast<int>(rows.GetMark(row)),
             placeholder ? 0 : static_cast<std::int64_t>(rows.GetSourceLine(row)), section});
    }
    return shown;
}

// Read back whole, in blocks of a few rows, and one row to a block.
void ExpectRoundTrip(const TextDocument& rows1, const TextDocument& rows2) {
    for (const std::size_t pieceBytes : {kDataPieceBytes, std::size_t{700}, std::size_t{1}}) {
        SCOPED_TRACE(pieceBytes);
        const std::string data = Data(rows1, rows2, pieceBytes);
        std::vector<JsonValue> blocks;
        for (const std::string& block : Blocks(data)) {
            EXPECT_EQ(block.find('<'), std::string::npos) << "a text could end the script element";
            const std::optional<JsonValue> parsed = testing::ReadJson(block);
            ASSERT_TRUE(parsed) << block;
            blocks.push_back(*parsed);
        }
        const auto rowCount =
            static_cast<std::size_t>(std::max(rows1.GetLineCount(), rows2.GetLineCount()));
        if (pieceBytes == 1) {
            EXPECT_EQ(blocks.size(), std::max<std::size_t>(rowCount, 1));
        }
        const auto sides = ReadBack(blocks);
        EXPECT_EQ(sides[0], Expected(rows1));
        EXPECT_EQ(sides[1], Expected(rows2));
    }
}

TEST(ReportDataTest, EveryKindOfRowComesBackAsWritten) {
    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    const auto pair = [&](std::string_view a, LineMark m1, SourceLine n1, std::string_view b,
                          LineMark m2, SourceLine n2) {
        rows1.AddMarkedLine(a, m1, n1);
        rows2.AddMarkedLine(b, m2, n2);
    };
    pair("same", LineMark::MarkUnchanged, 1, "same", LineMark::MarkUnchanged, 1);
    // Equal under ignored case: each side keeps its own text.
    pair("Abc", LineMark::MarkUnchanged, 2, "abc", LineMark::MarkUnchanged, 2);
    // Lines may hold line feeds of their own (with tags removed they end in one).
    pair("x\r\n", LineMark::MarkUnchanged, 3, "\ny\n\n", LineMark::MarkUnchanged, 3);
    // Empty lines were dropped before these: the numbers jump.
    pair("old", LineMark::MarkChanged, 5, "new", LineMark::MarkChanged, 3);
    rows1.AddMarkedLine("gone", LineMark::MarkDeleted, 6);
    rows2.AddEmptyLine();
    rows1.AddEmptyLine();
    rows2.BeginSection("sub/folder");
    rows2.AddMarkedLine("came", LineMark::MarkAdded, 4);
    // A kept empty line is a line, not a placeholder.
    pair("", LineMark::MarkUnchanged, 7, "", LineMark::MarkUnchanged, 5);
    rows1.BeginSection("tail \"quoted\" <b>");
    pair("same", LineMark::MarkUnchanged, 8, "same", LineMark::MarkUnchanged, 6);
    ExpectRoundTrip(rows1, rows2);

    // Shared texts are carried once: "same" twice, on the first side only.
    const std::string data = Data(rows1, rows2);
    EXPECT_NE(data.find("\"texts\":[\"same\\nAbc\\nx\\r\\n\\nold\\ngone\\n\\nsame\\n\",\r\n"
                        "\"abc\\n\\ny\\n\\n\\nnew\\ncame\\n\"]"),
              std::string::npos)
        << data;
    EXPECT_NE(data.find("\"breaks\":[[2,1],\r\n[2,3]]"), std::string::npos) << data;
    EXPECT_NE(data.find("\"marks\":[\"00013a00\",\r\n\"A001a2AA\"]"), std::string::npos) << data;
}

TEST(ReportDataTest, EveryByteValueComesBackAsWritten) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    const std::string reversed(all.rbegin(), all.rend());
    TextDocument rows1(CodePage::None);
    TextDocument rows2(CodePage::None);
    rows1.AddMarkedLine(all, LineMark::MarkUnchanged, 1);
    rows2.AddMarkedLine(all, LineMark::MarkUnchanged, 1);
    rows1.AddMarkedLine(reversed, LineMark::MarkChanged, 2);
    rows2.AddMarkedLine(all + reversed, LineMark::MarkChanged, 2);
    rows1.BeginSection(all);
    rows1.AddMarkedLine(std::string(1, '\0'), LineMark::MarkDeleted, 3);
    rows2.AddEmptyLine();
    ExpectRoundTrip(rows1, rows2);
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
    const std::vector<std::string> blocks = Blocks(Data(rows1, rows2, kPieceBytes));
    EXPECT_GE(blocks.size(), 4u);
    std::size_t alone = 0;
    for (const std::string& block : blocks) {
        if (block.size() > kPieceBytes) {
            ++alone;
            EXPECT_NE(block.find("\"from\":149,\"to\":150,"), std::string::npos);
        }
    }
    EXPECT_EQ(alone, 1u);
    ExpectRoundTrip(rows1, rows2);
}

TEST(ReportDataTest, NoRowsGiveAnEmptyBlock) {
    const TextDocument none(CodePage::None);
    ExpectRoundTrip(none, none);
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
