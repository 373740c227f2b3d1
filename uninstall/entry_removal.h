#pragma once
// What both runs of Uninstall remove first: the uninstall record, the menu entries (those of
// older releases too) and the label program's document handlers that start this
// installation; below shell level 4, the Program Manager group instead.

#include <string>

namespace pelmora {

void removeInstallationEntries(const std::string& productName, const std::string& programFolder);

} // namespace pelmora
