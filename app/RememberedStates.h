#pragma once

#include <array>
#include <string>

#include "app/DialogControls.h"
#include "base/Side.h"
#include "run/Comparison.h"

namespace tandemix::app {

// The values the window's data exchange reads from its controls and shows in them: the two
// input texts, the five comparison options and Show Line Numbers. They are kept in the form
// of the request the compare command sends, whose defaults are the window's initial values,
// so that the command builds its request by copying them; the fields read from the controls
// themselves (kind, redirects, output form) are set only in that copy.
using RememberedStates = CompareRequest;

// What the "..." buttons open: set by the Files and Folders kinds, kept by Web Pages.
enum class BrowseKind { File, Folder };

// Where each input's folder picker opens, indexed by Index(Side); kept until the program ends.
using RememberedFolders = std::array<std::string, 2>;

// The window's data exchange. Read-back: controls into remembered states.
void ReadBack(const DialogControls& controls, RememberedStates& states);

// Show: remembered states into controls, both input fields and the six option boxes.
void Show(const RememberedStates& states, DialogControls& controls);

}  // namespace tandemix::app
