#include "app/PathSelection.h"

#include <fnmatch.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>

#include "app/QtText.h"

namespace tandemix::app {
namespace {

std::string& InputText(RememberedStates& states, Side input) {
    return states.inputs[Index(input)];
}

void BrowseForFolder(Side input, BrowseState& state, DialogControls& controls,
                     PathPickers& pickers) {
    std::string& own = state.folders[Index(input)];
    const std::string& other = state.folders[Index(Other(input))];
    if (!other.empty()) {
        own = other;
    }
    const std::optional<std::string> chosen = pickers.PickFolder(own);
    if (!chosen) {
        return;
    }
    InputText(state.states, input) = *chosen;
    own = *chosen;
    Show(state.states, controls);
    std::string& second = state.folders[Index(Side::Two)];
    if (input == Side::One && second.empty()) {
        second = *chosen;
    }
}

void BrowseForFile(Side input, BrowseState& state, DialogControls& controls, PathPickers& pickers,
                   QWidget* owner) {
    const std::optional<std::string> chosen = pickers.PickFile(owner);
    if (!chosen) {
        return;
    }
    ReadBack(controls, state.states);
    InputText(state.states, input) = *chosen;
    Show(state.states, controls);
}

}  // namespace

QString ShortenForStatus(const QString& path) {
    const auto length = static_cast<qsizetype>(kStatusLength);
    if (path.size() <= length) {
        return path;
    }
    return path.left(length) + QStringLiteral("...");
}

bool FolderHasEntry(const std::string& folder, std::string_view pattern) {
    const std::string glob = pattern == "*.*" ? std::string("*") : std::string(pattern);
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        return false;
    }
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (::fnmatch(glob.c_str(), name.c_str(), 0) == 0) {
            return true;
        }
    }
    return false;
}

FolderPicker::FolderPicker(std::string initialFolder, std::string pattern, QWidget* parent)
    : QDialog(parent), result_(std::move(initialFolder)), pattern_(std::move(pattern)) {
    setWindowTitle(FromUtf8(kFolderPickerTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(FromUtf8(kFolderPickerTitle), this));
    status_ = new QLabel(this);
    layout->addWidget(status_);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    model_->setRootPath(QDir::rootPath());
    tree_ = new QTreeView(this);
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) {
        tree_->hideColumn(column);
    }
    layout->addWidget(tree_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderPicker::OnSelectionChanged);
    resize(360, 420);

    status_->setText(ShortenForStatus(FromLocal(result_)));
    okButton_->setEnabled(false);
    if (!result_.empty()) {
        SelectFolder(result_);
    }
}

std::optional<std::string> FolderPicker::Run() {
    if (exec() != QDialog::Accepted || result_.empty()) {
        return std::nullopt;
    }
    return result_;
}

void FolderPicker::SelectFolder(const std::string& folder) {
    const QModelIndex index = model_->index(FromLocal(folder));
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
    }
}

QString FolderPicker::StatusText() const {
    return status_->text();
}

void FolderPicker::OnSelectionChanged() {
    const QModelIndex current = tree_->currentIndex();
    result_ = current.isValid() ? ToLocal(model_->filePath(current)) : std::string();
    status_->setText(ShortenForStatus(FromLocal(result_)));
    okButton_->setEnabled(!result_.empty() && FolderHasEntry(result_, pattern_));
}

std::optional<std::string> QtPathPickers::PickFile(QWidget* owner) {
    QFileDialog picker(owner);
    picker.setFileMode(QFileDialog::ExistingFile);
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToLocal(picker.selectedFiles().constFirst());
}

std::optional<std::string> QtPathPickers::PickFolder(const std::string& initialFolder) {
    // No owner: the main window stays usable while the folder picker is open.
    FolderPicker picker(initialFolder);
    return picker.Run();
}

std::optional<std::string> QtPathPickers::PickOutputFolder(QWidget* owner,
                                                           const std::string& initialFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner, QString(), FromLocal(initialFolder));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return ToLocal(folder);
}

void BrowseForInput(Side input, BrowseState state, DialogControls& controls, PathPickers& pickers,
                    QWidget* owner) {
    ReadBack(controls, state.states);
    if (state.kind == BrowseKind::Folder) {
        BrowseForFolder(input, state, controls, pickers);
    } else {
        BrowseForFile(input, state, controls, pickers, owner);
    }
}

}  // namespace tandemix::app
