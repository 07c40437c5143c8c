#include "app/AdvancedDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QVBoxLayout>
#include <vector>

#include "app/QtText.h"

namespace tandemix::app {
namespace {

constexpr auto kAlignmentKey = "advanced/alignment";
constexpr auto kFolderContentsKey = "advanced/folderContents";
constexpr auto kReportKey = "advanced/report";
constexpr auto kOutputFolderKey = "advanced/outputFolder";
constexpr auto kExclusionsKey = "advanced/exclusions";

QString Text(std::string_view text) {
    return FromUtf8(text);
}

// Patterns are typed on one line, separated by blanks; a blank inside a name is matched by
// "?" or "[ ]".
std::vector<std::string> SplitPatterns(const QString& text) {
    std::vector<std::string> patterns;
    for (const QString& pattern : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        patterns.push_back(ToLocal(pattern));
    }
    return patterns;
}

QString JoinPatterns(const std::vector<std::string>& patterns) {
    QStringList texts;
    for (const std::string& pattern : patterns) {
        texts.push_back(FromLocal(pattern));
    }
    return texts.join(QLatin1Char(' '));
}

}  // namespace

AdvancedSettings LoadAdvancedSettings(QSettings& store) {
    AdvancedSettings settings;
    if (store.value(kAlignmentKey).toString() == QStringLiteral("minimal")) {
        settings.choices.alignment = Alignment::Minimal;
    }
    if (store.value(kFolderContentsKey).toString() == QStringLiteral("true")) {
        settings.choices.folderComparison = FolderComparison::ByContents;
    }
    if (store.value(kReportKey).toString() == QStringLiteral("single")) {
        settings.choices.reportForm = ReportForm::Single;
    }
    settings.outputFolder = ToLocal(store.value(kOutputFolderKey).toString());
    settings.choices.exclusions = SplitPatterns(store.value(kExclusionsKey).toString());
    return settings;
}

void SaveAdvancedSettings(const AdvancedSettings& settings, QSettings& store) {
    store.setValue(kAlignmentKey, settings.choices.alignment == Alignment::Minimal
                                      ? QStringLiteral("minimal")
                                      : QStringLiteral("greedy"));
    store.setValue(kFolderContentsKey,
                   settings.choices.folderComparison == FolderComparison::ByContents
                       ? QStringLiteral("true")
                       : QStringLiteral("false"));
    store.setValue(kReportKey, settings.choices.reportForm == ReportForm::Single
                                   ? QStringLiteral("single")
                                   : QStringLiteral("framed"));
    store.setValue(kOutputFolderKey, FromLocal(settings.outputFolder));
    store.setValue(kExclusionsKey, JoinPatterns(settings.choices.exclusions));
    store.sync();
}

void ApplyAdvancedSettings(const AdvancedSettings& settings, CompareRequest& request) {
    request.choices = settings.choices;
}

const std::string& OutputDirectoryForRuns(const AdvancedSettings& settings,
                                          const std::string& windowDirectory) {
    return settings.outputFolder.empty() ? windowDirectory : settings.outputFolder;
}

namespace {

std::string InAdvancedDialog(std::string_view caption) {
    return std::string("\xE2\x80\x9E")
        .append(caption)
        .append("\xE2\x80\x9C unter \xE2\x80\x9E")
        .append(captions::kAdvancedButton)
        .append("\xE2\x80\x9C");
}

}  // namespace

WindowChoiceNames::WindowChoiceNames()
    : minimalAlignment(InAdvancedDialog(captions::kMinimalAlignment)),
      folderContents(InAdvancedDialog(captions::kFolderContents)) {}

AdvancedDialog::AdvancedDialog(const AdvancedSettings& settings, PathPickers& pickers,
                               std::string defaultFolder, QWidget* parent)
    : QDialog(parent), pickers_(pickers), defaultFolderPath_(std::move(defaultFolder)) {
    setWindowTitle(Text(captions::kAdvancedTitle));
    auto* layout = new QVBoxLayout(this);
    minimalAlignment_ = new QCheckBox(Text(captions::kMinimalAlignment), this);
    minimalAlignment_->setChecked(settings.choices.alignment == Alignment::Minimal);
    folderContents_ = new QCheckBox(Text(captions::kFolderContents), this);
    folderContents_->setChecked(settings.choices.folderComparison == FolderComparison::ByContents);
    singleReport_ = new QCheckBox(Text(captions::kSingleReport), this);
    singleReport_->setChecked(settings.choices.reportForm == ReportForm::Single);
    for (QCheckBox* box : {minimalAlignment_, folderContents_, singleReport_}) {
        layout->addWidget(box);
    }

    layout->addWidget(new QLabel(Text(captions::kExclusions), this));
    exclusions_ = new QLineEdit(JoinPatterns(settings.choices.exclusions), this);
    layout->addWidget(exclusions_);

    layout->addWidget(new QLabel(Text(captions::kOutputFolder), this));
    auto* folderRow = new QHBoxLayout;
    // Typed, pasted or picked: the field holds the folder.
    folderField_ = new QLineEdit(FromLocal(settings.outputFolder), this);
    folderField_->setPlaceholderText(Text(captions::kDefaultFolder));
    folderField_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    pickFolder_ = new QPushButton(Text(captions::kPickFolder), this);
    defaultFolder_ = new QPushButton(Text(captions::kDefaultFolder), this);
    folderRow->addWidget(folderField_, 1);
    folderRow->addWidget(pickFolder_);
    folderRow->addWidget(defaultFolder_);
    layout->addLayout(folderRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    cancel_->setText(Text(captions::kCancel));
    layout->addWidget(buttons);
    // Only OK is a default button: Enter anywhere in the dialog confirms it.
    for (QPushButton* button : {pickFolder_, defaultFolder_, cancel_}) {
        button->setAutoDefault(false);
    }
    ok_->setDefault(true);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pickFolder_, &QPushButton::clicked, this, &AdvancedDialog::OnPickFolder);
    connect(defaultFolder_, &QPushButton::clicked, folderField_, &QLineEdit::clear);
}

AdvancedSettings AdvancedDialog::Settings() const {
    AdvancedSettings settings;
    settings.choices.alignment =
        minimalAlignment_->isChecked() ? Alignment::Minimal : Alignment::Greedy;
    settings.choices.folderComparison =
        folderContents_->isChecked() ? FolderComparison::ByContents : FolderComparison::ByTime;
    settings.choices.reportForm =
        singleReport_->isChecked() ? ReportForm::Single : ReportForm::Framed;
    settings.choices.exclusions = SplitPatterns(exclusions_->text());
    // Spaces around a pasted path are taken for a slip, not for part of a folder's name.
    settings.outputFolder = ToLocal(folderField_->text().trimmed());
    return settings;
}

void AdvancedDialog::OnPickFolder() {
    const std::string typed = Settings().outputFolder;
    const std::string& start = typed.empty() ? defaultFolderPath_ : typed;
    if (const std::optional<std::string> chosen = pickers_.PickOutputFolder(this, start)) {
        folderField_->setText(FromLocal(*chosen));
    }
}

}  // namespace tandemix::app
