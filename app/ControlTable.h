#pragma once

#include <span>
#include <string_view>

#include "app/ControlIds.h"

namespace tandemix::app {

enum class ControlKind {
    Label,
    RadioButton,
    CheckBox,
    Edit,
    PushButton,
    DefaultButton,
    GroupFrame,
    Link,
    Browser,
    Picture
};

enum class TabStop { Yes, No };

// A rectangle in dialog units: the font-independent measure of the window's layout.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlEntry {
    int id = kIdNone;
    ControlKind kind = ControlKind::Label;
    DialogRect rect;
    std::string_view resourceCaption;  // English; "&" marks the mnemonic
    std::string_view germanCaption;    // UTF-8; empty keeps the resource caption
    TabStop tabStop = TabStop::No;
};

// The main window's controls in tab order.
std::span<const ControlEntry> MainWindowControls();

// The window's client size in dialog units.
inline constexpr int kMainWindowWidthDu = 384;
inline constexpr int kMainWindowHeightDu = 278;

}  // namespace tandemix::app
