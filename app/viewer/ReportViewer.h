#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QString>
#include <QWebEnginePage>
#include <QWidget>

#include "base/MessageSink.h"
#include "run/Comparison.h"

class QLabel;
class QPushButton;
class QStackedLayout;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace tandemix::app {

class ReportFolderGuard;

// What the viewer says in place of a report whose page process has died: that the report
// is too big when the process ran out of memory, else why it ended.
QString TerminationMessage(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);

// Most of the available screen, centred: the size the viewer opens at when no window
// manager maximises it.
QRect ViewerGeometry(const QRect& available);

// The report viewer: shows a framed report's container page with its three frames, letting
// the local pages script one another as the report's controls need, or a one-file report.
// Its pages load nothing from outside the report's folder; a link the user follows out of
// the report opens in the web browser. When the page's process dies it says so and offers
// the report to the web browser.
class ReportViewer final : public QWidget {
    Q_OBJECT
public:
    // The launcher's browser attempt opens the report in the web browser; the sink takes
    // the message when the report's browser form cannot be written.
    ReportViewer(ContainerLauncher& launcher, MessageSink& messages, QWidget* parent = nullptr);
    ~ReportViewer() override;
    ReportViewer(const ReportViewer&) = delete;
    ReportViewer& operator=(const ReportViewer&) = delete;

    void OpenReport(const QString& path);

    QWebEngineView* View() const { return view_; }
    bool ShowsProblem() const;
    QString ProblemText() const;
    QPushButton* BrowserButton() const { return browserButton_; }

    void OnRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status,
                                   int exitCode);
    void OpenInBrowser();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Hands a link to the web browser when the user just clicked or typed in this window;
    // a script alone cannot send the user's browser anywhere.
    void FollowOutOfReport(const QUrl& url, bool userInitiated);
    void OnNewWindowRequested(QWebEngineNewWindowRequest& request);

    ContainerLauncher& launcher_;
    MessageSink& messages_;
    QString path_;
    QElapsedTimer sinceUserInput_;
    ReportFolderGuard* guard_ = nullptr;
    QWebEngineProfile* profile_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QWidget* problem_ = nullptr;
    QLabel* problemText_ = nullptr;
    QPushButton* browserButton_ = nullptr;
};

}  // namespace tandemix::app
