#include "platform/core/hidden_file.h"

#include "platform/core/descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace pelmora {
namespace {

constexpr const char* kHiddenListName = ".hidden";

// The FAT attribute byte becomes "hidden" alone; the folder bit of a folder stays, as the
// file system requires.
bool setFatHidden(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    struct statfs fs {};
    if (fstatfs(fd.get(), &fs) != 0 || fs.f_type != MSDOS_SUPER_MAGIC) {
        return false;
    }
    std::uint32_t attributes = 0;
    if (ioctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0) {
        return false;
    }
    std::uint32_t wanted = ATTR_HIDDEN | (attributes & ATTR_DIR);
    return ioctl(fd.get(), FAT_IOCTL_SET_ATTRIBUTES, &wanted) == 0;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The list as it is, or empty when there is none (or it cannot be read).
std::string readHiddenList(const std::string& listPath) {
    std::string text;
    Descriptor fd(::open(listPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return text;
    }
    struct stat status {};
    if (fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return text;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// One name a line; a CR before the LF is not part of the name.
bool listHolds(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line == name) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        list.remove_prefix(end + 1);
    }
    return false;
}

bool addToHiddenList(const std::string& folder, const std::string& name) {
    if (name.find('\n') != std::string::npos) {
        return false; // one name a line: this one cannot be listed
    }
    const std::string listPath = folder + "/" + kHiddenListName;
    const std::string list = readHiddenList(listPath);
    if (listHolds(list, name)) {
        return true;
    }
    Descriptor fd(
        ::open(listPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.valid()) {
        return false;
    }
    std::string line;
    if (!list.empty() && list.back() != '\n') {
        line += '\n'; // the last name of the list had no line end
    }
    line += name;
    line += '\n';
    return writeAll(fd.get(), line);
}

} // namespace

bool SetFileHidden(const std::string& path) {
    struct stat status {};
    if (path.empty() || lstat(path.c_str(), &status) != 0) {
        return false;
    }
    std::string folder;
    std::string name;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    if (setFatHidden(path)) {
        return true;
    }
    if (name.front() == '.') {
        return true;
    }
    return addToHiddenList(folder, name);
}

} // namespace pelmora
