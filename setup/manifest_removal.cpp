#include "setup/manifest_removal.h"

#include "platform/core/descriptor.h"
#include "setup/installation.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

std::optional<std::string> realFolder(const std::string& path) {
    char resolved[PATH_MAX];
    if (path.empty() || ::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Longest first, so a folder comes before the folders that hold it.
std::vector<std::string> deepestFirst(std::vector<std::string> paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    return paths;
}

} // namespace

FolderRefusal refusalOf(const std::string& folder) {
    const std::string normal = lexicallyNormalFolder(folder);
    const std::optional<std::string> real = realFolder(normal);
    if (normal == "/" || real == "/") {
        return FolderRefusal::Root;
    }
    const std::string home = homeFolder();
    if (!home.empty() &&
        (normal == lexicallyNormalFolder(home) || (real && realFolder(home) == real))) {
        return FolderRefusal::Home;
    }
    return FolderRefusal::None;
}

int openProgramFolder(const std::string& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ListedRemoval removeListedFile(int root, const ManifestFile& file) {
    if (!isContainedPath(file.path)) {
        return ListedRemoval::NotOurs;
    }
    const std::size_t slash = file.path.rfind('/');
    const std::string parent = slash == std::string::npos ? "" : file.path.substr(0, slash);
    const std::string name = file.path.substr(slash == std::string::npos ? 0 : slash + 1);
    const Descriptor folder(openFolderBelow(root, parent));
    if (!folder.valid()) {
        return errno == ENOENT ? ListedRemoval::Missing : ListedRemoval::NotOurs;
    }
    // Looked at before opening: a device or a pipe of that name is never opened.
    struct stat link {};
    if (::fstatat(folder.get(), name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? ListedRemoval::Missing : ListedRemoval::Failed;
    }
    if (!S_ISREG(link.st_mode) || static_cast<std::uint64_t>(link.st_size) != file.size) {
        return ListedRemoval::NotOurs;
    }
    const Descriptor fd(
        ::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!fd.valid()) {
        return errno == ENOENT  ? ListedRemoval::Missing
               : errno == ELOOP ? ListedRemoval::NotOurs
                                : ListedRemoval::Failed;
    }
    if (::fstat(fd.get(), &opened) != 0 || !sameFile(opened, link)) {
        return ListedRemoval::NotOurs;
    }
    const std::optional<ManifestFile> found = fingerprintOf(fd.get());
    if (!found) {
        return ListedRemoval::Failed;
    }
    if (found->size != file.size || found->sha256 != file.sha256) {
        return ListedRemoval::NotOurs;
    }
    // The name must still lead to the file just read.
    struct stat again {};
    if (::fstatat(folder.get(), name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0 ||
        !sameFile(again, opened)) {
        return ListedRemoval::NotOurs;
    }
    return ::unlinkat(folder.get(), name.c_str(), 0) == 0 ? ListedRemoval::Removed
                                                          : ListedRemoval::Failed;
}

std::vector<std::string> removeListedFiles(const std::string& folder,
                                           const InstallManifest& manifest,
                                           const std::vector<std::string>& except) {
    std::vector<std::string> stayed;
    const Descriptor root(openProgramFolder(folder));
    if (!root.valid()) {
        return stayed; // nothing left of the folder
    }
    for (const ManifestFile& file : manifest.files) {
        if (std::find(except.begin(), except.end(), file.path) != except.end()) {
            continue;
        }
        if (removeListedFile(root.get(), file) == ListedRemoval::Failed) {
            stayed.push_back(folder + "/" + file.path);
        }
    }
    return stayed;
}

void removeListedFolders(const std::string& folder, const InstallManifest& manifest) {
    const Descriptor root(openProgramFolder(folder));
    if (root.valid()) {
        for (const std::string& inside : deepestFirst(manifest.folders)) {
            if (!isContainedPath(inside)) {
                continue;
            }
            // A symbolic link in place of the folder is no folder: removing it fails.
            const std::size_t slash = inside.rfind('/');
            const Descriptor parent(openFolderBelow(
                root.get(), slash == std::string::npos ? "" : inside.substr(0, slash)));
            if (parent.valid()) {
                const std::string name = inside.substr(slash == std::string::npos ? 0 : slash + 1);
                ::unlinkat(parent.get(), name.c_str(), AT_REMOVEDIR);
            }
        }
        struct stat status {};
        if (::fstatat(root.get(), kManifestName, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode)) {
            ::unlinkat(root.get(), kManifestName, 0);
        }
    }
    const std::string normal = lexicallyNormalFolder(folder);
    if (refusalOf(normal) == FolderRefusal::None) {
        ::rmdir(normal.c_str());
    }
    // Only the folders that lead to the program folder, never "/" or the home folder.
    for (const std::string& parent : deepestFirst(manifest.createdParents)) {
        const std::string made = lexicallyNormalFolder(parent);
        if (normal.starts_with(made + "/") && refusalOf(made) == FolderRefusal::None) {
            ::rmdir(made.c_str());
        }
    }
}

} // namespace pelmora
