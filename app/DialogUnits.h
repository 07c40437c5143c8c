#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "app/ControlTable.h"

namespace tandemix::app {

// The dialog font: the named family where the system has it, else a sans font, 8 points.
QFont DialogFont(const QString& family);

// Converts dialog units to pixels with the metrics of a dialog font: a horizontal unit is
// a quarter of the font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int charHeight)
        : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

    int X(int du) const;
    int Y(int du) const;
    QRect Rect(const DialogRect& rect) const;
    QSize Size(int widthDu, int heightDu) const;

private:
    int averageCharWidth_ = 1;
    int charHeight_ = 1;
};

}  // namespace tandemix::app
