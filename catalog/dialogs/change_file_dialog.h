#pragma once
// The Change File dialog: edits one catalog entry in place, its name, its size text (shown as
// "Comment"), its alignment and its size in bytes.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace pelmora {

// Widgets (objectName): "nameEdit", "commentEdit", "alignList", "sizeEdit", "okButton",
// "cancelButton".
class ChangeFileDialog : public QDialog {
public:
    ChangeFileDialog(QWidget* owner, FileEntry& entry);

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* commentEdit() const { return comment_; }
    QComboBox* alignList() const { return align_; }
    QLineEdit* sizeEdit() const { return size_; }

    // Stores the fields into the entry: the name cut to 63 bytes and the size text to 15 (never
    // splitting a UTF-8 sequence), the size unless its box is empty, the alignment unless none
    // is selected.
    void accept() override;

private:
    FileEntry& entry_;
    QLineEdit* name_;
    QLineEdit* comment_;
    QComboBox* align_;
    QLineEdit* size_;
};

// Runs Change File for `entry` at `remembered` (the "ChangeFileWindow" position, updated when
// it closes). Returns 1 for OK, 0 for Cancel (the entry is unchanged).
int ChangeFile(QWidget* owner, FileEntry& entry, POINT& remembered);

} // namespace pelmora
