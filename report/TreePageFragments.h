#pragma once

#include <string_view>

// The fixed markup of the one-file report of two folders, in page order. Its head begins as
// the one-file page's (SinglePageFragments.h) does; the selected file is shown in a frame
// that holds the one-file page of that file.
namespace tandemix::tree_fragments {

// The style sheet stands here.
inline constexpr std::string_view kBodyStart =
    "</style>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<div id=\"top\">\r\n"
    "<div class=\"bar\"><b id=\"result\">Ergebnis: ";
// The number of differing entries stands here.
inline constexpr std::string_view kControls =
    "</b> <span id=\"summary\"></span></div>\r\n"
    "<div class=\"bar\">"
    "<span class=\"group\"><label>Zeigen: <select id=\"filter\">"
    "<option value=\"differences\" selected>nur Unterschiede</option>"
    "<option value=\"all\">alle Eintr&auml;ge</option>"
    "</select></label> "
    "<label for=\"namefilter\">Name:</label> "
    "<input type=\"search\" id=\"namefilter\" size=\"20\" autocomplete=\"off\" "
    "spellcheck=\"false\"></span>\r\n"
    "<span class=\"group\">"
    "<button type=\"button\" id=\"prevfile\" title=\"Vorige Datei (Umschalt+P)\">"
    "&#9650; Vorige Datei</button>"
    "<span id=\"fileposition\"></span>"
    "<button type=\"button\" id=\"nextfile\" title=\"N&auml;chste Datei (Umschalt+N)\">"
    "&#9660; N&auml;chste Datei</button></span>\r\n"
    "</div>\r\n"
    "<div id=\"tops\"><div class=\"name\">";
inline constexpr std::string_view kTopsBetween = "</div><div class=\"name\">";
inline constexpr std::string_view kTopsEnd =
    "</div></div>\r\n"
    "</div>\r\n"
    "<div id=\"main\"><div id=\"tree\" tabindex=\"0\" role=\"listbox\" "
    "aria-label=\"Eintr&auml;ge\"><div id=\"treespacer\"></div></div>"
    "<div id=\"viewer\"><div id=\"notice\"></div></div></div>\r\n"
    "<noscript><p>Die Eintr&auml;ge dieses Berichts zeigt sein Skript; bitte JavaScript "
    "erlauben.</p></noscript>\r\n"
    "<script type=\"application/json\" id=\"tandemix-viewer\">";
// The one-file page around a file's data, as JSON, stands here; then each shown file's data
// blocks, each one opened by kFileStart, the file's number and kFileStartEnd.
inline constexpr std::string_view kFileStart =
    "</script>\r\n"
    "<script type=\"application/json\" class=\"tandemix-file\" data-file=\"";
inline constexpr std::string_view kFileStartEnd = "\">";
// The entries, as JSON, stand after this.
inline constexpr std::string_view kEntriesStart =
    "</script>\r\n"
    "<script type=\"application/json\" id=\"tandemix-tree\">";
inline constexpr std::string_view kScriptStart =
    "</script>\r\n"
    "<script>\r\n";
// The script stands here.
inline constexpr std::string_view kPageEnd =
    "</script>\r\n"
    "</body>\r\n"
    "</html>\r\n";

}  // namespace tandemix::tree_fragments
