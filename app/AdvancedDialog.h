#pragma once

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "app/PathSelection.h"
#include "run/Comparison.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;

namespace tandemix::app {

// The settings behind the window's "Erweitert…" button. Unlike the window's remembered
// states they are kept between starts; their defaults give the comparison of the main
// window as it always was.
struct AdvancedSettings {
    RunChoices choices;
    std::string outputFolder;  // empty: the output directory fixed when the window opened
    // Matching rules: the blank rules of -b and -w, patterns of text that does not count and
    // of lines that are left out of the comparison.
    bool ignoreSpaceChange = false;
    bool ignoreAllSpace = false;
    std::vector<std::string> ignoredText;
    std::vector<std::string> ignoredLines;

    bool operator==(const AdvancedSettings&) const = default;
};

// Values the store does not know (an older or a hand-edited file) read as the defaults.
AdvancedSettings LoadAdvancedSettings(QSettings& store);
void SaveAdvancedSettings(const AdvancedSettings& settings, QSettings& store);

// The request fields the settings decide.
void ApplyAdvancedSettings(const AdvancedSettings& settings, CompareRequest& request);

// Where the runs write: the chosen folder, else the window's output directory.
const std::string& OutputDirectoryForRuns(const AdvancedSettings& settings,
                                          const std::string& windowDirectory);

namespace captions {

inline constexpr std::string_view kAdvancedTitle = "Erweiterte Einstellungen";
inline constexpr std::string_view kMinimalAlignment =
    "Genaue Zeilenzuordnung (k\xC3\xBCrzeste \xC3\x84nderungsliste)";
inline constexpr std::string_view kFolderContents = "Verzeichnisse nach Inhalt vergleichen";
inline constexpr std::string_view kSingleReport = "Bericht als eine Datei (Tandemix-Bericht.html)";
inline constexpr std::string_view kExclusions =
    "Auslassen (Namensmuster wie .git oder *.pyc, durch Leerzeichen getrennt):";
inline constexpr std::string_view kIgnoreSpaceChange =
    "Mehrere Leerzeichen wie eines z\xC3\xA4hlen, am Zeilenende wie keines";
inline constexpr std::string_view kIgnoreAllSpace = "Leerzeichen und Tabulatoren nicht beachten";
inline constexpr std::string_view kIgnoredText =
    "Text nicht beachten, auf den einer dieser Ausdr\xC3\xBC"
    "cke passt (RE2, einer je Zeile):";
inline constexpr std::string_view kIgnoredLines =
    "Zeilen nicht vergleichen, auf die einer dieser Ausdr\xC3\xBC"
    "cke passt (RE2, einer je Zeile):";
inline constexpr std::string_view kInvalidPattern = "Ung\xC3\xBCltiges Muster";
inline constexpr std::string_view kOutputFolder = "Ausgabe-Verzeichnis:";
inline constexpr std::string_view kDefaultFolder = "Standard";
inline constexpr std::string_view kPickFolder = "\xE2\x80\xA6";
inline constexpr std::string_view kCancel = "Abbrechen";
// The main window's button that opens the dialog.
inline constexpr std::string_view kAdvancedButton = "Erweitert\xE2\x80\xA6";

}  // namespace captions

// How the run's hints name the dialog's choices: the check box's caption and where it is.
struct WindowChoiceNames {
    WindowChoiceNames();
    ChoiceNames View() const { return {minimalAlignment, folderContents}; }

    std::string minimalAlignment;
    std::string folderContents;
};

// A small modal dialog over the settings: three check boxes, the exclusion patterns, the
// matching rules (two check boxes and two lists of patterns, checked as they are typed: OK
// waits until all compile) and the output folder, a field that takes a typed or pasted path (empty
// shows "Standard") with a button to pick one and one to go back to the standard folder.
class AdvancedDialog final : public QDialog {
    Q_OBJECT
public:
    AdvancedDialog(const AdvancedSettings& settings, PathPickers& pickers,
                   std::string defaultFolder, QWidget* parent = nullptr);

    // The settings as the dialog shows them now.
    AdvancedSettings Settings() const;

    QCheckBox* MinimalAlignmentBox() const { return minimalAlignment_; }
    QCheckBox* FolderContentsBox() const { return folderContents_; }
    QCheckBox* SingleReportBox() const { return singleReport_; }
    QLineEdit* ExclusionsField() const { return exclusions_; }
    QCheckBox* IgnoreSpaceChangeBox() const { return ignoreSpaceChange_; }
    QCheckBox* IgnoreAllSpaceBox() const { return ignoreAllSpace_; }
    QPlainTextEdit* IgnoredTextField() const { return ignoredText_; }
    QPlainTextEdit* IgnoredLinesField() const { return ignoredLines_; }
    // Names the first pattern that does not compile and why; hidden while all do.
    QLabel* PatternProblemLabel() const { return patternProblem_; }
    QLineEdit* FolderField() const { return folderField_; }
    QPushButton* PickFolderButton() const { return pickFolder_; }
    QPushButton* DefaultFolderButton() const { return defaultFolder_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void OnPickFolder();
    void CheckPatterns();

    PathPickers& pickers_;
    std::string defaultFolderPath_;
    QCheckBox* minimalAlignment_ = nullptr;
    QCheckBox* folderContents_ = nullptr;
    QCheckBox* singleReport_ = nullptr;
    QLineEdit* exclusions_ = nullptr;
    QCheckBox* ignoreSpaceChange_ = nullptr;
    QCheckBox* ignoreAllSpace_ = nullptr;
    QPlainTextEdit* ignoredText_ = nullptr;
    QPlainTextEdit* ignoredLines_ = nullptr;
    QLabel* patternProblem_ = nullptr;
    QLineEdit* folderField_ = nullptr;
    QPushButton* pickFolder_ = nullptr;
    QPushButton* defaultFolder_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tandemix::app
