#include "document/TextDocument.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace tandemix {
namespace {

// h = 3h + c over the signed bytes, wrapping at 32 bits: bytes above 0x7F count as negative.
TEST(LineHashTest, KnownValues) {
    EXPECT_EQ(ComputeLineHash(""), 0);
    EXPECT_EQ(ComputeLineHash("ab"), 389);
    EXPECT_EQ(ComputeLineHash(std::string_view("a\0b", 3)), 971);
    EXPECT_EQ(ComputeLineHash("\xFF"), -1);
    EXPECT_EQ(ComputeLineHash("a\x80"), 163);
    EXPECT_EQ(ComputeLineHash("\xE4\xF6\xFC"), -286);
    EXPECT_EQ(ComputeLineHash(std::string(20, 'x')), -1246333504);  // past 32 bits
}

// A row list keeps its texts as they are, without hashes; reads out of range are empty.
TEST(TextDocumentTest, RowListKeepsTextsAndReadsOutOfRangeAreEmpty) {
    TextDocument rows(CodePage::Windows1252);
    rows.AddMarkedLine("  ABC", LineMark{2});
    rows.AddEmptyLine();
    EXPECT_TRUE(rows.GetLineHashes().empty());
    EXPECT_EQ(rows.GetLineCount(), 2);
    EXPECT_EQ(rows.GetMatchText(0), "  ABC");
    EXPECT_EQ(rows.GetMark(0), LineMark{2});
    EXPECT_EQ(rows.GetMark(1), LineMark{0});
    for (const LineIndex index : {LineIndex{-1}, LineIndex{2}, LineIndex{1000}}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(rows.GetLineText(index), "");
        EXPECT_EQ(rows.GetMatchText(index), "");
        EXPECT_EQ(rows.GetMark(index), LineMark{0});
    }
}

TEST(TextDocumentTest, CountMarksCountsAddedChangedDeleted) {
    TextDocument document(CodePage::None);
    for (const std::int32_t mark : {0, 1, 1, 2, 3, 5}) {
        document.AddMarkedLine("row", static_cast<LineMark>(mark));
    }
    const MarkCounts counts = document.CountMarks();
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.changed, 2);
    EXPECT_EQ(counts.deleted, 1);
}

// Each row as "text|mark|line", with "|section" where a section begins.
std::vector<std::string> Shown(const TextDocument& rows) {
    std::vector<std::string> shown;
    for (LineIndex r = 0; r < rows.GetLineCount(); ++r) {
        shown.push_back(std::string(rows.GetLineText(r)) + "|" +
                        std::to_string(static_cast<int>(rows.GetMark(r))) + "|" +
                        std::to_string(rows.GetSourceLine(r)));
        if (const auto title = rows.GetSectionTitle(r)) {
            shown.back() += "|" + std::string(*title);
        }
    }
    return shown;
}

// Rows refer to the lines they show: no text is copied, and the input's lines live as long
// as the rows need them.
TEST(TextDocumentTest, RowsShowTheirInputsLinesWithoutCopies) {
    auto input = std::make_unique<TextDocument>(CodePage::None);
    input->AddLine("a", 4);
    input->BeginSection("sub");
    input->AddLine(std::string(20, 'q'), 7);
    TextDocument rows(CodePage::None);
    rows.ShareTextOf(*input);
    rows.AddRowOf(*input, 1, LineMark::MarkDeleted);
    rows.AddEmptyLine();
    rows.AddRowOf(*input, 0, LineMark::MarkUnchanged);
    EXPECT_EQ(rows.GetLineText(0).data(), input->GetLineText(1).data());
    input.reset();
    EXPECT_EQ(Shown(rows),
              (std::vector<std::string>{std::string(20, 'q') + "|3|7|sub", "|0|0", "a|0|4"}));
    // A line number and a mark per row.
    EXPECT_EQ(rows.GetLineMemory(), 3 * 5u);
}

TEST(TextDocumentTest, AddingOtherLinesTurnsShownRowsIntoCopies) {
    auto input = std::make_unique<TextDocument>(CodePage::None);
    input->BeginSection("sub");
    input->AddLine("x", 3);
    TextDocument rows(CodePage::None);
    rows.ShareTextOf(*input);
    rows.AddRowOf(*input, 0, LineMark::MarkChanged);
    rows.AddEmptyLine();
    rows.AddMarkedLine("own", LineMark::MarkAdded, 9);
    input.reset();
    EXPECT_EQ(Shown(rows), (std::vector<std::string>{"x|1|3|sub", "|0|0", "own|2|9"}));
}

TEST(TextDocumentTest, ManyLinesKeepTheirTexts) {
    TextDocument document(CodePage::None);
    std::vector<std::string> expected;
    for (int i = 0; i < 20000; ++i) {
        expected.push_back(std::string(static_cast<std::size_t>(i % 300), 'a') + std::to_string(i));
        document.AddLine(expected.back());
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(document.GetLineText(static_cast<LineIndex>(i)), expected[i]);
    }
}

TEST(TextDocumentTest, SectionsBeginAtLinesAndTravelWithRows) {
    TextDocument input(CodePage::None);
    input.BeginSection("sub");
    input.AddLine("y.txt");
    input.BeginSection("ignored: replaced before any line");
    input.BeginSection("");
    input.AddLine("x.txt");
    input.AddLine("w.txt");
    EXPECT_EQ(input.GetSectionTitle(0), "sub");
    EXPECT_EQ(input.GetSectionTitle(1), "");
    EXPECT_EQ(input.GetSectionTitle(2), std::nullopt);
    EXPECT_EQ(input.GetSectionTitle(3), std::nullopt);

    TextDocument rows(CodePage::None);
    rows.AddEmptyLine();
    rows.AddRowOf(input, 1, LineMark::MarkDeleted);
    rows.AddRowOf(input, 2, LineMark::MarkUnchanged);
    EXPECT_EQ(Shown(rows), (std::vector<std::string>{"|0|0", "x.txt|3|2|", "w.txt|0|3"}));
}

}  // namespace
}  // namespace tandemix
