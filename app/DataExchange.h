#pragma once

#include "app/DialogControls.h"
#include "app/RememberedStates.h"

namespace tandemix::app {

// Controls into remembered states.
void ReadBack(const DialogControls& controls, RememberedStates& states);

// Remembered states into controls: both input fields and the six option boxes.
void Show(const RememberedStates& states, DialogControls& controls);

}  // namespace tandemix::app
