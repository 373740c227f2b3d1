#pragma once
// The main window's accelerator table: keys that reach the dispatcher as commands before any
// other key handling, whichever control has the focus.

#include <QKeySequence>
#include <span>

namespace pelmora {

struct Accelerator {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers; // Ctrl where the key needs it, else none
    // A character entry matches the typed character whatever produced it: "+" is Shift+= on
    // one keyboard, a key of its own on another, and also the keypad's "+".
    bool character;
    int command;
};

// The table in its own order.
std::span<const Accelerator> acceleratorTable();

// The command a key press triggers, or 0. Shift, Ctrl and Alt must be exactly the entry's
// (Shift is ignored for character entries); the keypad flag is ignored, and the keypad's Enter
// counts as Enter.
int translateAccelerator(int key, Qt::KeyboardModifiers modifiers);

// The entry as a key sequence, for showing it next to a menu item or in a tooltip.
QKeySequence keySequence(const Accelerator& accelerator);

} // namespace pelmora
