#pragma once
// What Setup puts into the program folder, item by item, and the copying that records each
// file it wrote in the folder's manifest.

#include "setup/install_manifest.h"

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct PlannedItem {
    std::string path; // relative to the program folder (and to Setup's own folder)
    bool folder = false;
};

// The installed items in copying order, a folder followed by everything below it (sorted by
// name); an item missing from `sourceFolder` is planned all the same, so its copy fails.
std::vector<PlannedItem> installPlan(const std::string& productName,
                                     const std::string& sourceFolder);

// What copying the plan into `folder` would replace that Setup did not install there: a file
// the folder's manifest does not list, a symbolic link, anything but a folder where a folder
// goes, and a file of the manifest's name that is no manifest. Nothing below a name in the
// list is looked at.
std::vector<std::string> foreignEntries(const std::string& folder,
                                        const std::vector<PlannedItem>& plan,
                                        const std::optional<InstallManifest>& existing);

// Copies the plan in order, replacing what is in the way, and adds every folder it made and
// every file it wrote to `manifest`. False at the first item that fails; `failedSource` then
// names its source.
bool copyPlan(const std::string& sourceFolder, const std::string& folder,
              const std::vector<PlannedItem>& plan, InstallManifest& manifest,
              std::string& failedSource);

} // namespace pelmora
