#include "app/CompareDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>

#include "app/AboutDialog.h"
#include "app/PathSelection.h"
#include "app/ProductResources.h"
#include "app/QtText.h"
#include "app/RememberedStates.h"
#include "app/StaticLink.h"

namespace tandemix::app {

CCompareDlg::CCompareDlg(std::string outputDirectory, WindowServices services, QWidget* parent)
    : QDialog(parent),
      outputDirectory_(std::move(outputDirectory)),
      services_(std::move(services)),
      advanced_(LoadAdvancedSettings(services_.settings)) {
    LoadResources();
    setWindowTitle(QStringLiteral("Tandemix - Compare Files, Folders And Web Pages"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont(QStringLiteral("Tahoma")));
    const DialogUnits units(font());
    setFixedSize(units.Size(kMainWindowWidthDu, kMainWindowHeightDu));
    controls_ = std::make_unique<ControlWidgets>(
        *this, units, [this](const ControlEntry& control, QWidget* owner) {
            return MakeCustomWidget(control, owner);
        });
    WidenMakerLink();
    ConnectHandlers();
    Open();
    // After the German captions are in and the link has its width.
    FitCaptions(*this);
}

void CCompareDlg::WidenMakerLink() {
    // The address is longer than its box in dialog units; the link keeps its right edge and grows
    // to the left, so that it is shown whole.
    QWidget* link = Control(kIdMakerLink);
    const int needed = link->sizeHint().width();
    if (needed > link->width()) {
        QRect area = link->geometry();
        area.setLeft(std::max(0, area.right() + 1 - needed));
        link->setGeometry(area);
    }
}

CCompareDlg::~CCompareDlg() = default;

QWidget* CCompareDlg::MakeCustomWidget(const ControlEntry& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::Link:
            return new CStaticLink(FromUtf8(control.resourceCaption), services_.urlOpener,
                                   services_.handCursor, parent);
        case ControlKind::Browser:
            pane_ = services_.makePane(parent);
            return pane_->Widget();
        case ControlKind::Picture: {
            auto* logo = new QLabel(parent);
            logo->setPixmap(QPixmap(QStringLiteral(":/tandemix/logo.xpm")));
            return logo;
        }
        default:
            return nullptr;
    }
}

void CCompareDlg::ConnectHandlers() {
    const auto button = [this](int id) { return qobject_cast<QAbstractButton*>(Control(id)); };
    const std::pair<int, CompareKind> kinds[] = {{kIdFiles, CompareKind::Files},
                                                 {kIdFolders, CompareKind::Folders},
                                                 {kIdWebPages, CompareKind::WebPages}};
    for (const auto& [id, kind] : kinds) {
        connect(button(id), &QAbstractButton::clicked, this,
                [this, kind] { ApplyKindChange(kind, *controls_, states_, browseKind_); });
    }
    for (const int id : {kIdCaseSensitive, kIdIndent, kIdLineBreakAfterEachTag, kIdDeleteAllTags,
                         kIdShowLineNumbers, kIdKeepEmptyLines}) {
        connect(button(id), &QAbstractButton::clicked, this,
                [this, id] { ApplyOptionBoxClick(id, *controls_, states_); });
    }
    connect(button(kIdCompare), &QAbstractButton::clicked, this, &CCompareDlg::OnCompare);
    connect(button(kIdBrowse1), &QAbstractButton::clicked, this, [this] { OnBrowse(Side::One); });
    connect(button(kIdBrowse2), &QAbstractButton::clicked, this, [this] { OnBrowse(Side::Two); });
    connect(button(kIdHelp), &QAbstractButton::clicked, this, &CCompareDlg::OnHelp);
    connect(button(kIdAbout), &QAbstractButton::clicked, this, &CCompareDlg::OnAbout);
    connect(button(kIdAdvanced), &QAbstractButton::clicked, this, &CCompareDlg::OnAdvanced);
    connect(button(kIdCancel), &QAbstractButton::clicked, this, &QDialog::reject);

    // Linux has no system menu to extend: the window's own context menu carries the entry.
    auto* about = new QAction(FromUtf8(messages::kAboutTitle), this);
    connect(about, &QAction::triggered, this, &CCompareDlg::OnAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CCompareDlg::Open() {
    setWindowTitle(FromUtf8(messages::kWindowTitle));
    controls_->SetGermanCaptions();
    Show(states_, *controls_);
    pane_->Navigate(StartPageAddress());
    ApplyStartState(*controls_, browseKind_);
}

void CCompareDlg::OnCompare() {
    ReadBack(*controls_, states_);
    const CompareRequest request = RequestFromWindow(states_, *controls_, advanced_);
    const RunContext context{OutputDirectoryForRuns(advanced_, outputDirectory_),
                             services_.codePage, services_.messages, services_.debugLog};
    const CompareOutcome outcome =
        RunCompareAction(request, {context, services_.launcher, services_.credentials,
                                   services_.certificates, services_.webCompare});
    // Error pages, what a listing left out and hints, in one box after the report is on its
    // way.
    std::string notes;
    for (const std::string& note : OutcomeNotes(outcome, WindowChoiceNames().View())) {
        notes.append(notes.empty() ? "" : "\n").append(note);
    }
    if (!notes.empty()) {
        services_.messages.Inform(notes);
    }
}

void CCompareDlg::OnBrowse(Side input) {
    BrowseForInput(input, {states_, folders_, browseKind_}, *controls_, services_.pickers, this);
}

void CCompareDlg::OnHelp() {
    pane_->Navigate(HelpPageAddress());
}

void CCompareDlg::OnAbout() {
    CAboutDlg about(services_.urlOpener, services_.handCursor, this);
    about.exec();
}

void CCompareDlg::OnAdvanced() {
    AdvancedDialog dialog(advanced_, services_.pickers, outputDirectory_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    advanced_ = dialog.Settings();
    SaveAdvancedSettings(advanced_, services_.settings);
}

}  // namespace tandemix::app
