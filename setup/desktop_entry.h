#pragma once
// Desktop entries: the menu entries Setup writes for an installation, and the quoting of a
// path as one word of an entry's Exec line.

#include <string>
#include <vector>

namespace pelmora {

// The label program's document handlers (the resources/desktop entries of the same names),
// which the program writes into the user's applications folder at every start.
constexpr const char* kDocumentHandlerEntries[] = {"pelmora-label.desktop",
                                                   "pelmora-template.desktop"};

// `word` as one argument of an Exec line: as it is when it holds only plain characters,
// else in double quotes with '"', '`', '$' and '\' escaped, and every backslash then
// doubled once more as the key file format asks. A '%' is doubled in both forms.
std::string desktopExecArgument(const std::string& word);

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
