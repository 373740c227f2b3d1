#pragma once
// Desktop entries: the menu entries Setup writes for an installation.

#include "platform/core/desktop_exec.h"

#include <string>
#include <vector>

namespace pelmora {

// The label program's document handlers (the resources/desktop entries of the same names),
// which the program writes into the user's applications folder at every start.
constexpr const char* kDocumentHandlerEntries[] = {"pelmora-label.desktop",
                                                   "pelmora-template.desktop"};

struct MenuEntry {
    std::string name;    // the entry's name in the menu and its file name
    std::string target;  // the installed file it starts or shows
    std::string command; // the Exec line
    std::string icon;    // an icon theme name
};

// The caption of the warning given when entries cannot name the install folder.
constexpr const char* kMenuEntriesCaption = "Menu Entries";

// The entries of an installation in `installFolder`, in writing order: the program, its help,
// the uninstaller and the read-me. An entry whose command cannot name its file (a line break
// or another control character in the folder, bytes that are not UTF-8) is left out, with a
// warning (caption kMenuEntriesCaption): written, it would add lines the desktop runs.
std::vector<MenuEntry> menuEntriesFor(const std::string& productName,
                                      const std::string& installFolder);

// The text of one entry's file, every value escaped as the desktop entry format asks.
std::string menuEntryText(const MenuEntry& entry);

} // namespace pelmora
