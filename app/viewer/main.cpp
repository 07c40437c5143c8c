#include <QApplication>
#include <QString>
#include <cstdio>

#include "app/BrowserPane.h"
#include "app/MessageBoxes.h"
#include "app/viewer/ReportViewer.h"
#include "desktop/DesktopLauncher.h"

int main(int argc, char** argv) {
    // Checked before Qt starts, so that a wrong call is answered also without a display.
    if (argc != 2) {
        std::fputs("Aufruf: tandemix-viewer DATEI\n", stderr);
        return 2;
    }
    const QString report = QString::fromLocal8Bit(argv[1]);
    tandemix::app::PrepareWebEngine();
    QApplication application(argc, argv);
    tandemix::DesktopLauncher launcher;
    tandemix::app::WarningBoxSink messages;
    tandemix::app::ReportViewer viewer(launcher, messages);
    messages.SetParent(&viewer);
    viewer.OpenReport(report);
    viewer.showMaximized();
    return application.exec();
}
