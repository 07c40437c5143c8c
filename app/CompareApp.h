#pragma once

#include <optional>
#include <string>

#include "base/MessageSink.h"
#include "desktop/OutputDirectory.h"

class QApplication;

namespace tandemix::app {

// The output directory for the whole run of the program, or nothing after the message
// why no folder could be used (the start is then aborted).
std::optional<std::string> FixOutputDirectory(const OutputDirectoryEnvironment& environment,
                                              MessageSink& messages);

// White background and black text for every dialog of the application.
void SetDialogColours(QApplication& application);

// The application: sets up the services, fixes the output directory and runs the main
// window modally; the program ends when the window closes.
class CCompareApp {
public:
    int Run(QApplication& application);
};

}  // namespace tandemix::app
