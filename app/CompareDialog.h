#pragma once

#include <QCursor>
#include <QDialog>
#include <QSettings>
#include <functional>
#include <memory>
#include <string>

#include "app/AdvancedDialog.h"
#include "app/BrowserPane.h"
#include "app/CompareAction.h"
#include "app/DialogControls.h"
#include "app/KindRules.h"
#include "app/PathSelection.h"
#include "app/RememberedStates.h"
#include "app/StaticLink.h"
#include "base/CodePage.h"
#include "base/DebugLog.h"
#include "base/MessageSink.h"
#include "run/Comparison.h"
#include "web/CredentialsPrompt.h"

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
    CertificateQuestion& certificates;
    WebCompare webCompare;
    HelpPaneMaker makePane;
    // Where the advanced settings are kept between starts.
    QSettings& settings;
    CodePage codePage = CodePage::None;
    // One hand cursor serves every link control of the process.
    QCursor handCursor{Qt::PointingHandCursor};
};

// The main window: inputs, kind, options, output form, the commands and the help pane.
// The rules live in small pieces beside it; this class wires them to the widgets.
class CCompareDlg final : public QDialog {
    Q_OBJECT
public:
    CCompareDlg(std::string outputDirectory, WindowServices services, QWidget* parent = nullptr);
    ~CCompareDlg() override;

    QWidget* Control(int id) const { return controls_->Widget(id); }
    DialogControls& Controls() { return *controls_; }
    const RememberedStates& States() const { return states_; }
    const RememberedFolders& Folders() const { return folders_; }
    const AdvancedSettings& Advanced() const { return advanced_; }
    BrowseKind CurrentBrowseKind() const { return browseKind_; }
    const std::string& OutputDirectory() const { return outputDirectory_; }

    void OnCompare();
    void OnBrowse(Side input);
    void OnHelp();
    void OnAbout();
    void OnAdvanced();

private:
    QWidget* MakeCustomWidget(const ControlEntry& control, QWidget* parent);
    void Open();
    void ConnectHandlers();
    void WidenMakerLink();

    std::string outputDirectory_;
    WindowServices services_;
    RememberedStates states_;
    RememberedFolders folders_;
    AdvancedSettings advanced_;
    BrowseKind browseKind_ = BrowseKind::File;
    HelpPane* pane_ = nullptr;  // owned by the window as a child widget
    std::unique_ptr<ControlWidgets> controls_;
};

}  // namespace tandemix::app
