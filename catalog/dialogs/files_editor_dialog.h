#pragma once
// The Files and Folders Editor: the current label's catalog tree as a tree list, edited on a
// deep copy. Entries can be opened and closed, moved up and down within their folder, deleted,
// added and changed (Change File); OK hands the copy's entries to the label, Cancel drops the
// copy and the label stays exactly as it was.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>
#include <memory>

namespace pelmora {

class TreeList;

// Widgets (objectName): "entryList", "moveUpButton", "moveDownButton", "addNewButton",
// "deleteButton", "changeButton", "okButton", "cancelButton".
class FilesEditorDialog : public QDialog {
public:
    // Copies `label`'s tree (copyTree); when the copy cannot be allocated the program ends
    // with "Can't allocate duplicate VAROINFO, exiting Tessarin". Change File runs at
    // `changeFilePosition` ("ChangeFileWindow").
    FilesEditorDialog(QWidget* owner, const VAROINFO& label, POINT& changeFilePosition);
    ~FilesEditorDialog() override;

    TreeList* list() const { return list_; }
    // The copy under edit.
    VAROINFO& copy() { return *copy_; }

    // Enter, Space or a double-click on a line: an entry with a child opens or closes, any
    // other entry gets Change File.
    void activate(int row);
    // The buttons, each on the selected line (Add New also on an empty list).
    void deleteSelected();
    void moveUp();
    void moveDown();
    void addNew();
    void change();

    // Hands the edited copy over (after OK).
    std::unique_ptr<VAROINFO> takeCopy() { return std::move(copy_); }

private:
    void changeFile(int row);

    std::unique_ptr<VAROINFO> copy_;
    POINT& changeFilePosition_;
    TreeList* list_;
};

// Runs the editor on `label` at `remembered` (the "SubdirWindow" position, shared with
// Subdirectory Selection; updated when it closes). OK: the label's old tree is released, the
// label takes the edited entries in the order the user gave, its layout is marked stale and
// fileCount and folderCount are counted anew; returns 1. Cancel returns 0 and leaves the label
// untouched.
int EditFilesAndFolders(QWidget* owner, VAROINFO& label, POINT& remembered,
                        POINT& changeFilePosition);

} // namespace pelmora
