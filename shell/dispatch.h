#pragma once
// The command dispatcher: every menu item, toolbar button, accelerator, popup choice and
// posted gesture arrives here as a command id (resources/command_ids.h). The handlers live in
// shell/commands_*.cpp, split by menu.

namespace pelmora {

struct App;
class MainWindow;

// Runs command `id`. Returns true when the id is one the program knows, false otherwise.
// After a command that can edit a label the document counts as changed (unsaved_changes.h).
// Handlers end by invalidating the label area where the picture changed; work that has to
// follow the current command is posted with MainWindow::postCommand.
bool DispatchCommand(App& app, MainWindow& window, int id);

} // namespace pelmora
