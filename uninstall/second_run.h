#pragma once
// Uninstall's second run: the files the manifest lists that are still as installed, the first
// run's "Uninstal" (waited for), the folders when nothing else is left in them, the manifest,
// the label program's ini file last, and finally the removal of the running copy once it has
// ended.

#include "setup/install_manifest.h"
#include "uninstall/uninstall_program.h"

#include <string>

namespace pelmora {

// Returns the exit code: 0 when everything of the installation is gone, 1 when an installed
// file (such as "Uninstal", waited for) could not be removed: the user is told which, and the
// manifest and the ini file stay, so that running the second run again finishes the work.
int finishUninstall(const std::string& productName, const std::string& programFolder,
                    const InstallManifest& manifest, const std::string& ownPath,
                    const UninstallWait& wait);

} // namespace pelmora
