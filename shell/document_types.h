#pragma once
// The label program's two document types on the desktop, written at every start: a
// shared-mime-info package for "*.PMB" (label) and "*.PMT" (template), desktop entries that
// start the program with "-label %f" (and a Print action with "-printlabel %f") or
// "-template %f", and the two document icons. Files that already hold the right text are left
// alone, so a second start changes nothing; the desktop's caches are refreshed only after a
// change, with whichever of update-mime-database and update-desktop-database exist.

#include <string>

namespace pelmora {

constexpr const char* kLabelMimeType = "application/x-pelmora-label";
constexpr const char* kTemplateMimeType = "application/x-pelmora-template";
// The caption of the warning given when the program folder cannot be named in an entry.
constexpr const char* kDocumentTypesCaption = "Document Types";

// The folder the entries start the program from: "InstallPath" of section "Install" in
// Pelmora.ini, else the folder of the running program.
std::string documentTypesProgramFolder();

// "$XDG_DATA_HOME", else "~/.local/share".
std::string userDataFolder();

// The text of each file, for the program in `programFolder`; an entry's text is empty when
// its Exec line cannot name that folder (a line break or a control character in it, bytes
// that are not UTF-8).
std::string mimePackageText();
std::string labelDesktopEntryText(const std::string& programFolder);
std::string templateDesktopEntryText(const std::string& programFolder);

// Writes what differs below `dataFolder`; returns how many files were written (0 on a start
// that found everything in place). Nothing is written without a program folder; the two
// entries are not written, with a warning (caption kDocumentTypesCaption), when they cannot
// name the program folder.
int RecordDocumentTypes(const std::string& dataFolder, const std::string& programFolder);

} // namespace pelmora
