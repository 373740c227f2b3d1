#include "uninstall/uninstall_program.h"

#include "platform/core/message.h"
#include "setup/install_manifest.h"
#include "setup/installation.h"
#include "setup/manifest_removal.h"
#include "uninstall/entry_removal.h"
#include "uninstall/first_run.h"
#include "uninstall/second_run.h"

namespace pelmora {

namespace {

constexpr std::size_t kProgramFolderCapacity = 512;

int cannotUninstall(const std::string& text) {
    reportMessage(nullptr, text, "Can't Uninstall...", MB_ICONERROR);
    return kUninstallFailed;
}

} // namespace

int runUninstall(const std::string& productName, const std::string& commandLine,
                 const std::string& ownPath, const UninstallWait& wait) {
    // Only an absolute folder is used, and only what its manifest lists is removed: a folder
    // that is "/" or the home folder is never taken for a program folder, even with a list.
    const auto recorded = readInstallPath(productName, kProgramFolderCapacity);
    if (!recorded || !recorded->starts_with("/")) {
        return cannotUninstall("Can't Find Installation Path, Please Remove Manually");
    }
    const std::string folder = lexicallyNormalFolder(*recorded);
    switch (refusalOf(folder)) {
    case FolderRefusal::Root:
        return cannotUninstall("Can't Uninstall From \"" + folder +
                               "\": It Is The Root Folder, Please Remove Manually");
    case FolderRefusal::Home:
        return cannotUninstall("Can't Uninstall From \"" + folder +
                               "\": It Is Your Home Folder, Please Remove Manually");
    case FolderRefusal::None:
        break;
    }
    const std::optional<InstallManifest> manifest = readManifest(folder);
    if (!manifest) {
        return cannotUninstall("Can't Uninstall From \"" + folder +
                               "\": It Holds No List Of Installed Files (" + kManifestName +
                               "), Please Remove Manually");
    }
    const bool secondRun = commandLine == "killemall";
    if (!secondRun && reportMessage(nullptr, "Really Uninstall " + productName + "?",
                                    "Last Chance...", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return kUninstallSucceeded;
    }
    removeInstallationEntries(productName, folder);
    if (!secondRun) {
        return startSecondRun(folder);
    }
    return finishUninstall(productName, folder, *manifest, ownPath, wait);
}

} // namespace pelmora
