#pragma once
// The Comment Entry dialog: a label's comment with its macros, and a Sample line showing what
// the label will print.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace pelmora {

// Widgets (objectName): "commentEdit", "sampleText", the macro buttons "shortDateButton",
// "longDateButton", "spaceFreeButton", "spaceUsedButton", "filesButton", "foldersButton",
// "percentFreeButton", "percentUsedButton", the group "macroGroup", and "okButton",
// "cancelButton", "defaultButton".
class CommentDialog : public QDialog {
public:
    CommentDialog(QWidget* owner, VAROINFO& label);

    // Stores the edited comment (at most 255 bytes) into the label.
    void accept() override;

private:
    void showSample();
    void insertMacro(const char* macro);

    VAROINFO& label_;
    QLineEdit* comment_;
    QLabel* sample_;
};

// Runs the dialog for the label's comment at `remembered` (the "CommentWindow" position,
// updated when it closes). Returns 1 for OK, 0 for Cancel (the comment is unchanged).
int EditComment(QWidget* owner, VAROINFO& label, POINT& remembered);

} // namespace pelmora
