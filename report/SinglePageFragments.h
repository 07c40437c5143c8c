#pragma once

#include <string_view>

// The fixed markup of the one-file report, in page order. Its script and style are plain
// files beside it (report/single/); the rows are data, shown by the script.
namespace tandemix::single_fragments {

inline constexpr std::string_view kPageStart =
    "<!DOCTYPE html>\r\n"
    "<!-- Tandemix: Ergebnis eines Vergleichs -->\r\n"
    "<html lang=\"de\">\r\n"
    "<head>\r\n"
    "<meta charset=\"";
// The character set stands here.
inline constexpr std::string_view kTitleStart =
    "\">\r\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n"
    "<meta name=\"color-scheme\" content=\"light dark\">\r\n"
    "<meta name=\"generator\" content=\"Tandemix\">\r\n"
    "<link rel=\"icon\" href=\"data:,\">\r\n"
    "<title>Tandemix: ";
inline constexpr std::string_view kTitleBetween = " &#8596; ";
inline constexpr std::string_view kTitleEnd = "</title>\r\n";
inline constexpr std::string_view kColoursStart = "<style>\r\n:root {";
// One custom property per row colour stands here.
inline constexpr std::string_view kColoursEnd = " }\r\n";
// The style file stands here.
inline constexpr std::string_view kHeadEnd =
    "</style>\r\n"
    "</head>\r\n";
inline constexpr std::string_view kBodyStart = "<body data-line-numbers=\"";
inline constexpr std::string_view kResultStart =
    "\">\r\n"
    "<div id=\"top\">\r\n"
    "<div class=\"bar\"><b id=\"result\">Ergebnis: ";
inline constexpr std::string_view kResultNone = "Keine Unterschiede";
inline constexpr std::string_view kResultCountEnd = " Unterschiede";
inline constexpr std::string_view kLegendStart = "</b>\r\n<span class=\"legend\">";
inline constexpr std::string_view kLegendBoxStart = "<b class=\"swatch ";
inline constexpr std::string_view kLegendBoxEnd = "\"></b>&nbsp;<b>";
inline constexpr std::string_view kLegendWordEnd = "</b> ";
inline constexpr std::string_view kControls =
    "</span>\r\n"
    "<span class=\"group\">"
    "<button type=\"button\" id=\"prev\" title=\"Voriger Unterschied (p, Umschalt+F7)\">"
    "&#9650; Voriger</button>"
    "<span id=\"position\">0 / 0</span>"
    "<button type=\"button\" id=\"next\" title=\"N&auml;chster Unterschied (n, F7)\">"
    "&#9660; N&auml;chster</button></span>\r\n"
    "</div>\r\n"
    "<div class=\"bar\">"
    "<span class=\"group\"><label for=\"query\">Suche:</label> "
    "<input type=\"text\" id=\"query\" size=\"24\" autocomplete=\"off\" spellcheck=\"false\" "
    "title=\"Eingabe: n&auml;chster Treffer, Umschalt+Eingabe: voriger Treffer\"> "
    "<label><input type=\"radio\" name=\"mode\" value=\"exact\" checked> exakt</label> "
    "<label><input type=\"radio\" name=\"mode\" value=\"fuzzy\"> unscharf</label> "
    "<button type=\"button\" id=\"hitprev\" title=\"Voriger Treffer (Umschalt+Eingabe)\">"
    "&#9650;</button>"
    "<button type=\"button\" id=\"hitnext\" title=\"N&auml;chster Treffer (Eingabe)\">"
    "&#9660;</button> "
    "<span id=\"hits\"></span></span>\r\n"
    "<span class=\"group\"><label>Textgr&ouml;&szlig;e: <select id=\"size\">"
    "<option value=\"6\">6pt</option>"
    "<option value=\"7\">7pt</option>"
    "<option value=\"8\">8pt</option>"
    "<option value=\"9\" selected>9pt</option>"
    "<option value=\"10\">10pt</option>"
    "<option value=\"11\">11pt</option>"
    "<option value=\"12\">12pt</option>"
    "<option value=\"13\">13pt</option>"
    "<option value=\"14\">14pt</option>"
    "</select></label></span>\r\n"
    "<span class=\"group\"><label><input type=\"checkbox\" id=\"wrap\"> Zeilenumbruch</label> "
    "<label><input type=\"checkbox\" id=\"fold\"> Unver&auml;nderte Zeilen ausblenden</label> "
    "<label><input type=\"checkbox\" id=\"numbers\"> Zeilennummern</label></span>\r\n"
    "<span class=\"group\"><label>Farben: <select id=\"scheme\">"
    "<option value=\"auto\" selected>automatisch</option>"
    "<option value=\"light\">hell</option>"
    "<option value=\"dark\">dunkel</option>"
    "</select></label> "
    "<label><input type=\"checkbox\" id=\"syntax\" checked> Syntaxfarben</label> "
    "<button type=\"button\" id=\"helpbutton\" title=\"Tastenk&uuml;rzel (?)\">?</button>"
    "</span>\r\n"
    "</div>\r\n"
    "<div id=\"names\"><div class=\"name\">";
inline constexpr std::string_view kNamesBetween = "</div><div class=\"name\">";
inline constexpr std::string_view kNamesEnd =
    "</div></div>\r\n"
    "</div>\r\n"
    "<div id=\"main\"><div id=\"view\" tabindex=\"0\"><div id=\"spacer\"></div></div>"
    "<div id=\"overview\" title=\"&Uuml;bersicht: Klick springt an die Stelle\">"
    "<canvas></canvas><div id=\"thumb\"></div></div></div>\r\n"
    "<div id=\"hbar\"><div id=\"hinner\"></div></div>\r\n"
    "<noscript><p>Die Zeilen dieses Berichts zeigt sein Skript; bitte JavaScript "
    "erlauben.</p></noscript>\r\n"
    "<script type=\"application/json\" class=\"tandemix-data\">";
// The first data blocks stand here (the rows of the first screens), this between two of
// them.
inline constexpr std::string_view kDataBetween =
    "</script>\r\n"
    "<script type=\"application/json\" class=\"tandemix-data\">";
inline constexpr std::string_view kScriptStart =
    "</script>\r\n"
    "<script>\r\n";
// The script file stands here, then the data blocks of the other rows, each after
// kDataBetween.
inline constexpr std::string_view kPageEnd =
    "</script>\r\n"
    "</body>\r\n"
    "</html>\r\n";

}  // namespace tandemix::single_fragments
