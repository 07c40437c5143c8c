#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

namespace tandemix::app {

// Keeps a report's pages to the folder of the report the viewer opened: its frames and its
// container load from there, nothing from elsewhere on the disk or from the network. A page
// from a mail or a download is opened just like a report, so its scripts must not be able
// to read the user's files or send anything away.
class ReportFolderGuard final : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void SetReport(const QString& reportPath);

    // A file directly in the report's folder (links resolved), or an address that never
    // leaves the page (about:, data:, blob:).
    bool Allows(const QUrl& url) const;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    QString folder_;  // canonical; empty until a report is opened
};

}  // namespace tandemix::app
