#include "app/AdvancedDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QVBoxLayout>
#include <vector>

#include "app/QtText.h"
#include "document/TextPatterns.h"

namespace tandemix::app {
namespace {

constexpr auto kAlignmentKey = "advanced/alignment";
constexpr auto kFolderContentsKey = "advanced/folderContents";
constexpr auto kReportKey = "advanced/report";
constexpr auto kOutputFolderKey = "advanced/outputFolder";
constexpr auto kExclusionsKey = "advanced/exclusions";
constexpr auto kSpaceChangeKey = "advanced/ignoreSpaceChange";
constexpr auto kAllSpaceKey = "advanced/ignoreAllSpace";
constexpr auto kIgnoredTextKey = "advanced/ignoredText";
constexpr auto kIgnoredLinesKey = "advanced/ignoredLines";

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

// One pattern per line; empty lines are left out.
std::vector<std::string> PatternLines(const QString& text) {
    std::vector<std::string> patterns;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        patterns.push_back(line.toStdString());
    }
    return patterns;
}

QStringList ListOf(const std::vector<std::string>& patterns) {
    QStringList list;
    for (const std::string& pattern : patterns) {
        list.push_back(QString::fromStdString(pattern));
    }
    return list;
}

QString JoinLines(const std::vector<std::string>& patterns) {
    return ListOf(patterns).join(QLatin1Char('\n'));
}

// A pattern that no longer compiles (a hand-edited file) is left out.
std::vector<std::string> LoadPatterns(QSettings& store, const char* key) {
    std::vector<std::string> patterns;
    for (const QString& pattern : store.value(key).toStringList()) {
        if (!TextPatterns::ErrorOf(pattern.toStdString())) {
            patterns.push_back(pattern.toStdString());
        }
    }
    return patterns;
}

QPlainTextEdit* PatternField(const std::vector<std::string>& patterns, QWidget* parent) {
    auto* field = new QPlainTextEdit(JoinLines(patterns), parent);
    field->setTabChangesFocus(true);
    field->setMaximumHeight(parent->fontMetrics().lineSpacing() * 5);
    return field;
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
    settings.ignoreSpaceChange = store.value(kSpaceChangeKey).toString() == QStringLiteral("true");
    settings.ignoreAllSpace = store.value(kAllSpaceKey).toString() == QStringLiteral("true");
    settings.ignoredText = LoadPatterns(store, kIgnoredTextKey);
    settings.ignoredLines = LoadPatterns(store, kIgnoredLinesKey);
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
    store.setValue(kSpaceChangeKey,
                   settings.ignoreSpaceChange ? QStringLiteral("true") : QStringLiteral("false"));
    store.setValue(kAllSpaceKey,
                   settings.ignoreAllSpace ? QStringLiteral("true") : QStringLiteral("false"));
    store.setValue(kIgnoredTextKey, ListOf(settings.ignoredText));
    store.setValue(kIgnoredLinesKey, ListOf(settings.ignoredLines));
    store.sync();
}

void ApplyAdvancedSettings(const AdvancedSettings& settings, CompareRequest& request) {
    request.choices = settings.choices;
    request.options.ignoreSpaceChange = settings.ignoreSpaceChange;
    request.options.ignoreAllSpace = settings.ignoreAllSpace;
    request.options.ignoredText = settings.ignoredText;
    request.options.ignoredLines = settings.ignoredLines;
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

    ignoreSpaceChange_ = new QCheckBox(Text(captions::kIgnoreSpaceChange), this);
    ignoreSpaceChange_->setChecked(settings.ignoreSpaceChange);
    ignoreAllSpace_ = new QCheckBox(Text(captions::kIgnoreAllSpace), this);
    ignoreAllSpace_->setChecked(settings.ignoreAllSpace);
    layout->addWidget(ignoreSpaceChange_);
    layout->addWidget(ignoreAllSpace_);
    layout->addWidget(new QLabel(Text(captions::kIgnoredText), this));
    ignoredText_ = PatternField(settings.ignoredText, this);
    layout->addWidget(ignoredText_);
    layout->addWidget(new QLabel(Text(captions::kIgnoredLines), this));
    ignoredLines_ = PatternField(settings.ignoredLines, this);
    layout->addWidget(ignoredLines_);
    patternProblem_ = new QLabel(this);
    patternProblem_->setWordWrap(true);
    patternProblem_->hide();
    layout->addWidget(patternProblem_);

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
    for (QPlainTextEdit* field : {ignoredText_, ignoredLines_}) {
        connect(field, &QPlainTextEdit::textChanged, this, &AdvancedDialog::CheckPatterns);
    }
    CheckPatterns();
}

void AdvancedDialog::CheckPatterns() {
    for (const QPlainTextEdit* field : {ignoredText_, ignoredLines_}) {
        for (const std::string& pattern : PatternLines(field->toPlainText())) {
            if (const std::optional<std::string> error = TextPatterns::ErrorOf(pattern)) {
                patternProblem_->setText(
                    Text(captions::kInvalidPattern) + QStringLiteral(" \u201E") +
                    QString::fromStdString(pattern) + QStringLiteral("\u201C: ") +
                    QString::fromStdString(*error));
                patternProblem_->show();
                ok_->setEnabled(false);
                return;
            }
        }
    }
    patternProblem_->hide();
    ok_->setEnabled(true);
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
    settings.ignoreSpaceChange = ignoreSpaceChange_->isChecked();
    settings.ignoreAllSpace = ignoreAllSpace_->isChecked();
    settings.ignoredText = PatternLines(ignoredText_->toPlainText());
    settings.ignoredLines = PatternLines(ignoredLines_->toPlainText());
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
