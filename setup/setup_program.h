#pragma once
// One run of Setup: the main dialog, then the installation from `sourceFolder`.

#include "setup/setup_config.h"

#include <string>

namespace pelmora {

// Returns Setup's exit code: 0 after installing or when the user cancels, 1 when the
// installation failed.
int runSetup(const SetupConfig& config, const std::string& sourceFolder);

} // namespace pelmora
