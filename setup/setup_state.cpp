#include "setup/setup_state.h"

#include "setup/installation.h"

#include <filesystem>

namespace pelmora {

SetupState initialSetupState(const SetupConfig& config, const std::string& sourceFolder) {
    SetupState state;
    state.requiredBytes = requiredBytesOf(config.requiredSpace);
    state.shellLevel = shellLevel();
    state.sourceFolder = sourceFolder;
    state.installFolder = homeFolder() + "/" + config.productName;
    if (auto recorded = readInstallPath(config.productName, kInstallFolderCapacity)) {
        state.installFolder = *recorded;
    } else if (state.shellLevel > 3) {
        state.installFolder = homeFolder() + "/.local/opt/" + config.productName;
    }
    if (state.shellLevel > 3) {
        state.programsFolder = programsFolder();
    }
    return state;
}

std::string absoluteFolder(const std::string& folder) {
    std::string path = folder;
    if (path == "~" || path.starts_with("~/")) {
        path = homeFolder() + path.substr(1);
    } else if (!path.starts_with("/")) {
        std::error_code error;
        path = std::filesystem::current_path(error).string() + "/" + path;
    }
    // "rel/../inst" is "inst": no folder "rel" is made, and the record names the folder used.
    return lexicallyNormalFolder(path);
}

} // namespace pelmora
