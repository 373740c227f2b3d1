#pragma once
// What Setup and Uninstall agree on: the files of an installation, where the installation is
// recorded (the label program's ini file, the uninstall record, the menu entries), the shell
// level and the Program Manager stand-in.

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

// The files Setup copies from its own folder into the program folder, in copying order (what
// it copied is listed in the folder's manifest, by which Uninstall removes it). The help book
// is a folder, copied with everything in it; everything else is a file.
constexpr const char* kHelpFolderName = "help";
constexpr const char* kReadmeName = "Readme.txt";
constexpr const char* kUninstallerName = "Uninstal";
constexpr const char* kHelpSupportName = "Qantlink";

struct InstalledItem {
    std::string name;
    bool folder = false;
};
std::vector<InstalledItem> installedItems(const std::string& productName);

// The label program's ini file (product name + ".ini" in the Windows-folder stand-in) and its
// "InstallPath"; nullopt when the value is missing. Capacity as for GetPrivateProfileString.
std::string productIniPath(const std::string& productName);
std::optional<std::string> readInstallPath(const std::string& productName, std::size_t capacity);
bool writeInstallPath(const std::string& productName, const std::string& folder);

// $HOME (the account's home folder when it is not set), and the user's data folder:
// $XDG_DATA_HOME when it is absolute, else ~/.local/share.
std::string homeFolder();
std::string desktopDataFolder();

// `path` made lexically normal: no "." or ".." components, no doubled or trailing '/' ("/"
// stays "/"). Symbolic links are not resolved.
std::string lexicallyNormalFolder(const std::string& path);

// The folder of the user's menu entries (the "Programs" folder stand-in) and the program's
// own folder of entries in it.
std::string programsFolder();
std::string menuFolder(const std::string& productName);
// A menu entry's file for an entry name ("Read Me" -> ".../Pelmora/Read Me.desktop").
std::string menuEntryPath(const std::string& productName, const std::string& entryName);

// The entries older releases made, deleted before new ones are written and on uninstalling.
std::vector<std::string> olderMenuEntryNames(const std::string& productName);

// The uninstall record: a key file in the product's data folder
// (~/.local/share/pelmora/uninstall.ini) with "DisplayName" and "UninstallString".
std::string uninstallRecordPath(const std::string& productName);
constexpr const char* kUninstallSection = "Uninstall";

// The desktop entries through which the label program opens its documents; the files are
// written by the program itself, Uninstall removes those that start this installation.
std::vector<std::string> documentHandlerEntryPaths();

// The other files the label program writes at every start for its document types (below the
// user's data folder): the shared-mime-info package and the document and program icons.
std::vector<std::string> documentTypeFilePaths();
std::string mimeFolder();

// The shell level: 4, the behaviour with menu entries and an uninstall record, unless a test
// sets another (0 selects the Program Manager behaviour). nullopt restores the default.
int shellLevel();
void setShellLevelOverride(std::optional<int> level);

// Sends one Program Manager command in a conversation of its own. There is no Program
// Manager on this system: the connection always fails and the caller skips the command.
bool sendProgramManagerCommand(const std::string& command);

} // namespace pelmora
