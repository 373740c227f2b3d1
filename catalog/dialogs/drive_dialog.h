#pragma once
// The Drive Selection dialog: one line per present drive, "X:\" followed by two blanks and the
// folder the letter stands for (just "X:\" for a letter without one), the current drive
// selected.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>
#include <cstdint>

class QComboBox;

namespace pelmora {

class DriveDialog : public QDialog {
public:
    // `drives` has bit 0 for A: .. bit 25 for Z: (GetLogicalDrives).
    DriveDialog(QWidget* owner, char currentDrive, std::uint32_t drives);

    QComboBox* driveList() const { return drives_; }
    // The first character of the selected line; `fallback` when no line is selected.
    char chosenDrive(char fallback) const;

private:
    QComboBox* drives_;
};

// Runs the dialog for catalog.driveLetter, placed at `remembered` (the "DriveWindow" position,
// updated when it closes). OK sets the drive letter from the selected line and returns 1;
// Cancel returns 0 and changes nothing.
int SelectDrive(QWidget* owner, CatalogSettings& catalog, POINT& remembered);

} // namespace pelmora
