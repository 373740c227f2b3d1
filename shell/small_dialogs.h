#pragma once
// The placement rule every dialog follows and the hint dialog that can be silenced.

#include "platform/core/wintypes.h"
#include "storage/program_settings.h"

#include <string>

class QWidget;

namespace pelmora {

// Places a dialog at its remembered screen position, pulled back to at least 100 pixels inside
// the display's right and bottom edges (the clamped values are stored back). A position with
// a zero coordinate counts as none remembered: the dialog is centred over its parent (over
// the display without one).
void PlaceDialog(QWidget& dialog, POINT& remembered);

// Stores the dialog's top-left corner as its remembered position.
void RememberDialogPosition(const QWidget& dialog, POINT& remembered);

// Asks a yes/no question that the user can silence: 1 for the first button, 0 for the second
// button or the close box. A silenced hint (settings.hiddenHints[index] == 1) answers 0 without
// showing anything. Ticking "&Don't Show This Hint Again" silences it, un-ticking it before
// closing leaves it active. A caption with "Warning" in it shows the warning icon, any other the
// question icon, beside the program's icon. Runs through the modal layer
// (platform/ui/dialogs.h); its widgets are named "hintMessage", "hintSilence", "hintYes",
// "hintNo", "hintIcon" and "hintProgramIcon".
int ShowHint(QWidget* owner, ProgramSettings& settings, const std::string& caption,
             const std::string& message, const std::string& yes, const std::string& no, int index);

} // namespace pelmora
