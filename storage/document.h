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

// The file of one label. A label file holds one label, so each of the four labels has its
// own: Save writes a label to the file it came from, never to another label's.
struct DocumentState {
    // The file the label was last loaded from or saved to. The file dialogs use it as their
    // name buffer, so a cancelled dialog leaves its initial name here.
    std::string currentFilePath;
    // Shown in the window title.
    std::string documentName = kDefaultDocumentName;
    // An Open or Save As dialog was shown for this label during this run; until then Save
    // asks for a name.
    bool fileDialogShown = false;
    // The label was edited since it was last loaded or saved: the title shows "*" and
    // throwing it away asks first.
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

// Open, once the dialog returned `path`: the label is cleared and loaded; when the file is a
// label, document name, current file path, "LabelPath" and the recent list follow the path.
// Shows "Error Loading Body" (caption "Disk Error") when the file cannot be opened or is no
// label this program reads (a picture, a newer version, a file past the reader's cap); the
// document is then "default" without a file path and the recent list stays as it was, so
// the next Save asks for a name instead of writing over that file. A damaged file (see
// isDamagedLoad) keeps what was read, shows the damage warning and likewise leaves the
// document "default" without a file path, so only a name the user chooses can replace the
// damaged original. The caller refreshes the title and the menus either way.
LabelFileLoad finishOpen(DocumentState& document, ProgramSettings& settings, VAROINFO& label,
                         const std::string& path);

// Save As: the dialog's set-up, initial name the document name ("default.PMB" when empty).
FileDialogRequest beginSaveAs(DocumentState& document, const ProgramSettings& settings);

// Whether the name written for `chosen` (".PMB" added by the rule above) is another name
// that already exists: the save dialog only asked about the name the user typed, so the
// program must ask about this one itself.
bool appendedNameExists(const std::string& chosen);

// Save As, once the dialog returned `path`: ".PMB" is added by the rule above and the label
// is written there; only then do document name, current file path, "LabelPath" and the
// recent list follow the final path. Shows "Error Saving Body" with the system's reason on
// failure; the old file stays, and the document keeps the name and file it had.
bool finishSaveAs(DocumentState& document, ProgramSettings& settings, const VAROINFO& label,
                  const std::string& path);

// Save: true when it has to go through Save As (no current file yet, or no file dialog
// shown during this run).
bool saveNeedsDialog(const DocumentState& document);
// Save without a dialog: rewrites the current file.
bool saveCurrentFile(const DocumentState& document, const VAROINFO& label);

enum class RecentOpenResult { EmptyEntry, Loaded, Failed };

// Recent file `k` (1..5): the file is loaded as by Open; when it is a label, its path
// becomes the current file path, its name as Open names it (documentNameFromPath) the document name, and the
// path moves to the front of the recent list. "LabelPath" stays. A file that is no label (or
// cannot be read) leaves the document "default" without a path and the list as it was, as a
// damaged one leaves it without a path. An empty entry (or k out of range) does nothing.
RecentOpenResult openRecentFile(DocumentState& document, ProgramSettings& settings, VAROINFO& label,
                                int k);

} // namespace pelmora
