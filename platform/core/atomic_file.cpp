#include "platform/core/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora {
namespace {

std::string describe(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

void setProblem(std::string* problem, std::string text) {
    if (problem) {
        *problem = std::move(text);
    }
}

// The file a save really replaces: the target of a symbolic link, else the path itself.
std::string resolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    std::vector<char> resolved(PATH_MAX + 1, '\0');
    if (realpath(path.c_str(), resolved.data()) != nullptr) {
        return resolved.data();
    }
    // A dangling link: write where it points, relative to the link's folder.
    std::vector<char> target(PATH_MAX + 1, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), PATH_MAX);
    if (length <= 0) {
        return path;
    }
    std::string pointed(target.data(), static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (pointed[0] != '/' && slash != std::string::npos) {
        pointed = path.substr(0, slash + 1) + pointed;
    }
    return pointed;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

constexpr std::string_view kTemporaryMark = ".pelmora-tmp-";
constexpr std::size_t kTemporarySuffixBytes = 6; // what mkstemp fills in
constexpr std::size_t kMaxNameInTemporary = 200; // the whole name stays within NAME_MAX

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".NAME.pelmora-tmp-XXXXXX" beside the target, for mkstemp.
std::string temporaryTemplate(const std::string& folder, const std::string& target) {
    std::string name = baseNameOf(target).substr(0, kMaxNameInTemporary);
    return folder + "/." + name + std::string(kTemporaryMark) +
           std::string(kTemporarySuffixBytes, 'X');
}

// Removes the temporaries of saves into `folder` that were killed before their rename.
void removeStaleTemporaries(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const time_t now = time(nullptr);
    const int dirFd = dirfd(dir);
    while (const dirent* found = readdir(dir)) {
        if (!isAtomicSaveTemporary(found->d_name)) {
            continue;
        }
        struct stat info {};
        if (fstatat(dirFd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            now - info.st_mtime > kStaleTemporarySeconds) {
            unlinkat(dirFd, found->d_name, 0);
        }
    }
    closedir(dir);
}

bool writeAll(int fd, std::string_view content, std::string* problem) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            setProblem(problem, describe("write", errno));
            return false;
        }
        if (written == 0) {
            setProblem(problem, "write: no bytes written");
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

bool isAtomicSaveTemporary(std::string_view name) {
    const std::size_t mark = name.rfind(kTemporaryMark);
    return name.size() > 1 && name[0] == '.' && mark != std::string_view::npos && mark > 1 &&
           name.size() - mark - kTemporaryMark.size() == kTemporarySuffixBytes;
}

bool writeFileAtomically(const std::string& path, std::string_view content, std::string* problem) {
    if (path.empty()) {
        setProblem(problem, "empty path");
        return false;
    }
    const std::string target = resolveTarget(path);
    const std::string folder = folderOf(target);

    mode_t mode = 0;
    struct stat existing {};
    const bool replacing = stat(target.c_str(), &existing) == 0;
    if (replacing) {
        if (!S_ISREG(existing.st_mode)) {
            setProblem(problem, "not a regular file");
            return false;
        }
        // The rename would replace a read-only file too; a file made read-only is meant to
        // stay as it is.
        if (access(target.c_str(), W_OK) != 0) {
            setProblem(problem, describe("not writable", errno));
            return false;
        }
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    removeStaleTemporaries(folder);
    std::string temporary = temporaryTemplate(folder, target);
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        setProblem(problem, describe("create temporary file", errno));
        return false;
    }
    bool ok = writeAll(fd, content, problem);
    // Permission bits and owner are kept where the file system has them; media without them
    // (vfat) refuse both, which must not fail the save.
    [[maybe_unused]] int modeKept = fchmod(fd, mode);
    if (replacing) {
        [[maybe_unused]] int ownerKept = fchown(fd, existing.st_uid, existing.st_gid);
    }
    if (ok && fsync(fd) != 0) {
        setProblem(problem, describe("fsync", errno));
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        setProblem(problem, describe("close", errno));
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        setProblem(problem, describe("rename", errno));
        ok = false;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; a folder that cannot be synced does not undo the save.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace pelmora
