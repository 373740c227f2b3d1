#pragma once
// The folder browser of Setup ("Select Installation Directory"): the current folder, its
// sub-folders ("[..]" first, to go up), the drives, and the free and required space.

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace pelmora {

// The folder above `folder` ("/" stays "/"), and `name` inside `folder`.
std::string parentFolder(const std::string& folder);
std::string childFolder(const std::string& folder, const std::string& name);

// The names of the sub-folders of `folder` (hidden ones too), sorted.
std::vector<std::string> subfolderNames(const std::string& folder);

// Widgets (objectName): "currentFolder", "folderList", "driveList", "freeSpace",
// "requiredSpace", "okButton", "cancelButton".
class FolderBrowser : public QDialog {
public:
    FolderBrowser(QWidget* owner, const std::string& folder, std::uint64_t requiredBytes);

    // The folder chosen; the folder on entry until the user moves.
    const std::string& folder() const { return folder_; }

private:
    void showFolder();
    void chooseDrive(int index);
    void openEntry(QListWidgetItem* item);

    std::string folder_;
    QLabel* current_;
    QListWidget* list_;
    QComboBox* drives_;
    QLabel* free_;
};

} // namespace pelmora
