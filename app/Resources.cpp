#include "app/Resources.h"

#include <QtCore/qglobal.h>

// Qt's resource macro names a function in the global namespace.
static void RegisterTandemixResources() {
    Q_INIT_RESOURCE(tandemix);
}

namespace tandemix::app {

void LoadResources() {
    static const bool registered = [] {
        RegisterTandemixResources();
        return true;
    }();
    (void)registered;
}

}  // namespace tandemix::app
