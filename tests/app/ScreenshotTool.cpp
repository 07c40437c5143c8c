// Takes the README's screenshots under an X server (scripts/screenshots.sh runs it under
// Xvfb): the main window as it opens, and the report viewer showing a comparison.
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include "Recorders.h"
#include "app/BrowserPane.h"
#include "app/CompareApp.h"
#include "app/CompareDialog.h"
#include "app/viewer/ReportViewer.h"

using namespace tandemix;
using namespace tandemix::app;

namespace {

constexpr int kSettleMs = 1500;

bool Save(QWidget& window, const QString& path) {
    QTest::qWait(kSettleMs);
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    return shot.save(path, "PNG");
}

int ShootWindow(const QString& input1, const QString& input2, const QString& output) {
    test::RecordingSink messages;
    SilentDebugLog debugLog;
    test::RecordingLauncher launcher;
    test::ScriptedPickers pickers;
    test::RecordingOpener opener;
    CancellingPrompt credentials;
    test::RecordingCertificateQuestion certificates;
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
    QSignalSpy loaded(pane, &QWebEngineView::loadFinished);
    // The start page fails offline, then the bundled page loads.
    loaded.wait(20000);
    loaded.wait(5000);
    return Save(window, output) ? 0 : 1;
}

int ShootViewer(const QString& container, const QString& output) {
    test::RecordingLauncher launcher;
    test::RecordingSink messages;
    ReportViewer viewer(launcher, messages);
    viewer.OpenReport(container);
    // The README's picture shows the viewer filling the screen, as a window manager has it.
    viewer.setGeometry(viewer.screen()->availableGeometry());
    viewer.showMaximized();
    QSignalSpy loaded(viewer.View(), &QWebEngineView::loadFinished);
    loaded.wait(20000);
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
