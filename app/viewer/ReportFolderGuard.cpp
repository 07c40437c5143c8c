#include "app/viewer/ReportFolderGuard.h"

#include <QFileInfo>

namespace tandemix::app {

void ReportFolderGuard::SetReport(const QString& reportPath) {
    folder_ = QFileInfo(QFileInfo(reportPath).absolutePath()).canonicalFilePath();
}

bool ReportFolderGuard::Allows(const QUrl& url) const {
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("about") || scheme == QLatin1String("data") ||
        scheme == QLatin1String("blob")) {
        return true;
    }
    if (!url.isLocalFile() || folder_.isEmpty()) {
        return false;
    }
    // A link inside the folder may point anywhere: the file it names decides.
    const QFileInfo file(QFileInfo(url.toLocalFile()).canonicalFilePath());
    return file.isFile() && file.path() == folder_;
}

void ReportFolderGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!Allows(info.requestUrl())) {
        info.block(true);
    }
}

}  // namespace tandemix::app
