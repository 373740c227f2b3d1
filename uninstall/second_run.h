#pragma once
// Uninstall's second run: the installed files, the first run's "Uninstal" (waited for), the
// program folder when nothing else is left in it, the label program's ini file, and finally
// the removal of the running copy once it has ended.

#include "uninstall/uninstall_program.h"

#include <string>

namespace pelmora {

// Returns the exit code: 0 when everything of the installation is gone, 1 when "Uninstal"
// could not be removed in time (the user is told to remove it).
int finishUninstall(const std::string& productName, const std::string& programFolder,
                    const std::string& ownPath, const UninstallWait& wait);

} // namespace pelmora
