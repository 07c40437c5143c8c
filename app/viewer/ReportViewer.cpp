#include "app/viewer/ReportViewer.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <csignal>

#include "app/ProductResources.h"
#include "app/QtText.h"
#include "app/viewer/ReportFolderGuard.h"
#include "app/viewer/ReportPage.h"
#include "report/ResultContainer.h"

namespace tandemix::app {
namespace {

// Chromium ends a page process that runs out of memory on purpose with a trap (SIGTRAP);
// the kernel's out-of-memory killer ends it with SIGKILL.
bool RanOutOfMemory(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
    return (status == QWebEnginePage::CrashedTerminationStatus && exitCode == SIGTRAP) ||
           (status == QWebEnginePage::KilledTerminationStatus && exitCode == SIGKILL);
}

QString SignalName(int signal) {
    switch (signal) {
        case SIGSEGV:
            return QStringLiteral("Speicherzugriffsfehler, ");
        case SIGBUS:
            return QStringLiteral("Busfehler, ");
        case SIGILL:
            return QStringLiteral("ung\u00fcltiger Befehl, ");
        case SIGFPE:
            return QStringLiteral("Rechenfehler, ");
        case SIGABRT:
            return QStringLiteral("abgebrochen, ");
        default:
            return {};
    }
}

bool IsHta(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("hta"), Qt::CaseInsensitive) == 0;
}

// A click or key press this long ago still counts as the user's.
constexpr qint64 kUserInputMs = 1000;

bool IsUserInput(const QEvent& event) {
    return event.type() == QEvent::MouseButtonRelease || event.type() == QEvent::KeyPress;
}

bool BrowserTakes(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto");
}

bool HoldsTheContainer(const QString& path) {
    QFile file(path);
    const std::string_view container = ContainerText();
    return file.open(QIODevice::ReadOnly) &&
           file.readAll() == QByteArray(container.data(), static_cast<qsizetype>(container.size()));
}

}  // namespace

QString TerminationMessage(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
    if (RanOutOfMemory(status, exitCode)) {
        return QStringLiteral("Der Bericht ist zu gro\u00df f\u00fcr die Anzeige");
    }
    switch (status) {
        case QWebEnginePage::CrashedTerminationStatus:
            return QStringLiteral("Die Anzeige des Berichts ist abgest\u00fcrzt (%1Signal %2).")
                .arg(SignalName(exitCode))
                .arg(exitCode);
        case QWebEnginePage::KilledTerminationStatus:
            return QStringLiteral(
                       "Die Anzeige des Berichts wurde von au\u00dfen beendet "
                       "(Signal %1).")
                .arg(exitCode);
        case QWebEnginePage::AbnormalTerminationStatus:
            return QStringLiteral("Die Anzeige des Berichts wurde mit dem Fehlercode %1 beendet.")
                .arg(exitCode);
        case QWebEnginePage::NormalTerminationStatus:
            break;
    }
    return QStringLiteral("Die Anzeige des Berichts wurde beendet.");
}

QRect ViewerGeometry(const QRect& available) {
    QRect geometry(0, 0, available.width() * 9 / 10, available.height() * 9 / 10);
    geometry.moveCenter(available.center());
    return geometry;
}

