#include "report/ReportWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "report/ReportScripts.h"
#include "support/RecordingDebugLog.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using testing::ReadWholeFile;
using testing::RecordingDebugLog;
using testing::TempDir;

struct Row {
    std::string text;
    std::int32_t mark;
};

TextDocument Rows(const std::vector<Row>& rows, CodePage codePage = CodePage::None) {
    TextDocument document(codePage);
    for (const Row& row : rows) {
        document.AddMarkedLine(row.text, static_cast<LineMark>(row.mark));
    }
    return document;
}

ReportPages Generate(const TextDocument& rows1, const TextDocument& rows2,
                     LineNumbers numbers = LineNumbers::Shown, std::string_view name1 = "a.txt",
                     std::string_view name2 = "b.txt") {
    ReportPages pages;
    ReportWriter().GeneratePages(rows1, rows2, pages, numbers, name1, name2);
    return pages;
}

// The pages name the code page of their texts right after "<HEAD>", and nothing when it
// is none.
struct CodePageCase {
    const char* name;
    CodePage codePage;
    std::string declaration;
};
const CodePageCase kCodePages[] = {
    {"none", CodePage::None, ""},
    {"UTF-8", CodePage::Utf8,
     "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"},
    {"Windows-1252", CodePage::Windows1252,
     "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"},
};

// The side page head, written out as a browser receives it.
std::string SideHead(const std::string& declaration) {
    return "<!-- Tandemix: Ergebnis eines Vergleichs -->\r\n"
           "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
           "<HTML>\r\n"
           "<HEAD>\r\n" +
           declaration +
           "<TITLE> Tandemix Ergebnisse </TITLE>\r\n"
           "<style type='text/css'>\r\n"
           "<!--\r\n"
           "body { background:white; }\r\n"
           ".N { background:white; }\r\n"
           ".C { background:#FFEEBB; }\r\n"
           ".A { background:#CCEECC; }\r\n"
           ".D { background:#EECCCC; }\r\n"
           ".hervorhebung {background:#EF712C; color:#fff;}\r\n"
           ".hervorhebungexakt {background:#fc0600; color:#fff;}\r\n"
           "table {border:0; width:100%;}\r\n"
           "p{margin:0; padding:1px 2px;}\r\n"
           "#maintable {color:#333333;font-family: Tahoma, Arial, sans-serif; font-size: 8pt;}\r\n"
           "-->\r\n"
           "</style>\r\n"
           "<script type='text/javascript'>\r\n"
           "<!--\r\n"
           "function set_wrap()\r\n"
           "{\r\n"
           "for (var i=0;i<document.getElementsByTagName(\"p\").length;i++)\r\n"
           "{\r\n"
           "\tdocument.getElementsByTagName(\"p\")[i].style.whiteSpace = \"nowrap\";\r\n"
           "}\r\n"
           "}\r\n"
           "-->\r\n"
           "</script>\r\n"
           "</HEAD>\r\n"
           "\r\n"
           "<BODY onload=\"set_wrap();\">\r\n";
}
const std::string kSideHead = SideHead("");

const std::string kTableStart =
    "<table border=\"0\" bgcolor=\"F6F6F6\" cellpadding=\"1\" cellspacing=\"1\" "
    "width=\"100%\"><tr><td><div id=\"maintable\">\r\n";

TEST(ReportWriterTest, SidePagesWholeWithLineNumbers) {
    for (const CodePageCase& c : kCodePages) {
        SCOPED_TRACE(c.name);
        const TextDocument rows1 = Rows({{"abc", 0}, {"old", 1}, {"gone", 3}, {"", 0}}, c.codePage);
        const TextDocument rows2 =
            Rows({{"abc", 0}, {"new", 1}, {"", 0}, {"\tx<y", 2}}, c.codePage);
        const ReportPages pages = Generate(rows1, rows2);
        const std::string head = SideHead(c.declaration) + kTableStart;
        EXPECT_EQ(pages.page1, head +
                                   "<p width=\"50%\"><strong>0</strong> abc</p>"
                                   "<p width=\"50%\" class='C'><strong>1</strong> old</p>"
                                   "<p width=\"50%\" class='D'><strong>2</strong> gone</p>"
                                   "<p width=\"50%\"><strong>3</strong> &nbsp;</p>"
                                   "</div></td></tr></table>\r\n</BODY>\r\n</HTML>\r\n");
        EXPECT_EQ(pages.page2, head +
                                   "<p width=\"50%\"><strong>0</strong> abc</p>"
                                   "<p width=\"50%\" class='C'><strong>1</strong> new</p>"
                                   "<p width=\"50%\"><strong>2</strong> &nbsp;</p>"
                                   "<p width=\"50%\" class='A'><strong>3</strong> "
                                   "&nbsp;&nbsp;&nbsp;&nbsp;x&lt;y</p>"
                                   "</div></td></tr></table>\r\n</BODY>\r\n</HTML>\r\n");
    }
}

