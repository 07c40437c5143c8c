#pragma once

#include <QCoreApplication>

namespace tandemix::app {

// Must run before the application object exists: the web engine shares OpenGL contexts
// with the widgets.
inline void PrepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace tandemix::app