ReportViewer::ReportViewer(ContainerLauncher& launcher, MessageSink& messages, QWidget* parent)
    : QWidget(parent), launcher_(launcher), messages_(messages) {
    setWindowTitle(FromUtf8(messages::kViewerTitle));
    stack_ = new QStackedLayout(this);
    // A profile of its own, in memory only, so that the guard watches the report's pages
    // and nothing else in the process.
    guard_ = new ReportFolderGuard(this);
    profile_ = new QWebEngineProfile(this);
    profile_->setUrlRequestInterceptor(guard_);
    view_ = new QWebEngineView(this);
    auto* page = new ReportPage(profile_, *guard_, view_);
    view_->setPage(page);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    // The frames of a framed report script one another, which file pages may only with
    // access to file addresses; the guard keeps that access to the report's folder.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    stack_->addWidget(view_);

    problem_ = new QWidget(this);
    auto* layout = new QVBoxLayout(problem_);
    problemText_ = new QLabel(problem_);
    problemText_->setWordWrap(true);
    problemText_->setAlignment(Qt::AlignCenter);
    browserButton_ = new QPushButton(QStringLiteral("Im Webbrowser \u00f6ffnen"), problem_);
    layout->addStretch();
    layout->addWidget(problemText_);
    layout->addWidget(browserButton_, 0, Qt::AlignHCenter);
    layout->addStretch();
    stack_->addWidget(problem_);

    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            &ReportViewer::OnRenderProcessTerminated);
    connect(page, &ReportPage::linkOutOfReport, this,
            [this](const QUrl& url) { FollowOutOfReport(url, false); });
    connect(page, &QWebEnginePage::newWindowRequested, this, &ReportViewer::OnNewWindowRequested);
    QApplication::instance()->installEventFilter(this);
    connect(browserButton_, &QPushButton::clicked, this, &ReportViewer::OpenInBrowser);
    // Without a window manager nothing maximises the window: it takes most of the screen
    // itself.
    if (QScreen* shown = screen()) {
        setGeometry(ViewerGeometry(shown->availableGeometry()));
    }
}

// The page goes before the profile it was made with. The input watch ends first: taking the
// view apart sends events to objects that are half destroyed already.
ReportViewer::~ReportViewer() {
    QApplication::instance()->removeEventFilter(this);
    delete view_;
}

void ReportViewer::OpenReport(const QString& path) {
    path_ = path;
    guard_->SetReport(path);
    stack_->setCurrentWidget(view_);
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    QFile file(path);
    // The engine would show an ".hta" as plain text: the container is handed over as
    // HTML, with its own address, so that the frames load beside it and share its origin.
    // Every other report is loaded by its address, which has no size limit.
    if (!IsHta(path) || !file.open(QIODevice::ReadOnly)) {
        view_->load(url);
        return;
    }
    view_->setContent(file.readAll(), QStringLiteral("text/html"), url);
}

bool ReportViewer::ShowsProblem() const {
    return stack_->currentWidget() == problem_;
}

QString ReportViewer::ProblemText() const {
    return problemText_->text();
}

void ReportViewer::OnRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status,
                                             int exitCode) {
    problemText_->setText(TerminationMessage(status, exitCode));
    stack_->setCurrentWidget(problem_);
}

void ReportViewer::OpenInBrowser() {
    // Browsers do not know ".hta": they get the container's HTML form, written beside it.
    std::string report = ToLocal(path_);
    if (IsHta(path_) && HoldsTheContainer(path_)) {
        const std::string html =
            OutputPath(ToLocal(QFileInfo(path_).absolutePath()), kHtmlContainerName);
        if (!HoldsTheContainer(FromLocal(html)) && !WriteResultContainer(html, messages_)) {
            return;
        }
        report = html;
    }
    if (!launcher_.Launch(LaunchAttempt::BrowserLauncher, report)) {
        QApplication::beep();
    }
}

bool ReportViewer::eventFilter(QObject* watched, QEvent* event) {
    if (IsUserInput(*event) && watched->isWidgetType() &&
        isAncestorOf(static_cast<QWidget*>(watched))) {
        sinceUserInput_.start();
    }
    return QWidget::eventFilter(watched, event);
}

void ReportViewer::FollowOutOfReport(const QUrl& url, bool userInitiated) {
    const bool userActed =
        userInitiated || (sinceUserInput_.isValid() && sinceUserInput_.elapsed() <= kUserInputMs);
    if (userActed && BrowserTakes(url)) {
        sinceUserInput_.invalidate();
        launcher_.Launch(LaunchAttempt::BrowserLauncher,
                         url.toString(QUrl::FullyEncoded).toStdString());
    }
}

// The report's own links ask for a window of their own; the browser is that window.
void ReportViewer::OnNewWindowRequested(QWebEngineNewWindowRequest& request) {
    if (!guard_->Allows(request.requestedUrl())) {
        FollowOutOfReport(request.requestedUrl(), request.isUserInitiated());
    }
}

}  // namespace tandemix::app
