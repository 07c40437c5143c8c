#include "app/KindRules.h"

#include <array>

#include "app/DialogControls.h"
#include "app/RememberedStates.h"

namespace tandemix::app {
namespace {

constexpr std::array kOptionBoxes = {
    kIdLineBreakAfterEachTag, kIdCaseSensitive, kIdKeepEmptyLines,
    kIdDeleteAllTags,         kIdIndent,        kIdShowLineNumbers};

enum class Options { Enable, Disable };

void CommonKindStep(Options options, DialogControls& controls, RememberedStates& states) {
    const bool enable = options == Options::Enable;
    for (const int id : kOptionBoxes) {
        controls.SetEnabled(id, enable);
    }
    for (std::string& input : states.inputs) {
        input.clear();
    }
    controls.SetChecked(kIdShowLineNumbers, states.showLineNumbers);
    controls.SetChecked(kIdDeleteAllTags, states.options.deleteAllTags);
    controls.SetChecked(kIdLineBreakAfterEachTag, states.options.breakAfterEachTag);
    if (enable && controls.IsChecked(kIdDeleteAllTags)) {
        controls.SetEnabled(kIdLineBreakAfterEachTag, false);
    }
    Show(states, controls);
}

void LeaveWebPages(DialogControls& controls) {
    controls.SetChecked(kIdFollowRedirects, false);
    controls.SetEnabled(kIdFollowRedirects, false);
    controls.SetEnabled(kIdBrowse1, true);
    controls.SetEnabled(kIdBrowse2, true);
}

}  // namespace

void ApplyKindChange(CompareKind kind, DialogControls& controls, RememberedStates& states,
                     BrowseKind& browseKind) {
    switch (kind) {
        case CompareKind::Files:
            CommonKindStep(Options::Enable, controls, states);
            browseKind = BrowseKind::File;
            LeaveWebPages(controls);
            break;
        case CompareKind::Folders:
            CommonKindStep(Options::Disable, controls, states);
            browseKind = BrowseKind::Folder;
            LeaveWebPages(controls);
            break;
        case CompareKind::WebPages:
            controls.SetChecked(kIdLineBreakAfterEachTag, true);
            states.options.breakAfterEachTag = true;
            controls.SetChecked(kIdFollowRedirects, true);
            controls.SetEnabled(kIdBrowse1, false);
            controls.SetEnabled(kIdBrowse2, false);
            controls.SetEnabled(kIdFollowRedirects, true);
            CommonKindStep(Options::Enable, controls, states);
            break;
    }
}

void ApplyOptionBoxClick(int id, DialogControls& controls, RememberedStates& states) {
    const bool checked = controls.IsChecked(id);
    switch (id) {
        case kIdCaseSensitive:
            states.options.caseSensitive = checked;
            break;
        case kIdIndent:
            states.options.indent = checked;
            break;
        case kIdLineBreakAfterEachTag:
            states.options.breakAfterEachTag = checked;
            break;
        case kIdDeleteAllTags:
            states.options.deleteAllTags = checked;
            controls.SetEnabled(kIdLineBreakAfterEachTag, !checked);
            break;
        case kIdShowLineNumbers:
            states.showLineNumbers = checked;
            break;
        case kIdKeepEmptyLines:
            states.options.keepEmptyLines = checked;
            break;
        default:
            break;
    }
}

void ApplyStartState(DialogControls& controls, BrowseKind& browseKind) {
    controls.SetEnabled(kIdFollowRedirects, false);
    controls.SetChecked(kIdFiles, true);
    browseKind = BrowseKind::File;
    controls.SetChecked(kIdHtml, true);
}

}  // namespace tandemix::app
