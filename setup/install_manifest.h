#pragma once
// The list of what Setup installed, kept in the program folder as "Install.manifest": every
// file with its size and SHA-256, the folders Setup made inside the program folder, and the
// folders it made on the way to it. Uninstall removes only what is listed there and still
// matches, so files of the user's that carry installed names, and anything reached through a
// symbolic link, are never touched.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

constexpr const char* kManifestName = "Install.manifest";

struct ManifestFile {
    std::string path; // relative to the program folder, '/'-separated
    std::uint64_t size = 0;
    std::string sha256; // 64 lower-case hex digits
};

struct InstallManifest {
    std::vector<ManifestFile> files;
    std::vector<std::string> folders;        // made inside the program folder (relative)
    std::vector<std::string> createdParents; // made on the way, the program folder too (absolute)

    const ManifestFile* find(const std::string& path) const;
};

// The file's text, and the list read back from it; nullopt for a text that is not a manifest
// or lists a path that leaves the program folder.
std::string manifestText(const InstallManifest& manifest);
std::optional<InstallManifest> parseManifest(const std::string& text);

// Reads "Install.manifest" of `folder`; nullopt when it is missing, not a regular file (a
// symbolic link is not followed) or not a manifest.
std::optional<InstallManifest> readManifest(const std::string& folder);
// Replaces it atomically; false when it could not be written.
bool writeManifest(const std::string& folder, const InstallManifest& manifest);

// A relative path that stays inside its folder: no empty, "." or ".." component, not absolute.
bool isContainedPath(const std::string& path);

// Size and SHA-256 of the regular file open as `fd`, read from its start; nullopt on a read
// error.
std::optional<ManifestFile> fingerprintOf(int fd);

// Opens the folder `relative` below the open folder `root` one component at a time without
// following symbolic links; -1 with errno set (ELOOP or ENOTDIR for a link or a file in the
// way). An empty `relative` duplicates `root`.
int openFolderBelow(int root, const std::string& relative);

} // namespace pelmora
