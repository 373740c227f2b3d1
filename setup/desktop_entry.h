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

// The entries of an installation in `installFolder`, in writing order: the program, its help,
// the uninstaller and the read-me.
std::vector<MenuEntry> menuEntriesFor(const std::string& productName,
                                      const std::string& installFolder);

// The text of one entry's file.
std::string menuEntryText(const MenuEntry& entry);

} // namespace pelmora
