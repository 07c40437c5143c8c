#pragma once

#include <QCursor>
#include <functional>

#include "app/CompareAction.h"
#include "app/HelpPane.h"
#include "app/PathPickers.h"
#include "app/UrlOpener.h"
#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "run/CompareCommand.h"
#include "web/CredentialsPrompt.h"

class QWidget;

namespace tandemix::app {

// Makes the lower pane as a widget owned by the parent.
using HelpPaneMaker = std::function<HelpPane*(QWidget* parent)>;

// What the main window uses from outside; the program passes the real ones, tests
// recorders.
struct WindowServices {
    MessageSink& messages;
    DebugLog& debugLog;
    ContainerLauncher& launcher;
    PathPickers& pickers;
    UrlOpener& urlOpener;
    CredentialsPrompt& credentials;
    WebCompare webCompare;
    HelpPaneMaker makePane;
    CodePage codePage = CodePage::None;
    // One hand cursor serves every link control of the process.
    QCursor handCursor{Qt::PointingHandCursor};
};

}  // namespace tandemix::app
