#include "app/ProductAddresses.h"

#ifndef TANDEMIX_HELP_HOST
#define TANDEMIX_HELP_HOST "http://www.tandemix.example.com"
#endif

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

}  // namespace tandemix::app
