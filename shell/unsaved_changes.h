#pragma once
// Whether the labels changed since they were last loaded or saved, the "*" the window title
// shows for it, and the question asked before a command throws such changes away.

namespace pelmora {

struct App;
class MainWindow;

// The labels were edited (by a command, a mouse edit or a disk read): the title shows "*".
void markDocumentChanged(App& app, MainWindow& window);
// The labels match what was loaded or saved (or form a new, empty document): no "*". New and
// Clear All Labels both ask about unsaved changes first and then start such a document.
void markDocumentUnchanged(App& app, MainWindow& window);

// Whether command `id` can edit a label, so that the dispatcher marks the document changed
// after it. Commands that only show, navigate, print, load or save, change how the next disk
// is read or change program-wide settings are not among them; Read Disk and Read Template
// File mark the document themselves, only when they changed the label.
bool commandEditsLabels(int id);

// Asked before a command throws unsaved changes away: "Save changes to NAME?" with "&Save",
// "&Discard" and "Cancel". Returns true when the caller may go on: nothing had changed, the
// labels were saved (through Save As when there is no file yet), or the user discarded them.
// Returns false on Cancel or Escape, a cancelled Save As, or a save that failed; the caller
// then stops and the labels stay as they are.
bool confirmDiscardChanges(App& app, MainWindow& window);

} // namespace pelmora
