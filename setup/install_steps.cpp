#include "setup/install_steps.h"

#include "platform/core/atomic_file.h"
#include "platform/core/message.h"
#include "platform/core/profile.h"
#include "setup/desktop_entry.h"
#include "setup/install_checks.h"
#include "setup/install_plan.h"
#include "setup/installation.h"
#include "setup/manifest_removal.h"
#include "setup/process_start.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

int abortInstallation(const std::string& text) {
    reportMessage(nullptr, "Unable to install:  " + text, "Installation Aborted", MB_ICONERROR);
    return kSetupFailed;
}

// The entry of the list of installed programs; failures leave it out.
void recordUninstallEntry(const SetupConfig& config, const std::string& folder) {
    const std::string record = uninstallRecordPath(config.productName);
    std::error_code error;
    fs::create_directories(fs::path(record).parent_path(), error);
    WritePrivateProfileString(kUninstallSection, "DisplayName",
                              config.productName + " " + config.version, record);
    WritePrivateProfileString(kUninstallSection, "UninstallString", folder + "/" + kUninstallerName,
                              record);
}

// The menu folder's entries: those of older releases go first; failures leave an entry out.
void writeMenuEntries(const std::string& product, const std::string& folder) {
    std::error_code error;
    fs::create_directories(menuFolder(product), error);
    for (const std::string& older : olderMenuEntryNames(product)) {
        fs::remove(menuEntryPath(product, older), error);
    }
    for (const MenuEntry& entry : menuEntriesFor(product, folder)) {
        writeFileAtomically(menuEntryPath(product, entry.name), menuEntryText(entry));
    }
}

// The Program Manager group of the older shells; every command that finds no server is
// skipped.
void makeProgramGroup(const std::string& product, const std::string& folder) {
    const std::string quotedProduct = "(\"" + product + "\")]";
    const std::string commands[] = {
        "[CreateGroup" + quotedProduct,
        "[ShowGroup" + quotedProduct,
        "[AddItem(\"" + folder + "/" + product + "\",\"" + product + "\")]",
        "[AddItem(\"" + folder + "/" + kHelpSupportName + "\",\"" + product + " Help\")]",
        "[AddItem(\"" + folder + "/" + kReadmeName + "\",\"Read Me\")]",
        "[AddItem(\"" + folder + "/" + kUninstallerName + "\",\"Uninstall " + product + "\")]",
    };
    for (const std::string& command : commands) {
        sendProgramManagerCommand(command);
    }
}

} // namespace

bool makePath(const std::string& folder, std::vector<std::string>* created) {
    std::string path;
    std::size_t at = 0;
    while (at < folder.size()) {
        std::size_t next = folder.find('/', at);
        if (next == std::string::npos) {
            next = folder.size();
        }
        if (next > at) {
            path += "/" + folder.substr(at, next - at);
            struct stat status {};
            const bool made = ::mkdir(path.c_str(), 0755) == 0;
            if ((!made && errno != EEXIST) || ::stat(path.c_str(), &status) != 0 ||
                !S_ISDIR(status.st_mode) || ::access(path.c_str(), X_OK) != 0) {
                return false;
            }
            if (made && created != nullptr) {
                created->push_back(path);
            }
        }
        at = next + 1;
    }
    return true;
}

int installProduct(const SetupState& state, const SetupConfig& config) {
    const std::string& product = config.productName;
    const std::string folder = absoluteFolder(state.installFolder);

    // The folder is written into Pelmora.ini and into desktop entries, one value a line: a
    // line break in its name would add lines of its own there.
    if (std::any_of(folder.begin(), folder.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; })) {
        return abortInstallation("the folder's name holds a line break or another control "
                                 "character; choose a folder whose name has none");
    }
    switch (refusalOf(folder)) {
    case FolderRefusal::Root:
        return abortInstallation("\"" + folder + "\" is the root folder; choose a folder for " +
                                 product + " alone");
    case FolderRefusal::Home:
        return abortInstallation("\"" + folder + "\" is your home folder; choose a folder for " +
                                 product + " alone");
    case FolderRefusal::None:
        break;
    }
    const std::optional<std::string> earlier = earlierInstallation(product, folder);
    if (earlier && !confirmMoving(product, *earlier, folder)) {
        return kSetupSucceeded;
    }
    const std::optional<InstallManifest> existing = readManifest(folder);
    const std::vector<PlannedItem> plan = installPlan(product, state.sourceFolder);
    if (!confirmReplacing(product, folder, foreignEntries(folder, plan, existing))) {
        return kSetupSucceeded;
    }

    writeInstallPath(product, folder);
    InstallManifest manifest = existing.value_or(InstallManifest{});
    if (earlier) {
        for (const std::string& parent : sharedCreatedParents(*earlier, folder)) {
            manifest.createdParents.push_back(parent);
        }
    }
    if (!makePath(folder, &manifest.createdParents)) {
        return abortInstallation("Can't make path \"" + folder + "\"");
    }
    std::string failedSource;
    const bool copied = copyPlan(state.sourceFolder, folder, plan, manifest, failedSource);
    // Also after a failed copy: what was copied can then be uninstalled.
    const bool listed = writeManifest(folder, manifest);
    if (!copied) {
        return abortInstallation("Can't copy file \"" + failedSource + "\"");
    }
    if (!listed) {
        return abortInstallation("Can't write \"" + folder + "/" + kManifestName + "\"");
    }
    const bool menuEntries = state.addToMenu && state.shellLevel > 3;
    if (earlier) {
        removeEarlierInstallation(product, *earlier, menuEntries);
    }
    if (state.shellLevel > 3) {
        recordUninstallEntry(config, folder);
    }
    if (state.addToMenu) {
        if (state.shellLevel > 3) {
            writeMenuEntries(product, folder);
        } else {
            makeProgramGroup(product, folder);
        }
    }
    reportMessage(nullptr, "Installation Completed!", "Installation Succeded", MB_ICONINFORMATION);
    if (state.startAfter) {
        startDetached({folder + "/" + product, {}, folder});
    }
    if (state.viewReadme) {
        startDetached({"xdg-open", {folder + "/" + kReadmeName}, folder});
    }
    return kSetupSucceeded;
}

} // namespace pelmora
