#pragma once

#include <QUrl>
#include <QWebEnginePage>

class QWebEngineProfile;

namespace tandemix::app {

class ReportFolderGuard;

// The page of the report viewer: it moves only within the report's folder (and to what the
// viewer itself loads); a link out of the report is offered to the viewer instead.
class ReportPage final : public QWebEnginePage {
    Q_OBJECT
public:
    ReportPage(QWebEngineProfile* profile, const ReportFolderGuard& guard, QObject* parent);

signals:
    // A link in the main frame that leads out of the report; the page stays where it is.
    void linkOutOfReport(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    const ReportFolderGuard& guard_;
};

}  // namespace tandemix::app
