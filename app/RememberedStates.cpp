#include "app/RememberedStates.h"

namespace tandemix::app {

void ReadBack(const DialogControls& controls, RememberedStates& states) {
    states.input1 = controls.Text(kIdInput1);
    states.input2 = controls.Text(kIdInput2);
    states.caseSensitive = controls.IsChecked(kIdCaseSensitive);
    states.indent = controls.IsChecked(kIdIndent);
    states.deleteAllTags = controls.IsChecked(kIdDeleteAllTags);
    states.lineBreakAfterEachTag = controls.IsChecked(kIdLineBreakAfterEachTag);
    states.showLineNumbers = controls.IsChecked(kIdShowLineNumbers);
    states.keepEmptyLines = controls.IsChecked(kIdKeepEmptyLines);
}

void Show(const RememberedStates& states, DialogControls& controls) {
    controls.SetText(kIdInput1, states.input1);
    controls.SetText(kIdInput2, states.input2);
    controls.SetChecked(kIdCaseSensitive, states.caseSensitive);
    controls.SetChecked(kIdIndent, states.indent);
    controls.SetChecked(kIdDeleteAllTags, states.deleteAllTags);
    controls.SetChecked(kIdLineBreakAfterEachTag, states.lineBreakAfterEachTag);
    controls.SetChecked(kIdShowLineNumbers, states.showLineNumbers);
    controls.SetChecked(kIdKeepEmptyLines, states.keepEmptyLines);
}

}  // namespace tandemix::app
