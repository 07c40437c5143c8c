#include "app/CompareApp.h"

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QSettings>

#include "app/BrowserPane.h"
#include "app/CompareDialog.h"
#include "app/MessageBoxes.h"
#include "app/PathSelection.h"
#include "app/ProductResources.h"
#include "app/StaticLink.h"
#include "desktop/DesktopLauncher.h"
#include "desktop/OutputDirectory.h"

namespace tandemix::app {

void SetDialogColours(QApplication& application) {
    QPalette colours = application.palette();
    for (const auto role : {QPalette::Window, QPalette::Base}) {
        colours.setColor(role, Qt::white);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text}) {
        colours.setColor(role, Qt::black);
    }
    application.setPalette(colours);
}

int CCompareApp::Run(QApplication& application) {
    LoadResources();
    SetDialogColours(application);
    QIcon icon(QStringLiteral(":/tandemix/tandemix.xpm"));
    icon.addFile(QStringLiteral(":/tandemix/tandemix-small.xpm"));
    application.setWindowIcon(icon);

    WarningBoxSink messages;
    // One output directory for the whole run; without one the start is aborted.
    const std::optional<std::string> outputDirectory =
        FindOutputDirectory(OutputDirectoryEnvironment::FromProcess(), messages);
    if (!outputDirectory) {
        return 1;
    }

    StderrDebugLog debugLog;
    DesktopLauncher launcher;
    QtPathPickers pickers;
    DesktopUrlOpener urlOpener;
    CredentialsDialogPrompt credentials;
    CertificateQuestionBox certificates;
    QSettings settings(QStringLiteral("Tandemix"), QStringLiteral("Tandemix"));
    WindowServices services{messages,
                            debugLog,
                            launcher,
                            pickers,
                            urlOpener,
                            credentials,
                            certificates,
                            EngineWebCompare(),
                            [](QWidget* parent) { return new CWebBrowser2(parent); },
                            settings,
                            CodePageFromLocale()};
    CCompareDlg window(*outputDirectory, services);
    messages.SetParent(&window);
    credentials.SetParent(&window);
    certificates.SetParent(&window);
    window.exec();
    return 0;
}

}  // namespace tandemix::app
