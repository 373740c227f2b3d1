#pragma once
// The spine initials dialog: the two texts of the disk logo on the spine, written to the
// settings file the moment the user confirms them.

#include "platform/core/wintypes.h"
#include "render/paint_settings.h"

#include <QDialog>
#include <string>

class QLineEdit;

namespace pelmora {

// Widgets (objectName): "initialsEdit", "numberEdit", "okButton", "cancelButton".
class InitialsDialog : public QDialog {
public:
    // `iniPath` is the settings file "Initials" and "Number" are written to.
    InitialsDialog(QWidget* owner, PaintSettings& paint, std::string iniPath);

    // Stores the initials (at most 63 bytes) and the number (at most 7 bytes) and writes
    // both to the settings file; a file that cannot be written is reported.
    void accept() override;

private:
    PaintSettings& paint_;
    std::string iniPath_;
    QLineEdit* initials_;
    QLineEdit* number_;
};

// Runs the dialog at `remembered` (the "InitialsWindow" position, updated when it closes).
// Returns 1 for OK, 0 for Cancel (nothing changed).
int CustomizeInitials(QWidget* owner, PaintSettings& paint, POINT& remembered,
                      const std::string& iniPath);

} // namespace pelmora
