#pragma once

#include <array>
#include <string>

#include "app/DialogControls.h"

namespace tandemix::app {

// The values the window's data exchange reads from its controls and shows in them.
struct RememberedStates {
    std::string input1;
    std::string input2;
    bool caseSensitive = true;
    bool indent = true;
    bool deleteAllTags = false;
    bool lineBreakAfterEachTag = false;
    bool showLineNumbers = true;
    bool keepEmptyLines = false;
};

// What the "..." buttons open: set by the Files and Folders kinds, kept by Web Pages.
enum class BrowseKind { File, Folder };

enum class Input { One, Two };

// Where each input's folder picker opens; kept until the program ends.
using RememberedFolders = std::array<std::string, 2>;

inline std::size_t IndexOf(Input input) {
    return input == Input::One ? 0 : 1;
}

inline Input Other(Input input) {
    return input == Input::One ? Input::Two : Input::One;
}

// The window's data exchange. Read-back: controls into remembered states.
void ReadBack(const DialogControls& controls, RememberedStates& states);

// Show: remembered states into controls, both input fields and the six option boxes.
void Show(const RememberedStates& states, DialogControls& controls);

}  // namespace tandemix::app
