#include "app/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/QtText.h"

namespace tandemix::app {

bool DesktopUrlOpener::Open(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(FromLocal(address)));
}

}  // namespace tandemix::app
