#pragma once

#include <string_view>

#include "document/LineMark.h"
#include "report/ReportParts.h"

// The fixed text of the report pages, one constant per fragment, in page order. Line ends
// are part of the fragments: "\r\n" where a line ends, nothing where the page goes on.
namespace tandemix::fragments {

// The banner (kReportBanner) stands here.
inline constexpr std::string_view kDoctype =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n";
inline constexpr std::string_view kHeadStart =
    "<HTML>\r\n"
    "<HEAD>\r\n";
// The code page's declaration stands here.
inline constexpr std::string_view kTitle = "<TITLE> Tandemix Ergebnisse </TITLE>\r\n";
inline constexpr std::string_view kUtf8Declaration =
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n";
inline constexpr std::string_view kWindows1252Declaration =
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n";

// Top page.
inline constexpr std::string_view kTopStyle =
    "<style type='text/css'>\r\n"
    "<!--\r\n"
    "body, td { font-family:Tahoma, Arial, Helvetica, sans-serif; font-size: 9pt}\r\n"
    ".N { background-color:white; }\r\n";
// The row colour rules stand here.
inline constexpr std::string_view kTopStyleEnd =
    "form {display:inline;}\r\n"
    ".grey {background:#f8f8f8; color:#000;}\r\n"
    "-->\r\n"
    "</style>\r\n";
inline constexpr std::string_view kScriptStart = "<script type=\"text/javascript\">\r\n";
inline constexpr std::string_view kScriptEnd = "</script>\r\n";
inline constexpr std::string_view kTopBodyStart =
    "</HEAD>\r\n"
    "<BODY onLoad=\"javascript:synchron();\">\r\n"
    "<table width=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\r\n"
    "<tr><td colspan=\"2\" width=\"100%\">";
// The result line stands after this, then the legend.
inline constexpr std::string_view kResultStart = "<font size=-1><b>&nbsp;";
inline constexpr std::string_view kLegendStart = "&nbsp;&nbsp;&nbsp;&nbsp;";
inline constexpr LegendMarkup kLegend = {"<b style='background-color:", false,
                                         ";width:30'>&nbsp;</b>&nbsp;<b>", "</b>&nbsp;&nbsp;"};
inline constexpr std::string_view kLegendEnd = "</font>";
inline constexpr std::string_view kTextSizeChooser =
    "<FORM ACTION='' style='display:inline'>"
    "<SELECT id='fontoptions' "
    "onchange='switch_textsize(this.options[this.selectedIndex].value);'>"
    "<option value='6pt'>6pt</option>"
    "<option value='7pt'>7pt</option>"
    "<option value='8pt' selected='selected'>8pt</option>"
    "<option value='9pt'>9pt</option>"
    "<option value='10pt'>10pt</option>"
    "<option value='11pt'>11pt</option>"
    "<option value='12pt'>12pt</option>"
    "<option value='13pt'>13pt</option>"
    "<option value='14pt'>14pt</option>"
    "</SELECT></FORM>";
// The addresses are placeholders of a reserved example domain.
inline constexpr std::string_view kCredit =
    "&nbsp;&nbsp;&nbsp;&nbsp;erstellt mit "
    "<a href=\"http://www.tandemix.example.com/\" target=\"blank\">Tandemix</a>"
    " von "
    "<a href=\"http://www.example.com/\" target=\"blank\">www.example.com</a>";
inline constexpr std::string_view kControls =
    "</td></tr><tr><td colspan=\"2\">\r\n"
    "<form name=\"sync\" action=\"javascript:synchron();\">\r\n"
    "<input type=\"checkbox\" checked=\"checked\" name=\"synbox\" value=\"0\" "
    "onClick=\"javascript:synchron();\" />synchron scrollen\r\n"
    "</form> &nbsp;&nbsp; \r\n"
    "<form name=\"suche\" onsubmit=\"get_frames('1');\" action=\"javascript:get_frames('1');\">\r\n"
    "Suche: <input type=\"radio\" name=\"suchoption\" value=\"1\" checked=\"checked\" /> "
    "exakt&nbsp;<input type=\"radio\" name=\"suchoption\" value=\"2\" /> unscharf\r\n"
    "<input type=\"text\" name=\"eingabe\" value=\"\" />&nbsp;\r\n"
    "<input name=\"senden\" type=\"button\" onclick=\"get_frames('1')\" value=\"suchen\"> "
    "<input name=\"clear\" type=\"button\" onclick=\"get_frames('0')\" value=\"l&ouml;schen\">\r\n"
    "</form>\r\n"
    "<form name=\"wrap\" action=\"javascript:set_wrap();\">\r\n"
    "<input type=\"button\" name=\"setwrap\" value=\"Zeilenumbruch\" onclick=\"set_wrap();\"; "
    "/>\r\n"
    "</form>\r\n"
    "</td></tr>\r\n";
inline constexpr std::string_view kNamesStart =
    "<tr><td class=\"grey\" width=\"50%\"><font size=-1>&nbsp;";
inline constexpr std::string_view kNamesBetween =
    "</font></td><td class=\"grey\" width=\"50%\"><font size=-1>&nbsp;";
inline constexpr std::string_view kNamesEnd = "</font></code></td></tr>\r\n";
inline constexpr std::string_view kTopEnd =
    "</table>\r\n"
    "</BODY>\r\n"
    "</HTML>\r\n";

// Side pages. The row colours are inserted between these pieces.
inline constexpr std::string_view kSideStyleStart =
    "<style type='text/css'>\r\n"
    "<!--\r\n"
    "body { background:white; }\r\n"
    ".N { background:white; }\r\n";
inline constexpr std::string_view kSideStyleEnd =
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
inline constexpr std::string_view kRowsStart =
    "<table border=\"0\" bgcolor=\"F6F6F6\" cellpadding=\"1\" cellspacing=\"1\" "
    "width=\"100%\"><tr><td><div id=\"maintable\">\r\n";
inline constexpr std::string_view kEmptyFolder = "<br> empty folder";
inline constexpr std::string_view kRowsEnd = "</div></td></tr></table>\r\n";
inline constexpr std::string_view kSideEnd =
    "</BODY>\r\n"
    "</HTML>\r\n";

// One row.
inline constexpr std::string_view kRowStart = "<p width=\"50%\"";
inline constexpr std::string_view kChangedClass = " class='C'";
inline constexpr std::string_view kAddedClass = " class='A'";
inline constexpr std::string_view kDeletedClass = " class='D'";
// The class attribute of a row with the mark, or nothing for an unchanged row.
constexpr std::string_view RowClassOf(LineMark mark) {
    switch (mark) {
        case LineMark::MarkChanged:
            return kChangedClass;
        case LineMark::MarkAdded:
            return kAddedClass;
        case LineMark::MarkDeleted:
            return kDeletedClass;
        default:
            return {};
    }
}
inline constexpr std::string_view kNumberStart = "<strong>";
inline constexpr std::string_view kNumberEnd = "</strong>";
inline constexpr std::string_view kRowEnd = "</p>";

}  // namespace tandemix::fragments
