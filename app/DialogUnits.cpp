#include "app/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tandemix::app {

QFont DialogFont(const QString& family) {
    QFont font;
    if (QFontDatabase::families().contains(family)) {
        font.setFamily(family);
    } else {
        font.setStyleHint(QFont::SansSerif);
        font.setFamily(QStringLiteral("Sans Serif"));
    }
    font.setPointSize(8);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 Latin letters, rounded, is the width dialog layouts assume.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageCharWidth_ = std::max(1, (letters / 26 + 1) / 2);
    charHeight_ = std::max(1, metrics.height());
}

int DialogUnits::X(int du) const {
    return static_cast<int>(std::lround(du * averageCharWidth_ / 4.0));
}

int DialogUnits::Y(int du) const {
    return static_cast<int>(std::lround(du * charHeight_ / 8.0));
}

QRect DialogUnits::Rect(const DialogRect& rect) const {
    return {X(rect.x), Y(rect.y), X(rect.width), Y(rect.height)};
}

QSize DialogUnits::Size(int widthDu, int heightDu) const {
    return {X(widthDu), Y(heightDu)};
}

}  // namespace tandemix::app
