#include "app/PathPickers.h"

#include <QFileDialog>

#include "app/FolderPicker.h"
#include "app/QtText.h"

namespace tandemix::app {

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

}  // namespace tandemix::app
