#pragma once
// The label program's state, grouped by owner, and the services the main window offers the
// command handlers.
//
// What the picture shows (format, page, zoom, window scale, view origin) lives in `theView`
// of render/view_state.h and is not repeated here; the logo texts and the border style in
// `thePaintSettings`, the printer in `thePrinter`, the dialog positions, hint flags, recent
// files and print placement in `theProgramSettings`. App refers to those program-wide values
// so that a handler reaches everything through one parameter.

#include "catalog/records.h"
#include "platform/core/wintypes.h"
#include "render/paint_settings.h"
#include "render/printer.h"
#include "render/view_state.h"
#include "storage/document.h"
#include "storage/program_settings.h"

#include <array>
#include <string>
#include <vector>

namespace pelmora {

// What a placed object under edit is; the selected object is always element 0 of the current
// label's `objects`.
enum SelectedKind : int { SELECTED_NONE = 0, SELECTED_IMAGE = 1, SELECTED_STRING = 2 };

enum DragMode : int { DRAG_NONE = 0, DRAG_MOVE = 1, DRAG_RESIZE = 2 };

// A mouse drag of the selected object. The mouse is grabbed exactly while mode is not
// DRAG_NONE.
struct DragState {
    int mode = DRAG_NONE;
    int handle = 0;          // 0..7, the resize handle grabbed
    POINT startLabel{};      // pointer at button-down, label units before the face offset
    POINT grabOffsetLabel{}; // added to the face-relative pointer while dragging
    RECT frameLabel{};       // the inverted frame on screen, label units, face offset included
};

// Which chooser dialog is open, so that its hook knows what it edits.
enum ChooserKind : int {
    CHOOSER_NONE = 0,
    CHOOSER_FILES_FONT,
    CHOOSER_FOLDERS_FONT,
    CHOOSER_COMMENT_FONT,
    CHOOSER_SPINE_FONT,
    CHOOSER_EXTENSION_FONT,
    CHOOSER_STRING_FONT,
    CHOOSER_COLOR,
};

struct ShellState {
    int selectedKind = SELECTED_NONE;
    DragState drag;
    int openChooser = CHOOSER_NONE;
    // Settings are loaded; until then the window paints no label.
    bool initialised = false;
    // The deferred start-up step has run (it runs once).
    bool started = false;
    // A disk is being read on a worker thread; commands sent meanwhile wait in
    // `deferredCommands` and run after it.
    bool readingDisk = false;
    std::vector<int> deferredCommands;
    // The process arguments after the program name, joined by blanks, for the start-up step.
    std::string commandLine;
};

// The command line as the start-up step reads it: the arguments after the program name joined
// by single blanks, so that "-label" and a path with blanks (one argument from a desktop entry)
// give "-label /a b/x.PMB".
inline std::string commandLineOf(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

struct App {
    LabelSet labels;
    CatalogSettings catalog;
    // The file of each label and whether it changed since (indexed like `labels`).
    std::array<DocumentState, 4> documents;
    ShellState shell;

    // Program-wide values owned elsewhere (see the comment at the top).
    ViewState& view = theView;
    PaintSettings& paint = thePaintSettings;
    PrinterIdentity& printer = thePrinter;
    ProgramSettings& settings = theProgramSettings;

    App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    VAROINFO& currentLabel() { return labels.current(); }
    // The current label's file.
    DocumentState& document() {
        return documents[static_cast<std::size_t>(labels.currentLabelIndex)];
    }
};

// Drops the selection: selectedKind becomes SELECTED_NONE. The object stays where it is.
inline void dropSelection(App& app) {
    app.shell.selectedKind = SELECTED_NONE;
}

} // namespace pelmora
