#include <QApplication>

#include "app/BrowserPane.h"
#include "app/CompareApp.h"

int main(int argc, char** argv) {
    tandemix::app::PrepareWebEngine();
    // The program reads no command line: Qt gets the program name only.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication application(qtArgc, argv);
    tandemix::app::CCompareApp compareApp;
    return compareApp.Run(application);
}
