#pragma once

// The numeric identifiers of the main window's controls. Code and tests address controls
// by these numbers; each widget carries its number in the property "controlId".
namespace tandemix::app {

enum ControlId : int {
    kIdCancel = 2,
    kIdInput1 = 1000,
    kIdBrowse1 = 1001,
    kIdInput2 = 1002,
    kIdBrowse2 = 1003,
    kIdCaseSensitive = 1004,
    kIdIndent = 1005,
    kIdCompare = 1006,
    kIdLineBreakAfterEachTag = 1007,
    kIdDeleteAllTags = 1008,
    kIdShowLineNumbers = 1009,
    kIdHelp = 1010,
    kIdAbout = 1011,
    kIdKeepEmptyLines = 1012,
    kIdFollowRedirects = 1014,
    kIdMakerLink = 1017,
    kIdBrowserPane = 1018,
    kIdHta = 1022,
    kIdHtml = 1023,
    kIdCompareLabel = 1026,
    kIdGeneralOptions = 1027,
    kIdHtmlOptions = 1028,
    kIdOutputOptions = 1029,
    kIdFiles = 3001,
    kIdFolders = 3002,
    kIdWebPages = 3003,
    kIdNone = -1,
};

inline constexpr const char* kControlIdProperty = "controlId";

}  // namespace tandemix::app
