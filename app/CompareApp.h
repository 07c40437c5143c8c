#pragma once

class QApplication;

namespace tandemix::app {

// White background and black text for every dialog of the application.
void SetDialogColours(QApplication& application);

// The application: sets up the services, fixes the output directory and runs the main
// window modally; the program ends when the window closes.
class CCompareApp {
public:
    int Run(QApplication& application);
};

}  // namespace tandemix::app
