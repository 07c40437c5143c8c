#include "app/RememberedStates.h"

namespace tandemix::app {

void ReadBack(const DialogControls& controls, RememberedStates& states) {
    states.inputs[0] = controls.Text(kIdInput1);
    states.inputs[1] = controls.Text(kIdInput2);
    states.options.caseSensitive = controls.IsChecked(kIdCaseSensitive);
    states.options.indent = controls.IsChecked(kIdIndent);
    states.options.deleteAllTags = controls.IsChecked(kIdDeleteAllTags);
    states.options.breakAfterEachTag = controls.IsChecked(kIdLineBreakAfterEachTag);
    states.showLineNumbers = controls.IsChecked(kIdShowLineNumbers);
    states.options.keepEmptyLines = controls.IsChecked(kIdKeepEmptyLines);
}

void Show(const RememberedStates& states, DialogControls& controls) {
    controls.SetText(kIdInput1, states.inputs[0]);
    controls.SetText(kIdInput2, states.inputs[1]);
    controls.SetChecked(kIdCaseSensitive, states.options.caseSensitive);
    controls.SetChecked(kIdIndent, states.options.indent);
    controls.SetChecked(kIdDeleteAllTags, states.options.deleteAllTags);
    controls.SetChecked(kIdLineBreakAfterEachTag, states.options.breakAfterEachTag);
    controls.SetChecked(kIdShowLineNumbers, states.showLineNumbers);
    controls.SetChecked(kIdKeepEmptyLines, states.options.keepEmptyLines);
}

}  // namespace tandemix::app
