#include "app/PathSelection.h"

#include <optional>
#include <string>

#include "app/DataExchange.h"

namespace tandemix::app {
namespace {

std::string& InputText(RememberedStates& states, Input input) {
    return input == Input::One ? states.input1 : states.input2;
}

void BrowseForFolder(Input input, BrowseState& state, DialogControls& controls,
                     PathPickers& pickers) {
    std::string& own = state.folders[IndexOf(input)];
    const std::string& other = state.folders[IndexOf(Other(input))];
    if (!other.empty()) {
        own = other;
    }
    const std::optional<std::string> chosen = pickers.PickFolder(own);
    if (!chosen) {
        return;
    }
    InputText(state.states, input) = *chosen;
    own = *chosen;
    Show(state.states, controls);
    std::string& second = state.folders[IndexOf(Input::Two)];
    if (input == Input::One && second.empty()) {
        second = *chosen;
    }
}

void BrowseForFile(Input input, BrowseState& state, DialogControls& controls, PathPickers& pickers,
                   QWidget* owner) {
    const std::optional<std::string> chosen = pickers.PickFile(owner);
    if (!chosen) {
        return;
    }
    ReadBack(controls, state.states);
    InputText(state.states, input) = *chosen;
    Show(state.states, controls);
}

}  // namespace

void BrowseForInput(Input input, BrowseState state, DialogControls& controls, PathPickers& pickers,
                    QWidget* owner) {
    ReadBack(controls, state.states);
    if (state.kind == BrowseKind::Folder) {
        BrowseForFolder(input, state, controls, pickers);
    } else {
        BrowseForFile(input, state, controls, pickers, owner);
    }
}

}  // namespace tandemix::app
