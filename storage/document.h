#pragma once
// Open, Save, Save As and the recent files, below their dialogs. The main window asks for
// the dialog's set-up, shows the dialog itself and hands the chosen path back here; these
// functions then keep the document name, the current file path, the remembered folder
// ("LabelPath") and the recent-file list in step and read or write the label file.
//
// Paths use '/' between folders.

#include "catalog/records.h"
#include "storage/label_file.h"
#include "storage/program_settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

constexpr const char* kDefaultDocumentName = "default";

struct DocumentState {
    // The file the current label was last loaded from or saved to. The file dialogs use it
    // as their name buffer, so a cancelled dialog leaves its initial name here.
    std::string currentFilePath;
    // Shown in the window title.
    std::string documentName = kDefaultDocumentName;
    // An Open or Save As dialog was shown during this run; until then Save asks for a name.
    bool fileDialogShown = false;
    // The labels were edited since they were last loaded or saved: the title shows "*" and
    // throwing them away asks first.
    bool changed = false;
};

struct FileFilter {
    std::string description;
    std::string pattern;
};

// What the main window needs to show an open or save dialog.
struct FileDialogRequest {
    std::string title;
    std::vector<FileFilter> filters; // the first one is selected
    std::string initialFolder;       // may be empty: the dialog's own choice
    std::string initialName;
    bool save = false; // save dialog with an overwrite prompt, else the file must exist
};

// The rule for names chosen in the save dialog: ".PMB" is appended unless "PMB" occurs
// anywhere in the path, folders included, in any case.
std::string withLabelFileExtension(std::string_view path);

// The name after the last '/', then without the last '.' and what follows it.
std::string documentNameFromPath(std::string_view path);
// The name after the last '/', extension kept.
std::string fileNameOfPath(std::string_view path);
// Everything up to and including the last '/', empty without one.
std::string folderOfPath(std::string_view path);

// A load that read a file only in part: reading stopped early, or placed objects it could
// not read were left out. Saving what was read over the file would lose the rest.
bool isDamagedLoad(const LabelFileLoad& load);

// Caption and text of the warning shown for a damaged load of `path`.
constexpr const char* kDamagedFileCaption = "Damaged Label File";
std::string damagedFileWarning(const std::string& path, const LabelFileLoad& load);

// Open: the dialog's set-up. The current file path becomes the dialog's empty initial name.
FileDialogRequest beginOpen(DocumentState& document, const ProgramSettings& settings);

// Open, once the dialog returned `path`: document name, current file path, "LabelPath" and
// the recent list follow the path, then the label is cleared and loaded. Shows "Error
// Loading Body" (caption "Disk Error") when the file cannot be opened or its version is
// refused. A damaged file (see isDamagedLoad) keeps what was read, shows the damage warning
// and leaves the document "default" without a file path, so only a name the user chooses
// can replace the damaged original. The caller refreshes the title and the menus either way.
LabelFileLoad finishOpen(DocumentState& document, ProgramSettings& settings, VAROINFO& label,
                         const std::string& path);

// Save As: the dialog's set-up, initial name the document name ("default.PMB" when empty).
FileDialogRequest beginSaveAs(DocumentState& document, const ProgramSettings& settings);

// Save As, once the dialog returned `path`: ".PMB" is added by the rule above, document
// name, current file path, "LabelPath" and the recent list follow the final path, and the
// label is written there. Shows "Error Saving Body" on failure; the old file stays.
bool finishSaveAs(DocumentState& document, ProgramSettings& settings, const VAROINFO& label,
                  const std::string& path);

// Save: true when it has to go through Save As (no current file yet, or no file dialog
// shown during this run).
bool saveNeedsDialog(const DocumentState& document);
// Save without a dialog: rewrites the current file.
bool saveCurrentFile(const DocumentState& document, const VAROINFO& label);

enum class RecentOpenResult { EmptyEntry, Loaded, Failed };

// Recent file `k` (1..5): the entry's path becomes the current file path and its name as Open
// names it (documentNameFromPath) the document name; "LabelPath" stays. The file is loaded as by
// Open (a damaged one likewise leaves the document "default" without a path), then the path moves
// to the front of the recent list, also when loading failed. An empty entry (or k out of
// range) does nothing.
RecentOpenResult openRecentFile(DocumentState& document, ProgramSettings& settings, VAROINFO& label,
                                int k);

} // namespace pelmora
