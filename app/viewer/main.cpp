#include <QApplication>
#include <QString>
#include <cstdio>

#include "app/BrowserPane.h"
#include "app/viewer/ReportViewer.h"

int main(int argc, char** argv) {
    // Checked before Qt starts, so that a wrong call is answered also without a display.
    if (argc != 2) {
        std::fputs("Aufruf: tandemix-viewer DATEI\n", stderr);
        return 2;
    }
    const QString container = QString::fromLocal8Bit(argv[1]);
    tandemix::app::PrepareWebEngine();
    QApplication application(argc, argv);
    tandemix::app::ReportViewer viewer;
    viewer.OpenContainer(container);
    viewer.showMaximized();
    return application.exec();
}
