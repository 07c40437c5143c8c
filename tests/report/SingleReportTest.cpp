#include "report/SingleReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "report/SinglePageScripts.h"
#include "support/RecordingDebugLog.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::ReadWholeFile;
using testing::RecordingDebugLog;
using testing::TempDir;

TextDocument Rows(std::initializer_list<std::pair<std::string_view, LineMark>> rows) {
    TextDocument document(CodePage::None);
    SourceLine number = 0;
    for (const auto& [text, mark] : rows) {
        document.AddMarkedLine(text, mark, ++number);
    }
    return document;
}

std::string Page(const TextDocument& rows1, const TextDocument& rows2,
                 const SingleReportHead& head) {
    StringSink sink;
    WriteSingleReport(rows1, rows2, head, sink);
    return sink.Take();
}

// Remembers how large the pieces were that reached it.
class MeasuringSink final : public ByteSink {
public:
    void Append(std::string_view bytes) override {
        total += bytes.size();
        largest = std::max(largest, bytes.size());
        ++writes;
    }
    std::size_t total = 0;
    std::size_t largest = 0;
    std::size_t writes = 0;
};

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
        const TextDocument rows = Rows({{c.row, LineMark::MarkUnchanged}});
        const SingleReportHead head{c.name1, "b", c.codePage, LineNumbers::Shown};
        EXPECT_EQ(PageCharset(rows, rows, head), c.charset);
        const std::string meta = "<meta charset=\"" + std::string(c.charset) + "\">";
        EXPECT_NE(Page(rows, rows, head).find(meta), std::string::npos);
    }
}

TEST(SingleReportTest, ShowsResultLegendAndEscapedNames) {
    const TextDocument rows1 = Rows({{"a", LineMark::MarkChanged}, {"b", LineMark::MarkDeleted}});
    const TextDocument rows2 = Rows({{"c", LineMark::MarkChanged}, {"", LineMark::MarkUnchanged}});
    const SingleReportHead head{"x&<y>.txt", "\"z\".txt", CodePage::Utf8, LineNumbers::Hidden};
    const std::string page = Page(rows1, rows2, head);
    EXPECT_NE(page.find("<title>Tandemix: x&amp;&lt;y&gt;.txt &#8596; &quot;z&quot;.txt</title>"),
              std::string::npos);
    EXPECT_NE(page.find("<b id=\"result\">Ergebnis: 2 Unterschiede</b>"), std::string::npos);
    EXPECT_NE(page.find(":root { --C:#FFEEBB; --A:#CCEECC; --D:#EECCCC; }"), std::string::npos);
    EXPECT_NE(page.find("<b class=\"swatch C\"></b>&nbsp;<b>ge&auml;ndert</b> "
                        "<b class=\"swatch A\"></b>&nbsp;<b>hinzugef&uuml;gt</b> "
                        "<b class=\"swatch D\"></b>&nbsp;<b>gel&ouml;scht</b>"),
              std::string::npos);
    EXPECT_NE(page.find("<body data-line-numbers=\"no\">"), std::string::npos);
    EXPECT_EQ(page.find("x&<"), std::string::npos);

    const TextDocument same = Rows({{"a", LineMark::MarkUnchanged}});
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

TEST(SingleReportTest, RowTextsCannotEndTheDataBlock) {
    const TextDocument rows = Rows({{"</script><script>alert(1)</script>", LineMark::MarkChanged}});
    const std::string page = Page(rows, rows, {"a", "b", CodePage::Utf8, LineNumbers::Shown});
    const std::size_t data = page.find("<script type=\"application/json\" id=\"tandemix-data\">");
    ASSERT_NE(data, std::string::npos);
    const std::size_t end = page.find("</script>", data);
    EXPECT_NE(page.find("\\u003c/script>\\u003cscript>alert(1)\\u003c/script>", data),
              std::string::npos);
    EXPECT_LT(page.find("\\u003c/script>", data), end);
}

TEST(SingleReportTest, LargeReportsReachTheSinkInPieces) {
    TextDocument rows(CodePage::None);
    const std::string line(100, 'x');
    for (SourceLine n = 1; n <= 50000; ++n) {
        rows.AddMarkedLine(line, LineMark::MarkUnchanged, n);
    }
    MeasuringSink sink;
    WriteSingleReport(rows, rows, {"a", "b", CodePage::None, LineNumbers::Shown}, sink);
    EXPECT_GT(sink.total, 50000u * line.size());
    EXPECT_LE(sink.largest, std::size_t{1} << 16);
    EXPECT_GT(sink.writes, sink.total >> 16);
}

TEST(SingleReportTest, FileIsReplacedWholeOrNotAtAll) {
    const TempDir dir;
    const TextDocument rows = Rows({{"a", LineMark::MarkUnchanged}});
    const SingleReportHead head{"a", "b", CodePage::Utf8, LineNumbers::Shown};
    RecordingDebugLog log;
    const std::string path = dir.Write("Tandemix-Bericht.html", "old");
    ASSERT_TRUE(WriteSingleReportFile(path, rows, rows, head, log));
    EXPECT_EQ(ReadWholeFile(path), Page(rows, rows, head));

    const std::string blocked = dir.Write("file", "x") + "/Tandemix-Bericht.html";
    EXPECT_FALSE(WriteSingleReportFile(blocked, rows, rows, head, log));
    EXPECT_EQ(log.lines, std::vector<std::string>{"error : cannot create " + blocked + "\r\n"});
}

}  // namespace
}  // namespace tandemix
