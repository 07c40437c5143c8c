#pragma once

#include "app/DialogControls.h"
#include "app/PathPickers.h"
#include "app/RememberedStates.h"

class QWidget;

namespace tandemix::app {

struct BrowseState {
    RememberedStates& states;
    RememberedFolders& folders;
    BrowseKind kind = BrowseKind::File;
};

// A click on the "..." button of one input: picks a file or a folder and puts it into
// that input; a folder picker opens where the other input's picker was last confirmed.
void BrowseForInput(Input input, BrowseState state, DialogControls& controls, PathPickers& pickers,
                    QWidget* owner);

}  // namespace tandemix::app
