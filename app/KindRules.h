#pragma once

#include "app/DialogControls.h"
#include "app/RememberedStates.h"

namespace tandemix::app {

enum class CompareKind { Files, Folders, WebPages };

// A click on a kind button, also on the one already chosen: sets the option boxes'
// enabling, empties both inputs and shows the remembered states.
void ApplyKindChange(CompareKind kind, DialogControls& controls, RememberedStates& states,
                     BrowseKind& browseKind);

// A click on one of the six option boxes: its remembered state follows the box, and
// Delete All HTML Tags switches Line Brake After Each Tag off while it is checked.
void ApplyOptionBoxClick(int id, DialogControls& controls, RememberedStates& states);

// The control states the window starts with, after the remembered states were shown.
void ApplyStartState(DialogControls& controls, BrowseKind& browseKind);

}  // namespace tandemix::app
