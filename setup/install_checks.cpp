#include "setup/install_checks.h"

#include "platform/core/message.h"
#include "setup/desktop_entry.h"
#include "setup/installation.h"
#include "setup/manifest_removal.h"
#include "setup/setup_state.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace pelmora {

namespace {

constexpr std::size_t kNamesShown = 10;

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

} // namespace

bool confirmReplacing(const std::string& productName, const std::string& folder,
                      const std::vector<std::string>& foreign) {
    if (foreign.empty()) {
        return true;
    }
    std::string names;
    for (std::size_t i = 0; i < foreign.size() && i < kNamesShown; ++i) {
        names += foreign[i] + "\n";
    }
    if (foreign.size() > kNamesShown) {
        names += "and " + std::to_string(foreign.size() - kNamesShown) + " more\n";
    }
    return reportMessage(nullptr,
                         "\"" + folder + "\" holds files that " + productName +
                             " Setup did not install:\n\n" + names + "\nReplace them?",
                         productName + " Setup", MB_YESNO | MB_ICONWARNING) == IDYES;
}

std::optional<std::string> earlierInstallation(const std::string& productName,
                                               const std::string& folder) {
    const auto recorded = readInstallPath(productName, kInstallFolderCapacity);
    if (!recorded || !recorded->starts_with("/")) {
        return std::nullopt;
    }
    const std::string earlier = lexicallyNormalFolder(*recorded);
    if (earlier == folder || realPath(earlier) == realPath(folder) ||
        refusalOf(earlier) != FolderRefusal::None || !readManifest(earlier)) {
        return std::nullopt;
    }
    return earlier;
}

bool confirmMoving(const std::string& productName, const std::string& earlier,
                   const std::string& folder) {
    return reportMessage(nullptr,
                         productName + " is installed in \"" + earlier + "\".\n\nMove it to \"" +
                             folder + "\"? The files Setup put into \"" + earlier +
                             "\" are removed; No ends Setup without changing anything.",
                         productName + " Setup", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::vector<std::string> sharedCreatedParents(const std::string& earlier,
                                              const std::string& folder) {
    std::vector<std::string> shared;
    if (const auto manifest = readManifest(earlier)) {
        for (const std::string& parent : manifest->createdParents) {
            if (folder.starts_with(lexicallyNormalFolder(parent) + "/")) {
                shared.push_back(parent);
            }
        }
    }
    return shared;
}

void removeEarlierInstallation(const std::string& productName, const std::string& earlier,
                               bool menuEntriesRewritten) {
    if (const auto manifest = readManifest(earlier)) {
        if (removeListedFiles(earlier, *manifest).empty()) {
            removeListedFolders(earlier, *manifest);
        }
    }
    if (!menuEntriesRewritten) {
        for (const MenuEntry& entry : menuEntriesFor(productName, earlier)) {
            ::unlink(menuEntryPath(productName, entry.name).c_str());
        }
        ::rmdir(menuFolder(productName).c_str());
    }
}

} // namespace pelmora
