// Takes the README's screenshots under an X server (scripts/screenshots.sh runs it under
// Xvfb): the main window as it opens, and the report viewer showing a comparison. The window
// gets the program's own services; nothing is clicked, so none of them is ever asked.
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include "app/BrowserPane.h"
#include "app/CompareApp.h"
#include "app/CompareDialog.h"
#include "app/MessageBoxes.h"
#include "app/PathSelection.h"
#include "app/StaticLink.h"
#include "app/viewer/ReportViewer.h"
#include "desktop/DesktopLauncher.h"

using namespace tandemix;
using namespace tandemix::app;

namespace {

constexpr int kSettleMs = 1500;

// Runs the event loop until the view has finished loading `count` times, or for `ms`.
void AwaitLoads(QWebEngineView* view, int count, int ms) {
    QEventLoop loop;
    int loads = 0;
    QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&] {
        if (++loads >= count) {
            loop.quit();
        }
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget& window, const QString& path) {
    QEventLoop settle;
    QTimer::singleShot(kSettleMs, &settle, &QEventLoop::quit);
    settle.exec();
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    return shot.save(path, "PNG");
}

int ShootWindow(const QString& input1, const QString& input2, const QString& output) {
    WarningBoxSink messages;
    SilentDebugLog debugLog;
    DesktopLauncher launcher;
    QtPathPickers pickers;
    DesktopUrlOpener opener;
    CredentialsDialogPrompt credentials;
    CertificateQuestionBox certificates;
    CWebBrowser2* pane = nullptr;
    QTemporaryDir outputDirectory;
    QTemporaryDir configDirectory;
    QSettings settings(configDirectory.filePath(QStringLiteral("tandemix.ini")),
                       QSettings::IniFormat);
    WindowServices services{messages,
                            debugLog,
                            launcher,
                            pickers,
                            opener,
                            credentials,
                            certificates,
                            EngineWebCompare(),
                            [&pane](QWidget* parent) {
                                pane = new CWebBrowser2(parent);
                                return pane;
                            },
                            settings,
                            CodePage::Utf8};
    CCompareDlg window(outputDirectory.path().toStdString(), services);
    qobject_cast<QLineEdit*>(window.Control(kIdInput1))->setText(input1);
    qobject_cast<QLineEdit*>(window.Control(kIdInput2))->setText(input2);
    window.show();
    // The start page fails offline, then the bundled page loads.
    AwaitLoads(pane, 2, 25000);
    return Save(window, output) ? 0 : 1;
}

int ShootViewer(const QString& container, const QString& output) {
    DesktopLauncher launcher;
    WarningBoxSink messages;
    ReportViewer viewer(launcher, messages);
    viewer.OpenReport(container);
    // The README's picture shows the viewer filling the screen, as a window manager has it.
    viewer.setGeometry(viewer.screen()->availableGeometry());
    viewer.showMaximized();
    AwaitLoads(viewer.View(), 1, 20000);
    return Save(viewer, output) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    PrepareWebEngine();
    QApplication application(argc, argv);
    SetDialogColours(application);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 5 && arguments.at(1) == QStringLiteral("window")) {
        return ShootWindow(arguments.at(2), arguments.at(3), arguments.at(4));
    }
    if (arguments.size() == 4 && arguments.at(1) == QStringLiteral("viewer")) {
        return ShootViewer(arguments.at(2), arguments.at(3));
    }
    QTextStream(stderr) << "usage: tandemix-screenshots window INPUT1 INPUT2 OUT.png\n"
                        << "       tandemix-screenshots viewer CONTAINER OUT.png\n";
    return 2;
}
