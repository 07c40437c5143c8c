#include "report/ReportWriter.h"

#include <gtest/gtest.h>

#include "support/GoldenFile.h"
#include "support/RecordingSinks.h"

namespace tandemix {
namespace {

using testing::ExpectGoldenFile;

// One row per mark digit ('0' unchanged or placeholder, '1' changed, '2' added, '3'
// deleted), with the texts given or else "x" (or nothing for a placeholder).
TextDocument Rows(std::string_view marks, std::vector<std::string> texts = {},
                  CodePage codePage = CodePage::None) {
    TextDocument document(codePage);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const std::string text = i < texts.size() ? texts[i] : "x";
        document.AddMarkedLine(text, static_cast<LineMark>(marks[i] - '0'));
    }
    return document;
}

struct Pages {
    std::string top;
    std::string page1;
    std::string page2;
};

Pages Generate(const TextDocument& rows1, const TextDocument& rows2,
               LineNumbers numbers = LineNumbers::Shown, std::string_view name1 = "a",
               std::string_view name2 = "b") {
    StringSink top;
    StringSink page1;
    StringSink page2;
    WriteFramedReport(rows1, rows2, {{name1, name2}, rows1.GetCodePage(), numbers},
                      {top, {page1, page2}});
    return {top.Take(), page1.Take(), page2.Take()};
}

struct PageCase {
    const char* folder;  // under tests/data/report
    CodePage codePage;
    LineNumbers numbers;
    bool rows;  // false: none, as for two empty folders
};

// The pages whole, byte for byte: each kind of row, escaped texts and names, with and
// without numbers, the note for empty folders, and each code page's declaration.
TEST(ReportWriterTest, PagesAreTheCheckedInPages) {
    const PageCase cases[] = {
        {"framed", CodePage::None, LineNumbers::Shown, true},
        {"framed-unnumbered", CodePage::None, LineNumbers::Hidden, true},
        {"framed-utf-8", CodePage::Utf8, LineNumbers::Shown, true},
        {"framed-windows-1252", CodePage::Windows1252, LineNumbers::Shown, true},
        {"empty-folder", CodePage::None, LineNumbers::Shown, false},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.folder);
        const TextDocument rows1 =
            Rows(c.rows ? "01300" : "", {"abc", "old", "gone", "", "a&b"}, c.codePage);
        const TextDocument rows2 = Rows(
            c.rows ? "01020" : "", {"abc", "new", "", "\t if (a<b && c>d)", "a&b"}, c.codePage);
        const Pages pages = Generate(rows1, rows2, c.numbers, "left & <b> \"q\"", "right \xE4.txt");
        // The second side's page and the top page once; the other cases change only what
        // both sides share.
        const std::string folder = std::string("report/") + c.folder + "/";
        ExpectGoldenFile(folder + "page1.htm", pages.page1);
        if (c.folder == std::string_view("framed")) {
            ExpectGoldenFile(folder + "page2.htm", pages.page2);
            ExpectGoldenFile(folder + "top.htm", pages.top);
        } else if (!c.rows) {
            EXPECT_EQ(pages.page2, pages.page1);
        }
        // The top page declares the same code page as the side pages.
        EXPECT_EQ(pages.top.substr(0, pages.top.find("<TITLE>")),
                  pages.page1.substr(0, pages.page1.find("<TITLE>")));
    }
}

// Pages are handed on in pieces as they are made, never whole.
TEST(ReportWriterTest, PagesAreWrittenInBoundedPieces) {
    std::string marks;
    std::vector<std::string> texts;
    for (int i = 0; i < 30000; ++i) {
        marks.push_back(static_cast<char>('0' + i % 4));
        texts.push_back("line <" + std::to_string(i) + ">");
    }
    const TextDocument rows = Rows(marks, texts);
    testing::PieceSink top;
    testing::PieceSink page1;
    testing::PieceSink page2;
    WriteFramedReport(rows, rows, {{"a", "b"}}, {top, {page1, page2}});
    EXPECT_EQ(page2.text, page1.text);
    EXPECT_GT(page1.pieces, 3u);
    EXPECT_LT(page1.largest, page1.text.size() / 3);
}

TEST(ReportWriterTest, ResultTextByCount) {
    struct Case {
        const char* name;
        const char* marks1;
        const char* marks2;
        const char* result;
    };
    const Case cases[] = {
        {"identical", "0", "0", "Ergebnis: Keine Unterschiede"},
        {"one changed pair keeps the plural", "1", "1", "Ergebnis: 1 Unterschiede"},
        {"two deleted and one added", "330", "002", "Ergebnis: 3 Unterschiede"},
        {"three changed rows count three", "111", "111", "Ergebnis: 3 Unterschiede"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string top = Generate(Rows(c.marks1), Rows(c.marks2)).top;
        EXPECT_NE(top.find(std::string("<b>&nbsp;") + c.result + "&nbsp;"), std::string::npos);
    }
}

// A row's text on its page: indentation kept as blanks, markup bytes escaped.
TEST(ReportWriterTest, RowTextsAreEscaped) {
    struct Case {
        const char* name;
        std::string text;
        std::string html;
    };
    const Case cases[] = {
        {"empty", "", "&nbsp;"},
        {"indentation then markup", "\t if (a<b && c>d)",
         "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;if (a&lt;b &amp;&amp; c&gt;d)"},
        {"blanks only", "   ", "&nbsp;&nbsp;&nbsp;"},
        {"inner blanks and tabs stay", "a \tb", "a \tb"},
        {"quotes and high bytes stay", "\"\xE4\"", "\"\xE4\""},
        {"leading markup", "<br>", "&lt;br&gt;"},
        {"entity text is escaped", "&amp;", "&amp;amp;"},
        {"markup past the first eight bytes", "abcdefghij<k>lmnopqrstuvw&x",
         "abcdefghij&lt;k&gt;lmnopqrstuvw&amp;x"},
        {"high bytes next to markup codes stay", "\xBC\xBE\xA6\xBC\xBE\xA6\xBC\xBE\xA6<",
         "\xBC\xBE\xA6\xBC\xBE\xA6\xBC\xBE\xA6&lt;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string page =
            Generate(Rows("0", {c.text}), Rows("0"), LineNumbers::Hidden).page1;
        EXPECT_NE(page.find("<p width=\"50%\"> " + c.html + "</p>"), std::string::npos);
    }
}

}  // namespace
}  // namespace tandemix
