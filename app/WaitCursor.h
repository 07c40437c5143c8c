#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace tandemix::app {

// Shows the wait cursor for the lifetime of the object, so that every way out of a
// command, an exception included, ends it.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace tandemix::app
