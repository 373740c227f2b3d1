#include "setup/installation.h"

#include "platform/core/ascii.h"
#include "platform/core/profile.h"
#include "setup/desktop_entry.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace pelmora {

namespace {

std::optional<int>& shellLevelOverride() {
    static std::optional<int> level;
    return level;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = asciiLower(c);
    }
    return text;
}

} // namespace

std::vector<InstalledItem> installedItems(const std::string& productName) {
    return {{productName, false},
            {kHelpFolderName, true},
            {kReadmeName, false},
            {kUninstallerName, false},
            {kHelpSupportName, false}};
}

std::string productIniPath(const std::string& productName) {
    return profilePath(productName + ".ini");
}

std::optional<std::string> readInstallPath(const std::string& productName, std::size_t capacity) {
    std::string folder = GetPrivateProfileString("install", "InstallPath", "error", capacity,
                                                 productIniPath(productName));
    if (folder == "error") {
        return std::nullopt;
    }
    return folder;
}

bool writeInstallPath(const std::string& productName, const std::string& folder) {
    return WritePrivateProfileString("install", "InstallPath", folder, productIniPath(productName));
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return home;
    }
    // Without $HOME, the account's home folder.
    const passwd* account = ::getpwuid(::getuid());
    return account != nullptr && account->pw_dir != nullptr ? account->pw_dir : "";
}

std::string desktopDataFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return dataHome;
    }
    return homeFolder() + "/.local/share";
}

std::string lexicallyNormalFolder(const std::string& path) {
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

std::string programsFolder() {
    return desktopDataFolder() + "/applications";
}

std::string menuFolder(const std::string& productName) {
    return programsFolder() + "/" + productName;
}

std::string menuEntryPath(const std::string& productName, const std::string& entryName) {
    return menuFolder(productName) + "/" + entryName + ".desktop";
}

std::vector<std::string> olderMenuEntryNames(const std::string& productName) {
    return {productName + " v1.7", productName + " v1.8", productName + " v2.0"};
}

std::string uninstallRecordPath(const std::string& productName) {
    return desktopDataFolder() + "/" + lowerCase(productName) + "/uninstall.ini";
}

std::vector<std::string> documentHandlerEntryPaths() {
    std::vector<std::string> paths;
    for (const char* name : kDocumentHandlerEntries) {
        paths.push_back(programsFolder() + "/" + name);
    }
    return paths;
}

std::string mimeFolder() {
    return desktopDataFolder() + "/mime";
}

std::vector<std::string> documentTypeFilePaths() {
    std::vector<std::string> paths{mimeFolder() + "/packages/pelmora.xml"};
    for (const char* size : {"16x16", "32x32", "48x48"}) {
        for (const char* name :
             {"mimetypes/application-x-pelmora-label.png",
              "mimetypes/application-x-pelmora-template.png", "apps/pelmora.png"}) {
            paths.push_back(desktopDataFolder() + "/icons/hicolor/" + size + "/" + name);
        }
    }
    return paths;
}

int shellLevel() {
    return shellLevelOverride().value_or(4);
}

void setShellLevelOverride(std::optional<int> level) {
    shellLevelOverride() = level;
}

bool sendProgramManagerCommand(const std::string&) {
    return false;
}

} // namespace pelmora
