#include "setup/desktop_entry.h"

#include "platform/core/ascii.h"
#include "setup/installation.h"

namespace pelmora {

namespace {

// Characters the desktop entry format reserves in Exec arguments, and '=' and '%', which
// some launchers misread outside quotes.
constexpr const char* kReservedInExec = " \t\n\"'\\><~|&;$*?#()`%=";

std::string doublePercent(const std::string& text) {
    std::string result;
    for (char c : text) {
        result += c;
        if (c == '%') {
            result += '%';
        }
    }
    return result;
}

} // namespace

std::string desktopExecArgument(const std::string& word) {
    if (!word.empty() && word.find_first_of(kReservedInExec) == std::string::npos) {
        return word;
    }
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (char c : quoted) {
        escaped += c;
        if (c == '\\') {
            escaped += '\\';
        }
    }
    return doublePercent(escaped);
}

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
