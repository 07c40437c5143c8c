#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>

#include "app/DialogControls.h"
#include "app/RememberedStates.h"

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

// The "..." buttons beside the inputs: the pickers they open and what a choice changes.
namespace tandemix::app {

// The two pickers behind the "..." buttons; tests replace them by scripted answers.
class PathPickers {
public:
    virtual ~PathPickers() = default;
    // An existing file chosen in a picker owned by the window; nothing when cancelled.
    virtual std::optional<std::string> PickFile(QWidget* owner) = 0;
    // A folder chosen in the window's own folder picker, opened at the initial folder.
    virtual std::optional<std::string> PickFolder(const std::string& initialFolder) = 0;
    // A folder for the reports, in the desktop's folder picker owned by the given window; an
    // empty folder is a fine choice here.
    virtual std::optional<std::string> PickOutputFolder(QWidget* owner,
                                                        const std::string& initialFolder) = 0;
};

// The pickers the user sees.
class QtPathPickers final : public PathPickers {
public:
    std::optional<std::string> PickFile(QWidget* owner) override;
    std::optional<std::string> PickFolder(const std::string& initialFolder) override;
    std::optional<std::string> PickOutputFolder(QWidget* owner,
                                                const std::string& initialFolder) override;
};

// The status line shows at most this many characters of the selected path, then "...".
inline constexpr std::size_t kStatusLength = 35;
inline constexpr std::string_view kFolderPickerTitle = "Current Selection";

// Characters, not bytes, so that a path in UTF-8 is never cut inside a character.
QString ShortenForStatus(const QString& path);

// True when the folder holds at least one entry matching the pattern; "*.*" matches every
// name, as users of the pattern expect. "." and ".." do not count.
bool FolderHasEntry(const std::string& folder, std::string_view pattern = "*.*");

// The window's own folder picker: a folder tree, a status line with the selected path and
// an OK button that accepts only folders with at least one entry.
class FolderPicker final : public QDialog {
    Q_OBJECT
public:
    explicit FolderPicker(std::string initialFolder, std::string pattern = "*.*",
                          QWidget* parent = nullptr);

    // Runs the picker modally; the chosen folder, or nothing when cancelled.
    std::optional<std::string> Run();

    void SelectFolder(const std::string& folder);
    std::string Result() const { return result_; }
    QString StatusText() const;
    QPushButton* OkButton() const { return okButton_; }

private:
    void OnSelectionChanged();

    std::string result_;
    std::string pattern_;
    QFileSystemModel* model_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

struct BrowseState {
    RememberedStates& states;
    RememberedFolders& folders;
    BrowseKind kind = BrowseKind::File;
};

// A click on the "..." button of one input: picks a file or a folder and puts it into
// that input; a folder picker opens where the other input's picker was last confirmed.
void BrowseForInput(Side input, BrowseState state, DialogControls& controls, PathPickers& pickers,
                    QWidget* owner);

}  // namespace tandemix::app
