#include "app/StaticLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

#include "app/QtText.h"

namespace tandemix::app {

bool DesktopUrlOpener::Open(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(FromLocal(address)));
}

CStaticLink::CStaticLink(const QString& caption, UrlOpener& opener, const QCursor& handCursor,
                         QWidget* parent)
    : QLabel(caption, parent), opener_(opener) {
    setCursor(handCursor);
    ApplyLinkLook();
}

QColor CStaticLink::TextColour() const {
    if (!pixmap().isNull()) {
        return {};
    }
    return palette().color(QPalette::WindowText);
}

void CStaticLink::Open() {
    const std::string address = link_.empty() ? ToLocal(text()) : link_;
    if (!opener_.Open(address)) {
        QApplication::beep();
        return;
    }
    visited_ = true;
    ApplyLinkLook();
    emit Opened();
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Open();
    }
    QLabel::mouseReleaseEvent(event);
}

void CStaticLink::ApplyLinkLook() {
    // A picture shown in place of the text keeps the ordinary look.
    if (!pixmap().isNull()) {
        return;
    }
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, visited_ ? VisitedColour() : UnvisitedColour());
    setPalette(colours);
    update();
}

}  // namespace tandemix::app
