#pragma once
// The label-text dialog: the text a label shows on its spine (its volume name).

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>
#include <string>

class QLineEdit;

namespace pelmora {

// "Pelmora Label " followed by the label's number when the format has more than one label;
// with a single label the title ends in the blank.
std::string spineTextTitle(const VAROINFO& label, bool numbered);

// Widgets (objectName): "spineTextEdit", "okButton", "cancelButton".
class SpineTextDialog : public QDialog {
public:
    SpineTextDialog(QWidget* owner, VAROINFO& label, bool numbered);

    // Stores the text (at most 63 bytes) as the label's volume name.
    void accept() override;

private:
    VAROINFO& label_;
    QLineEdit* text_;
};

// Runs the dialog at `remembered` (the "LabelWindow" position, updated when it closes).
// Returns 1 for OK, 0 for Cancel (the volume name is unchanged).
int EditSpineText(QWidget* owner, VAROINFO& label, bool numbered, POINT& remembered);

} // namespace pelmora
