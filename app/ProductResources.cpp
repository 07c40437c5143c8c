#include "app/ProductResources.h"

#include <QtCore/qglobal.h>

#ifndef TANDEMIX_HELP_HOST
#define TANDEMIX_HELP_HOST "http://www.tandemix.example.com"
#endif

// Qt's resource macro names a function in the global namespace.
static void RegisterTandemixResources() {
    Q_INIT_RESOURCE(tandemix);
}

namespace tandemix::app {

std::string HelpHost() {
    return TANDEMIX_HELP_HOST;
}

std::string StartPageAddress() {
    return HelpHost() + "/hilfe/start.php?version=" + std::string(kVersionText);
}

std::string HelpPageAddress() {
    return HelpHost() + "/hilfe/help.php";
}

void LoadResources() {
    static const bool registered = [] {
        RegisterTandemixResources();
        return true;
    }();
    (void)registered;
}

}  // namespace tandemix::app
