#include "app/viewer/ReportPage.h"

#include "app/viewer/ReportFolderGuard.h"

namespace tandemix::app {

ReportPage::ReportPage(QWebEngineProfile* profile, const ReportFolderGuard& guard, QObject* parent)
    : QWebEnginePage(profile, parent), guard_(guard) {}

bool ReportPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (guard_.Allows(url) || (isMainFrame && type == NavigationTypeTyped)) {
        return true;
    }
    if (isMainFrame && type == NavigationTypeLinkClicked) {
        emit linkOutOfReport(url);
    }
    return false;
}

}  // namespace tandemix::app
