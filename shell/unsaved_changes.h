#pragma once
// Whether each label changed since it was last loaded or saved, the "*" the window title
// shows for the current one, and the question asked before a command throws such changes
// away.

namespace pelmora {

struct App;
class MainWindow;

// Label `index` (0..3) was edited; the title shows "*" while it is the current label.
void markLabelChanged(App& app, MainWindow& window, int index);
// The current label was edited (by a command, a mouse edit or a disk read).
void markDocumentChanged(App& app, MainWindow& window);
// The labels match what was loaded or saved (or form a new, empty document): no "*". New and
// Clear All Labels both ask about unsaved changes first and then start such a document.
void markDocumentUnchanged(App& app, MainWindow& window);

// Whether command `id` can edit a label, so that the dispatcher marks it changed afterwards.
// Commands that only show, navigate, print, load or save, change how the next disk is read
// or change program-wide settings are not among them; Read Disk and Read Template File mark
// the label themselves, only when they changed it.
bool commandEditsLabels(int id);

// After command `id` ran: marks the labels it can have edited. Most commands edit the
// current label (`indexBefore` is the one current when the command started, marked too when
// the command moved to another); Duplicate Format and Reset To Defaults edit all four.
void markEditedLabels(App& app, MainWindow& window, int id, int indexBefore);

// What the action asking the question throws away: the current label (New, Open, recent
// files) or all four (Clear All Labels, Exit, closing the window).
enum class DiscardScope { CurrentLabel, AllLabels };

// Asked before a command throws unsaved changes away. One changed label: "Save changes to
// NAME?"; several: the question names each of them. Buttons "&Save", "&Discard" and
// "Cancel". Returns true when the caller may go on: nothing had changed, every changed label
// was saved (through Save As where a label has no file yet), or the user discarded them.
// Returns false on Cancel or Escape, a cancelled Save As, or a save that failed; the caller
// then stops and the labels not yet saved stay as they are, marked changed.
bool confirmDiscardChanges(App& app, MainWindow& window, DiscardScope scope);

} // namespace pelmora
