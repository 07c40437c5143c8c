#include "app/ControlTable.h"

#include <array>

#include "app/ProductAddresses.h"

namespace tandemix::app {
namespace {

using K = ControlKind;

constexpr std::array kControls = {
    ControlEntry{kIdCompareLabel, K::Label, {6, 8, 40, 8}, "Compare", "Vergleiche"},
    ControlEntry{kIdFiles, K::RadioButton, {45, 8, 38, 10}, "&Files", "Dateien", TabStop::Yes},
    ControlEntry{
        kIdFolders, K::RadioButton, {89, 8, 53, 10}, "Folde&rs", "Verzeichnisse", TabStop::Yes},
    ControlEntry{kIdWebPages,
                 K::RadioButton,
                 {148, 8, 61, 10},
                 "&Web Pages",
                 "Internet-Seiten",
                 TabStop::Yes},
    ControlEntry{kIdFollowRedirects,
                 K::CheckBox,
                 {219, 8, 85, 10},
                 "Follow A&uto-Redirects",
                 "Redirects folgen",
                 TabStop::Yes},
    ControlEntry{kIdInput1, K::Edit, {14, 21, 344, 12}, "", "", TabStop::Yes},
    ControlEntry{kIdBrowse1, K::PushButton, {362, 21, 15, 12}, "...", "", TabStop::Yes},
    ControlEntry{kIdInput2, K::Edit, {14, 39, 344, 12}, "", "", TabStop::Yes},
    ControlEntry{kIdBrowse2, K::PushButton, {362, 39, 15, 12}, "...", "", TabStop::Yes},
    ControlEntry{kIdAbout, K::PushButton, {138, 58, 56, 14}, "&About", "Info", TabStop::Yes},
    ControlEntry{kIdHelp, K::PushButton, {199, 58, 56, 14}, "&Help", "Hilfe", TabStop::Yes},
    ControlEntry{kIdCancel, K::PushButton, {260, 58, 56, 14}, "&Close", "Beenden", TabStop::Yes},
    ControlEntry{
        kIdCompare, K::DefaultButton, {321, 58, 56, 14}, "C&ompare", "Vergleichen", TabStop::Yes},
    ControlEntry{kIdShowLineNumbers,
                 K::CheckBox,
                 {13, 71, 90, 10},
                 "&Show Line Numbers",
                 "Zeilennummer anzeigen",
                 TabStop::Yes},
    ControlEntry{kIdCaseSensitive,
                 K::CheckBox,
                 {13, 83, 115, 11},
                 "Cas&e Sensitive",
                 "Gro\xC3\x9F-/Kleinschreibung beachten",
                 TabStop::Yes},
    ControlEntry{kIdIndent,
                 K::CheckBox,
                 {13, 96, 61, 11},
                 "&Indent",
                 "Einr\xC3\xBC"
                 "cken",
                 TabStop::Yes},
    ControlEntry{kIdKeepEmptyLines,
                 K::CheckBox,
                 {13, 109, 96, 11},
                 "&Keep Empty Lines",
                 "Leere Zeilen erhalten",
                 TabStop::Yes},
    ControlEntry{kIdLineBreakAfterEachTag,
                 K::CheckBox,
                 {146, 92, 113, 10},
                 "&Line Brake After Each Tag",
                 "Zeilenumbruch nach jedem Tag",
                 TabStop::Yes},
    ControlEntry{kIdDeleteAllTags,
                 K::CheckBox,
                 {146, 105, 86, 10},
                 "&Delete All HTML Tags",
                 "Alle Tags l\xC3\xB6schen",
                 TabStop::Yes},
    ControlEntry{kIdHta, K::RadioButton, {284, 92, 29, 10}, "H&TA", ""},
    ControlEntry{kIdHtml, K::RadioButton, {284, 106, 33, 10}, "HT&ML", ""},
    ControlEntry{kIdGeneralOptions, K::GroupFrame, {6, 57, 125, 70}, "General Options", "Optionen"},
    ControlEntry{
        kIdHtmlOptions, K::GroupFrame, {138, 76, 123, 51}, "HTML Options", "HTML Optionen"},
    ControlEntry{kIdNone, K::Label, {5, 23, 8, 8}, "1:", ""},
    ControlEntry{kIdNone, K::Label, {5, 41, 8, 8}, "2:", ""},
    ControlEntry{kIdMakerLink, K::Link, {310, 5, 66, 12}, kMakerAddress, ""},
    ControlEntry{kIdBrowserPane, K::Browser, {5, 131, 374, 142}, "", ""},
    ControlEntry{kIdNone, K::Picture, {310, 3, 67, 16}, "", ""},
    ControlEntry{
        kIdOutputOptions, K::GroupFrame, {272, 76, 105, 51}, "Output Options", "Ausgabe-Optionen"},
};

}  // namespace

std::span<const ControlEntry> MainWindowControls() {
    return kControls;
}

}  // namespace tandemix::app
