#pragma once
// The state of one Setup run: where to install, where from, the three options of the dialog,
// the space the files need and the shell level.

#include "setup/setup_config.h"

#include <cstdint>
#include <string>

namespace pelmora {

// The longest folder the dialog and the ini file hold (511 bytes and a NUL).
constexpr std::size_t kInstallFolderCapacity = 512;

struct SetupState {
    std::string installFolder;
    std::string sourceFolder;
    bool addToMenu = true;
    bool viewReadme = true;
    bool startAfter = true;
    std::uint64_t requiredBytes = 0;
    int shellLevel = 4;
    std::string programsFolder; // empty below shell level 4
};

// The state at start: the folder recorded by an earlier installation, else
// ~/.local/opt/PRODUCT (home/PRODUCT below shell level 4); every option on.
SetupState initialSetupState(const SetupConfig& config, const std::string& sourceFolder);

// `folder` as an absolute, lexically normal path without trailing '/' (no "." or ".."
// components): "~" stands for the home folder, and a relative path is taken from the current
// folder.
std::string absoluteFolder(const std::string& folder);

} // namespace pelmora
