#include <QApplication>

#include "app/CompareApp.h"
#include "app/WebEngineSetup.h"

int main(int argc, char** argv) {
    tandemix::app::PrepareWebEngine();
    // The program reads no command line: Qt gets the program name only.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication application(qtArgc, argv);
    tandemix::app::CCompareApp compareApp;
    return compareApp.Run(application);
}
