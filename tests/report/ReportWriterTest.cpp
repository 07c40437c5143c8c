#include "report/ReportWriter.h"

#include <gtest/gtest.h>

#include "support/GoldenFile.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::ExpectGoldenFile;
using testing::ReadWholeFile;
using testing::RecordingDebugLog;
using testing::TempDir;

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

ReportPages Generate(const TextDocument& rows1, const TextDocument& rows2,
                     LineNumbers numbers = LineNumbers::Shown, std::string_view name1 = "a",
                     std::string_view name2 = "b") {
    ReportPages pages;
    ReportWriter().GeneratePages(rows1, rows2, pages, numbers, name1, name2);
    return pages;
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
        const ReportPages pages =
            Generate(rows1, rows2, c.numbers, "left & <b> \"q\"", "right \xE4.txt");
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

// Pages are handed on in pieces as they are made, never whole, and the pieces make up the
// very pages generated in memory.
TEST(ReportWriterTest, PagesAreWrittenInBoundedPiecesWithTheSameBytes) {
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
    ReportWriter().WritePages(rows, rows, PageSinks{top, page1, page2}, LineNumbers::Shown, "a",
                              "b");
    const ReportPages pages = Generate(rows, rows);
    EXPECT_EQ(top.text, pages.top);
    EXPECT_EQ(page1.text, pages.page1);
    EXPECT_EQ(page2.text, pages.page2);
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

TEST(EscapeLineTest, Table) {
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
        EXPECT_EQ(EscapeLine(c.text), c.html);
    }
}

// A page replaces its file byte for byte; one that cannot be written leaves a debug line,
// cut to its longest length with the file's end kept.
TEST(WritePageTest, ReplacesTheFileOrLogsACappedLine) {
    const TempDir dir;
    RecordingDebugLog log;
    const std::string path = dir.Write("page.htm", "old content that is longer");
    EXPECT_TRUE(ReportWriter().WritePage(path, "a\r\nb\r\n", log));
    EXPECT_EQ(ReadWholeFile(path), "a\r\nb\r\n");
    EXPECT_TRUE(log.lines.empty());

    const std::string shortPath = path + "/page.htm";
    EXPECT_FALSE(ReportWriter().WritePage(shortPath, "text", log));
    const std::string longPath = path + "/" + std::string(400, 'n') + "/page.htm";
    EXPECT_FALSE(ReportWriter().WritePage(longPath, "text", log));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "error : cannot create " + shortPath + "\r\n");
    EXPECT_EQ(log.lines[1].size(), 259u);
    EXPECT_TRUE(log.lines[1].starts_with("error : cannot create ..."));
    EXPECT_TRUE(log.lines[1].ends_with("nnn/page.htm\r\n"));
    EXPECT_EQ(ReadWholeFile(path), "a\r\nb\r\n");
}

}  // namespace
}  // namespace tandemix
