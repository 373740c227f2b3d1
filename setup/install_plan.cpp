#include "setup/install_plan.h"

#include "platform/core/descriptor.h"
#include "setup/file_copy.h"
#include "setup/installation.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

void planFolder(const std::string& sourceFolder, const std::string& relative,
                std::vector<PlannedItem>& plan) {
    std::vector<std::pair<std::string, bool>> entries;
    std::error_code error;
    for (fs::directory_iterator it(sourceFolder + "/" + relative, error), end; !error && it != end;
         it.increment(error)) {
        entries.emplace_back(it->path().filename().string(), it->is_directory(error));
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& [name, folder] : entries) {
        plan.push_back({relative + "/" + name, folder});
        if (folder) {
            planFolder(sourceFolder, relative + "/" + name, plan);
        }
    }
}

bool isBelow(const std::string& path, const std::string& folder) {
    return path.starts_with(folder + "/");
}

void record(InstallManifest& manifest, ManifestFile file) {
    std::erase_if(manifest.files, [&](const ManifestFile& f) { return f.path == file.path; });
    manifest.files.push_back(std::move(file));
}

// Makes the folder of a planned folder item; what stands in its place was confirmed by the
// user to go (a link or a file: the link itself is removed, never what it points to).
bool makeFolder(const std::string& path, bool& made) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            return true;
        }
        if (::unlink(path.c_str()) != 0) {
            return false;
        }
    }
    made = ::mkdir(path.c_str(), 0755) == 0;
    return made;
}

} // namespace

std::vector<PlannedItem> installPlan(const std::string& productName,
                                     const std::string& sourceFolder) {
    std::vector<PlannedItem> plan;
    for (const InstalledItem& item : installedItems(productName)) {
        plan.push_back({item.name, item.folder});
        if (item.folder) {
            planFolder(sourceFolder, item.name, plan);
        }
    }
    return plan;
}

std::vector<std::string> foreignEntries(const std::string& folder,
                                        const std::vector<PlannedItem>& plan,
                                        const std::optional<InstallManifest>& existing) {
    std::vector<std::string> foreign;
    struct stat list {};
    if (!existing && ::lstat((folder + "/" + kManifestName).c_str(), &list) == 0) {
        foreign.push_back(kManifestName); // something of that name that is no manifest
    }
    for (const PlannedItem& item : plan) {
        if (std::any_of(foreign.begin(), foreign.end(),
                        [&](const std::string& f) { return isBelow(item.path, f); })) {
            continue;
        }
        struct stat status {};
        if (::lstat((folder + "/" + item.path).c_str(), &status) != 0) {
            continue; // nothing there yet (or the folder itself is still to be made)
        }
        const bool ours = item.folder ? S_ISDIR(status.st_mode)
                                      : S_ISREG(status.st_mode) && existing &&
                                            existing->find(item.path) != nullptr;
        if (!ours) {
            foreign.push_back(item.path);
        }
    }
    return foreign;
}

bool copyPlan(const std::string& sourceFolder, const std::string& folder,
              const std::vector<PlannedItem>& plan, InstallManifest& manifest,
              std::string& failedSource) {
    for (const PlannedItem& item : plan) {
        const std::string source = sourceFolder + "/" + item.path;
        const std::string target = folder + "/" + item.path;
        if (item.folder) {
            std::error_code error;
            bool made = false;
            if (!fs::is_directory(source, error) || !makeFolder(target, made)) {
                failedSource = source;
                return false;
            }
            if (made && std::find(manifest.folders.begin(), manifest.folders.end(), item.path) ==
                            manifest.folders.end()) {
                manifest.folders.push_back(item.path);
            }
            continue;
        }
        if (!copyFileReplacing(source, target)) {
            failedSource = source;
            return false;
        }
        const Descriptor copy(::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        std::optional<ManifestFile> written =
            copy.valid() ? fingerprintOf(copy.get()) : std::nullopt;
        if (!written) {
            failedSource = source;
            return false;
        }
        written->path = item.path;
        record(manifest, std::move(*written));
    }
    return true;
}

} // namespace pelmora
