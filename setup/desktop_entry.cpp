#include "setup/desktop_entry.h"

#include "platform/core/ascii.h"
#include "platform/core/desktop_exec.h"
#include "platform/core/message.h"
#include "setup/installation.h"

#include <iterator>

namespace pelmora {

namespace {

// A line break in the product name would end the Name line early; a control character or
// bytes that are not UTF-8 cannot be a name at all.
bool canBeWritten(const MenuEntry& entry) {
    return !entry.command.empty() && desktopEntryCanHold(entry.name) &&
           desktopEntryCanHold(entry.target) && desktopEntryCanHold(entry.icon);
}

std::string stringValue(const std::string& text) {
    return desktopStringValue(text).value_or(std::string());
}

} // namespace

std::vector<MenuEntry> menuEntriesFor(const std::string& productName,
                                      const std::string& installFolder) {
    const auto inFolder = [&](const std::string& name) {
        return desktopExecArgument(installFolder + "/" + name);
    };
    std::string programIcon;
    for (char c : productName) {
        programIcon += asciiLower(c);
    }
    const std::string readme = inFolder(kReadmeName);
    const MenuEntry all[] = {
        {productName, productName, inFolder(productName), programIcon},
        {productName + " Help", kHelpSupportName, inFolder(kHelpSupportName), "help-browser"},
        {"Uninstall " + productName, kUninstallerName, inFolder(kUninstallerName), "edit-delete"},
        {"Read Me", kReadmeName, readme.empty() ? readme : "xdg-open " + readme, "text-x-generic"},
    };
    std::vector<MenuEntry> entries;
    for (const MenuEntry& entry : all) {
        if (canBeWritten(entry)) {
            entries.push_back(entry);
        }
    }
    if (entries.size() < std::size(all)) {
        reportMessage(nullptr,
                      "The menu entries were not written: a desktop entry cannot name the folder "
                      "\"" +
                          desktopRefusedPathShown(installFolder) + "\".",
                      kMenuEntriesCaption, MB_ICONWARNING);
    }
    return entries;
}

std::string menuEntryText(const MenuEntry& entry) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           stringValue(entry.name) +
           "\n"
           "Comment=" +
           stringValue("Shortcut to " + entry.target) +
           "\n"
           "Exec=" +
           entry.command +
           "\n"
           "Icon=" +
           stringValue(entry.icon) +
           "\n"
           "Terminal=false\n"
           "Categories=Utility;\n";
}

} // namespace pelmora
