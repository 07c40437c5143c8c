#include "report/SingleReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "report/ReportData.h"
#include "report/SinglePageScripts.h"
#include "support/GoldenFile.h"
#include "support/RecordingSinks.h"
#include "support/ReportRows.h"

namespace tandemix {
namespace {

using testing::RowsOf;

std::string Page(const TextDocument& rows1, const TextDocument& rows2, const ReportHead& head) {
    StringSink sink;
    WriteSingleReport(rows1, rows2, head, sink);
    return sink.Take();
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

struct CharsetCase {
    const char* name;
    CodePage codePage;
    std::string_view row;
    std::string_view name1;
    std::string_view charset;
};

TEST(SingleReportTest, DeclaresTheCodePagesCharacterSet) {
    const CharsetCase cases[] = {
        {"UTF-8 whatever the bytes", CodePage::Utf8, "\xff", "a", "utf-8"},
        {"Windows-1252 whatever the bytes", CodePage::Windows1252, "\xc3\xa4", "a", "windows-1252"},
        {"none, plain ASCII", CodePage::None, "abc", "a", "utf-8"},
        {"none, well-formed UTF-8", CodePage::None, "gr\xc3\xbc\xc3\x9f", "a", "utf-8"},
        {"none, a byte that is no UTF-8", CodePage::None, "gr\xfc\xdf", "a", "windows-1252"},
        {"none, a cut character", CodePage::None, "\xc3", "a", "windows-1252"},
        {"none, a name that is no UTF-8", CodePage::None, "abc", "\xe4.txt", "windows-1252"},
    };
    for (const CharsetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TextDocument rows = RowsOf({{c.row, LineMark::MarkUnchanged}});
        const ReportHead head{{c.name1, "b"}, c.codePage, LineNumbers::Shown};
        EXPECT_EQ(PageCharset(rows, rows, head), c.charset);
        const std::string meta = "<meta charset=\"" + std::string(c.charset) + "\">";
        EXPECT_NE(Page(rows, rows, head).find(meta), std::string::npos);
    }
}

// The fixed head is the checked-in one, with the names escaped; the row data follows, then
// the script, and nothing a row holds can end the data block early.
TEST(SingleReportTest, PageIsTheCheckedInHeadThenTheDataThenTheScript) {
    const TextDocument rows1 = RowsOf({{"a", LineMark::MarkChanged}, {"b", LineMark::MarkDeleted}});
    const TextDocument rows2 =
        RowsOf({{"</script><script>alert(1)</script>", LineMark::MarkChanged},
                {"", LineMark::MarkUnchanged}});
    const ReportHead head{{"x&<y>.txt", "\"z\".txt"}, CodePage::Utf8, LineNumbers::Hidden};
    const std::string page = Page(rows1, rows2, head);
    const std::string data = testing::DataOf(rows1, rows2, {});
    const std::size_t at = page.find(data);
    ASSERT_NE(at, std::string::npos);
    testing::ExpectGoldenFile("report/single-head.html", page.substr(0, at));
    EXPECT_EQ(page.substr(at + data.size()), "</script>\r\n<script>\r\n" + SinglePageScript() +
                                                 "</script>\r\n</body>\r\n</html>\r\n");

    const TextDocument same = RowsOf({{"a", LineMark::MarkUnchanged}});
    EXPECT_NE(Page(same, same, head).find("Ergebnis: Keine Unterschiede</b>"), std::string::npos);
}

TEST(SingleReportTest, ScriptAndStyleCannotEndTheirElementsEarly) {
    const std::string script = SinglePageScript();
    EXPECT_EQ(Lower(script).find("</script"), std::string::npos);
    EXPECT_EQ(script.find("<!--"), std::string::npos);
    EXPECT_EQ(Lower(kSinglePageStyle).find("</style"), std::string::npos);
    // Fixed text stays ASCII, so the page reads the same under either character set.
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    EXPECT_TRUE(ascii(script));
    EXPECT_TRUE(ascii(kSinglePageStyle));
}

// Each data block is a script element of its own, which the page reads one at a time.
TEST(SingleReportTest, RowsGoIntoAsManyDataBlocksAsTheirSizeNeeds) {
    TextDocument rows(CodePage::None);
    for (SourceLine n = 1; n <= 100; ++n) {
        rows.AddMarkedLine(std::string(100, 'x'), LineMark::MarkUnchanged, n);
    }
    const ReportHead head{{"a", "b"}, CodePage::Utf8, LineNumbers::Shown};
    const auto count = [](const std::string& page, std::string_view what) {
        std::size_t n = 0;
        for (std::size_t at = page.find(what); at != std::string::npos;
             at = page.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    constexpr std::string_view kBlock =
        "<script type=\"application/json\" class=\"tandemix-data\">{";
    for (const auto& [pieceBytes, blocks] :
         {std::pair{kDataPieceBytes, 1u}, std::pair{std::size_t{3000}, 50u}}) {
        StringSink sink;
        WriteSingleReport(rows, rows, head, sink, pieceBytes);
        const std::string page = sink.Take();
        EXPECT_EQ(count(page, kBlock), blocks);
        EXPECT_EQ(count(page, "}</script>\r\n"), blocks);
    }
}

// The page shows the first screens' rows while the browser still reads the others: their
// block stands before the script, the others' after it.
TEST(SingleReportTest, FirstScreensStandBeforeTheScriptAndTheOtherRowsAfterIt) {
    TextDocument rows(CodePage::None);
    for (SourceLine n = 1; n <= 2500; ++n) {
        rows.AddMarkedLine("row " + std::to_string(n), LineMark::MarkUnchanged, n);
    }
    StringSink sink;
    WriteSingleReport(rows, rows, {{"a", "b"}, CodePage::Utf8, LineNumbers::Shown}, sink);
    const std::string page = sink.Take();
    const std::string first =
        "{\"format\":2,\"rows\":2500,\"from\":0,\"to\":" + std::to_string(kFirstScreensRows) + ",";
    const std::string rest =
        "{\"format\":2,\"rows\":2500,\"from\":" + std::to_string(kFirstScreensRows) +
        ",\"to\":2500,";
    const std::size_t script = page.find("</script>\r\n<script>\r\n" + SinglePageScript());
    ASSERT_NE(script, std::string::npos);
    EXPECT_LT(page.find(first), script);
    EXPECT_GT(page.find(rest), script);
    EXPECT_EQ(page.find("{\"format\":", page.find(rest) + 1), std::string::npos) << "two blocks";
    EXPECT_TRUE(page.ends_with("}</script>\r\n</body>\r\n</html>\r\n"));
}

TEST(SingleReportTest, LargeReportsReachTheSinkInPieces) {
    TextDocument rows(CodePage::None);
    const std::string line(100, 'x');
    for (SourceLine n = 1; n <= 50000; ++n) {
        rows.AddMarkedLine(line, LineMark::MarkUnchanged, n);
    }
    testing::PieceSink sink;
    WriteSingleReport(rows, rows, {{"a", "b"}, CodePage::None, LineNumbers::Shown}, sink);
    EXPECT_GT(sink.text.size(), 50000u * line.size());
    EXPECT_LE(sink.largest, kPagePieceSize);
    EXPECT_GT(sink.pieces, sink.text.size() / kPagePieceSize);
}

}  // namespace
}  // namespace tandemix
