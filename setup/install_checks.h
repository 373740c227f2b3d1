#pragma once
// The questions Setup asks before it writes anything: whether to replace files in the chosen
// folder that it did not install, and whether to move an installation recorded in another
// folder.

#include "setup/install_plan.h"

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

// True when nothing is in the way or the user agreed to replace what is.
bool confirmReplacing(const std::string& productName, const std::string& folder,
                      const std::vector<std::string>& foreign);

// The folder of an earlier installation elsewhere that can be removed by its manifest;
// nullopt when there is none (no record, the same folder, no manifest there).
std::optional<std::string> earlierInstallation(const std::string& productName,
                                               const std::string& folder);

// Asks whether to move the installation in `earlier` to `folder`; true for Yes.
bool confirmMoving(const std::string& productName, const std::string& earlier,
                   const std::string& folder);

// The folders the installation in `earlier` made on the way to it that also lead to `folder`:
// the moved installation takes them over, so that removing it removes them too.
std::vector<std::string> sharedCreatedParents(const std::string& earlier,
                                              const std::string& folder);

// Removes the installation in `earlier` through its manifest (files that changed since stay),
// and its menu entries when the new installation writes none.
void removeEarlierInstallation(const std::string& productName, const std::string& earlier,
                               bool menuEntriesRewritten);

} // namespace pelmora
