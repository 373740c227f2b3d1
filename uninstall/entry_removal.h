#pragma once
// What both runs of Uninstall remove first: the uninstall record, the menu entries (those of
// older releases too) and the label program's document handlers that start this
// installation and, once no copy's handler is left, the MIME package and icons the label
// program writes at every start (with the desktop's caches refreshed); below shell level 4,
// the Program Manager group instead.

#include <string>

namespace pelmora {

void removeInstallationEntries(const std::string& productName, const std::string& programFolder);

} // namespace pelmora
