#pragma once
// The installation itself, once the user confirmed the dialog: record the folder, make it,
// copy the files, record the installation for Uninstall, add the menu entries, report, and
// start the program and the read-me when asked to.

#include "setup/setup_config.h"
#include "setup/setup_state.h"

#include <string>
#include <vector>

namespace pelmora {

// Exit codes of Setup: 0 installed or cancelled by the user, 1 installation failed.
constexpr int kSetupSucceeded = 0;
constexpr int kSetupFailed = 1;

// Runs the steps in order and returns the exit code. A failure to make the folder or to copy
// a file is reported and ends the installation; what was done before stays (the folder is
// recorded in the ini file first, the files copied in the folder's manifest). Before anything
// is written: "/" and the home folder are refused, files in the folder that Setup did not
// install are replaced only when the user agrees, and an installation in another folder is
// moved (removed by its manifest once this one is complete) or Setup ends.
int installProduct(const SetupState& state, const SetupConfig& config);

// Makes every missing folder of the absolute path `folder`, component by component, adding
// those it made to `created`; false when one cannot be made or entered.
bool makePath(const std::string& folder, std::vector<std::string>* created = nullptr);

} // namespace pelmora
