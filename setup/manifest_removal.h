#pragma once
// Removing an installation by its manifest (install_manifest.h): a listed file goes only when
// it is still the regular file Setup wrote (same size and SHA-256), reached inside the program
// folder without following a symbolic link; folders go only when empty. Uninstall's second run
// and Setup, when it moves an installation to another folder, remove through here.

#include "setup/install_manifest.h"

#include <string>
#include <vector>

namespace pelmora {

// The folders no installation may be in: "/" and the home folder (also when `folder` names
// them through a symbolic link or with "..").
enum class FolderRefusal { None, Root, Home };
FolderRefusal refusalOf(const std::string& folder);

enum class ListedRemoval {
    Removed,
    Missing, // nothing of that name (already gone)
    NotOurs, // something else is there now: another file, a link, a folder; it stays
    Failed,  // the installed file is there but could not be removed (errno says why)
};

// Removes one listed file below the open program folder `root`.
ListedRemoval removeListedFile(int root, const ManifestFile& file);

// Opens the program folder for the removals; -1 when it cannot be opened.
int openProgramFolder(const std::string& folder);

// Removes every listed file but those named in `except`; returns the paths (absolute) of the
// installed files that stayed because they could not be removed.
std::vector<std::string> removeListedFiles(const std::string& folder,
                                           const InstallManifest& manifest,
                                           const std::vector<std::string>& except = {});

// After the files: the listed folders (deepest first), the manifest, the program folder and
// the folders made on the way to it, each only when empty. "/" and the home folder stay.
void removeListedFolders(const std::string& folder, const InstallManifest& manifest);

} // namespace pelmora
