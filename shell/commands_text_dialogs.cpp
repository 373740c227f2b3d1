// The small text dialogs: Exclude/Include, Comment Entry, the spine text, the spine initials
// and About.

#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace pelmora {

void cmdExcludeInclude(App&, MainWindow&, int) {}

void cmdEditComment(App&, MainWindow&, int) {}

void cmdEditSpineText(App&, MainWindow&, int) {}

void cmdCustomizeInitials(App&, MainWindow&, int) {}

void cmdAbout(App&, MainWindow&, int) {}

} // namespace pelmora
