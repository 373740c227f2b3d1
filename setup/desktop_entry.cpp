#include "setup/desktop_entry.h"

#include "platform/core/ascii.h"
#include "platform/core/desktop_exec.h"
#include "setup/installation.h"

namespace pelmora {

std::vector<MenuEntry> menuEntriesFor(const std::string& productName,
                                      const std::string& installFolder) {
    const auto inFolder = [&](const std::string& name) {
        return desktopExecArgument(installFolder + "/" + name);
    };
    std::string programIcon;
    for (char c : productName) {
        programIcon += asciiLower(c);
    }
    return {
        {productName, productName, inFolder(productName), programIcon},
        {productName + " Help", kHelpSupportName, inFolder(kHelpSupportName), "help-browser"},
        {"Uninstall " + productName, kUninstallerName, inFolder(kUninstallerName), "edit-delete"},
        {"Read Me", kReadmeName, "xdg-open " + inFolder(kReadmeName), "text-x-generic"},
    };
}

std::string menuEntryText(const MenuEntry& entry) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           entry.name +
           "\n"
           "Comment=Shortcut to " +
           entry.target +
           "\n"
           "Exec=" +
           entry.command +
           "\n"
           "Icon=" +
           entry.icon +
           "\n"
           "Terminal=false\n"
           "Categories=Utility;\n";
}

} // namespace pelmora