TEST(ReportWriterTest, SidePageWithoutLineNumbersKeepsTheSpace) {
    const TextDocument rows = Rows({{"abc", 0}});
    EXPECT_EQ(Generate(rows, rows, LineNumbers::Hidden).page1,
              kSideHead + kTableStart + "<p width=\"50%\"> abc</p>" +
                  "</div></td></tr></table>\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(ReportWriterTest, EmptyRowListsGiveTheEmptyFolderNote) {
    for (const CodePageCase& c : kCodePages) {
        SCOPED_TRACE(c.name);
        const TextDocument none(c.codePage);
        const ReportPages pages = Generate(none, none);
        const std::string expected =
            SideHead(c.declaration) + "<br> empty folder</BODY>\r\n</HTML>\r\n";
        EXPECT_EQ(pages.page1, expected);
        EXPECT_EQ(pages.page2, expected);
        EXPECT_NE(pages.top.find("Ergebnis: Keine Unterschiede"), std::string::npos);
    }
}

std::string ExpectedTopPage(const std::string& result, const std::string& names,
                            const std::string& declaration = "") {
    return "<!-- Tandemix: Ergebnis eines Vergleichs -->\r\n"
           "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
           "<HTML>\r\n"
           "<HEAD>\r\n" +
           declaration +
           "<TITLE> Tandemix Ergebnisse </TITLE>\r\n"
           "<style type='text/css'>\r\n"
           "<!--\r\n"
           "body, td { font-family:Tahoma, Arial, Helvetica, sans-serif; font-size: 9pt}\r\n"
           ".N { background-color:white; }\r\n"
           ".C { background-color:#FFEEBB; }\r\n"
           ".A { background-color:#CCEECC; }\r\n"
           ".D { background-color:#EECCCC; }\r\n"
           "form {display:inline;}\r\n"
           ".grey {background:#f8f8f8; color:#000;}\r\n"
           "-->\r\n"
           "</style>\r\n"
           "<script type=\"text/javascript\">\r\n" +
           std::string(kSearchScript) + "</script>\r\n<script type=\"text/javascript\">\r\n" +
           std::string(kViewScript) +
           "</script>\r\n"
           "</HEAD>\r\n"
           "<BODY onLoad=\"javascript:synchron();\">\r\n"
           "<table width=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\r\n"
           "<tr><td colspan=\"2\" width=\"100%\"><font size=-1><b>&nbsp;Ergebnis: " +
           result +
           "&nbsp;&nbsp;&nbsp;&nbsp;<b style='background-color:#FFEEBB;width:30'>&nbsp;</b>"
           "&nbsp;<b>ge&auml;ndert</b>&nbsp;&nbsp;<b style='background-color:#CCEECC;width:30'>"
           "&nbsp;</b>&nbsp;<b>hinzugef&uuml;gt</b>&nbsp;&nbsp;<b style='background-color:"
           "#EECCCC;width:30'>&nbsp;</b>&nbsp;<b>gel&ouml;scht</b>&nbsp;&nbsp;</font>"
           "<FORM ACTION='' style='display:inline'><SELECT id='fontoptions' onchange='switch_"
           "textsize(this.options[this.selectedIndex].value);'><option value='6pt'>6pt</option>"
           "<option value='7pt'>7pt</option><option value='8pt' selected='selected'>8pt</option>"
           "<option value='9pt'>9pt</option><option value='10pt'>10pt</option><option "
           "value='11pt'>11pt</option><option value='12pt'>12pt</option><option value='13pt'>"
           "13pt</option><option value='14pt'>14pt</option></SELECT></FORM>"
           "&nbsp;&nbsp;&nbsp;&nbsp;erstellt mit <a href=\"http://www.tandemix.example.com/\" "
           "target=\"blank\">Tandemix</a> von <a href=\"http://www.example.com/\" "
           "target=\"blank\">www.example.com</a>"
           "</td></tr><tr><td colspan=\"2\">\r\n"
           "<form name=\"sync\" action=\"javascript:synchron();\">\r\n"
           "<input type=\"checkbox\" checked=\"checked\" name=\"synbox\" value=\"0\" "
           "onClick=\"javascript:synchron();\" />synchron scrollen\r\n"
           "</form> &nbsp;&nbsp; \r\n"
           "<form name=\"suche\" onsubmit=\"get_frames('1');\" "
           "action=\"javascript:get_frames('1');\">\r\n"
           "Suche: <input type=\"radio\" name=\"suchoption\" value=\"1\" checked=\"checked\" /> "
           "exakt&nbsp;<input type=\"radio\" name=\"suchoption\" value=\"2\" /> unscharf\r\n"
           "<input type=\"text\" name=\"eingabe\" value=\"\" />&nbsp;\r\n"
           "<input name=\"senden\" type=\"button\" onclick=\"get_frames('1')\" value=\"suchen\"> "
           "<input name=\"clear\" type=\"button\" onclick=\"get_frames('0')\" "
           "value=\"l&ouml;schen\">\r\n"
           "</form>\r\n"
           "<form name=\"wrap\" action=\"javascript:set_wrap();\">\r\n"
           "<input type=\"button\" name=\"setwrap\" value=\"Zeilenumbruch\" "
           "onclick=\"set_wrap();\"; />\r\n"
           "</form>\r\n"
           "</td></tr>\r\n"
           "<tr><td class=\"grey\" width=\"50%\"><font size=-1>&nbsp;" +
           names +
           "</font></code></td></tr>\r\n"
           "</table>\r\n"
           "</BODY>\r\n"
           "</HTML>\r\n";
}

TEST(ReportWriterTest, TopPageWhole) {
    const std::string names =
        "left &amp; &lt;b&gt; &quot;q&quot;</font></td><td class=\"grey\" width=\"50%\">"
        "<font size=-1>&nbsp;right";
    for (const CodePageCase& c : kCodePages) {
        SCOPED_TRACE(c.name);
        const TextDocument rows1 = Rows({{"x", 3}, {"y", 3}, {"", 0}, {"c", 1}}, c.codePage);
        const TextDocument rows2 = Rows({{"", 0}, {"", 0}, {"z", 2}, {"d", 1}}, c.codePage);
        EXPECT_EQ(Generate(rows1, rows2, LineNumbers::Shown, "left & <b> \"q\"", "right").top,
                  ExpectedTopPage("4 Unterschiede", names, c.declaration));
    }
}

// Pages are handed on in pieces as they are made, never whole, and the pieces make up the
// very pages generated in memory.
TEST(ReportWriterTest, PagesAreWrittenInBoundedPiecesWithTheSameBytes) {
    class PieceSink final : public ByteSink {
    public:
        void Append(std::string_view bytes) override {
            text.append(bytes);
            largest = std::max(largest, bytes.size());
            ++pieces;
        }
        std::string text;
        std::size_t largest = 0;
        int pieces = 0;
    };
    std::vector<Row> many;
    for (int i = 0; i < 30000; ++i) {
        many.push_back({"line <" + std::to_string(i) + ">", i % 4});
    }
    const TextDocument rows1 = Rows(many);
    const TextDocument rows2 = Rows(many);
    PieceSink top;
    PieceSink page1;
    PieceSink page2;
    ReportWriter().WritePages(rows1, rows2, PageSinks{top, page1, page2}, LineNumbers::Shown, "a",
                              "b");
    const ReportPages pages = Generate(rows1, rows2, LineNumbers::Shown, "a", "b");
    EXPECT_EQ(top.text, pages.top);
    EXPECT_EQ(page1.text, pages.page1);
    EXPECT_EQ(page2.text, pages.page2);
    EXPECT_GT(page1.pieces, 3);
    EXPECT_LT(page1.largest, page1.text.size() / 3);
}

TEST(ReportWriterTest, ResultTextByCount) {
    struct Case {
        const char* name;
        std::vector<Row> rows1;
        std::vector<Row> rows2;
        const char* result;
    };
    const Case cases[] = {
        {"identical", {{"a", 0}}, {{"a", 0}}, "Ergebnis: Keine Unterschiede"},
        {"one changed pair keeps the plural", {{"a", 1}}, {{"b", 1}}, "Ergebnis: 1 Unterschiede"},
        {"two deleted and one added",
         {{"a", 3}, {"b", 3}, {"", 0}},
         {{"", 0}, {"", 0}, {"c", 2}},
         "Ergebnis: 3 Unterschiede"},
        {"three changed rows count three",
         {{"a", 1}, {"b", 1}, {"c", 1}},
         {{"x", 1}, {"y", 1}, {"z", 1}},
         "Ergebnis: 3 Unterschiede"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string top = Generate(Rows(c.rows1), Rows(c.rows2)).top;
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

TEST(WritePageTest, ReplacesTheFileByteForByte) {
    const TempDir dir;
    const std::string path = dir.Write("page.htm", "old content that is longer");
    RecordingDebugLog log;
    EXPECT_TRUE(ReportWriter().WritePage(path, "a\r\nb\r\n", log));
    EXPECT_EQ(ReadWholeFile(path), "a\r\nb\r\n");
    EXPECT_TRUE(log.lines.empty());
}

TEST(WritePageTest, FailureIsLoggedWithACappedLine) {
    const TempDir dir;
    const std::string blocker = dir.Write("file", "x");
    RecordingDebugLog log;
    const std::string shortPath = blocker + "/page.htm";
    EXPECT_FALSE(ReportWriter().WritePage(shortPath, "text", log));
    const std::string longPath = blocker + "/" + std::string(400, 'n') + "/page.htm";
    EXPECT_FALSE(ReportWriter().WritePage(longPath, "text", log));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "error : cannot create " + shortPath + "\r\n");
    EXPECT_EQ(log.lines[1].size(), 259u);
    EXPECT_TRUE(log.lines[1].starts_with("error : cannot create ..."));
    EXPECT_TRUE(log.lines[1].ends_with("nnn/page.htm\r\n"));
    EXPECT_EQ(ReadWholeFile(blocker), "x");
}

}  // namespace
}  // namespace tandemix
