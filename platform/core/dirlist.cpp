#include "dirlist.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace pelmora {

namespace {

constexpr std::size_t kMaxNameLength = kFindNameCapacity - 1;

// Sets the name, cut to 259 bytes without splitting a UTF-8 sequence. Assigning into the
// caller's string reuses its buffer, so a listing allocates only for long names.
void setName(FindData& found, const char* name) {
    std::size_t length = std::strlen(name);
    if (length > kMaxNameLength) {
        length = kMaxNameLength;
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    found.cFileName.assign(name, length);
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The FAT attribute byte of an entry, mapped to the listing's attribute bits.
std::uint32_t fatAttributes(int dirFd, const char* name) {
    int fd = openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::uint32_t fat = 0;
    std::uint32_t attributes = 0;
    if (ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0) {
        if (fat & ATTR_HIDDEN) {
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        }
        if (fat & ATTR_SYS) {
            attributes |= FILE_ATTRIBUTE_SYSTEM;
        }
        if (fat & ATTR_RO) {
            attributes |= FILE_ATTRIBUTE_READONLY;
        }
    }
    ::close(fd);
    return attributes;
}

} // namespace

DirectoryListing::~DirectoryListing() {
    close();
}

bool DirectoryListing::findFirst(const std::string& folder, FindData& found, DotEntries dots) {
    close();
    dir_ = opendir(folder.c_str());
    if (dir_ == nullptr) {
        openError_ = errno;
        return false;
    }
    openError_ = 0;
    folder_ = folder;
    pendingDots_ = dots == DotEntries::Report ? 2 : 0;

    struct statfs fs {};
    onVfat_ = fstatfs(dirfd(dir_), &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC;
    loadHiddenList();

    if (!findNext(found)) {
        close();
        return false;
    }
    return true;
}

bool DirectoryListing::findNext(FindData& found) {
    if (dir_ == nullptr) {
        return false;
    }
    if (pendingDots_ > 0) {
        found.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        found.fileSize = 0;
        found.cFileName.assign(pendingDots_ == 2 ? "." : "..");
        --pendingDots_;
        return true;
    }
    return readEntry(found);
}

void DirectoryListing::close() {
    if (dir_ != nullptr) {
        closedir(dir_);
        dir_ = nullptr;
    }
    pendingDots_ = 0;
    onVfat_ = false;
    hiddenNames_.clear();
}

bool DirectoryListing::readEntry(FindData& found) {
    int dirFd = dirfd(dir_);
    while (const dirent* entry = readdir(dir_)) {
        const char* name = entry->d_name;
        if (isDotOrDotDot(name)) {
            continue;
        }
        std::uint32_t attributes = 0;
        std::uint64_t size = 0;
        if (entry->d_type == DT_DIR && !onVfat_) {
            // The directory entry already says "folder", and a folder's size is not reported:
            // no stat needed.
            attributes = FILE_ATTRIBUTE_DIRECTORY;
        } else {
            struct stat st {};
            if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue; // removed since readdir returned it
            }
            if (S_ISDIR(st.st_mode)) {
                attributes = FILE_ATTRIBUTE_DIRECTORY;
            } else if (S_ISLNK(st.st_mode)) {
                // Described by its target; a dangling link is a file of the link's own size.
                attributes = FILE_ATTRIBUTE_REPARSE_POINT;
                struct stat target {};
                if (fstatat(dirFd, name, &target, 0) != 0) {
                    size = static_cast<std::uint64_t>(st.st_size);
                } else if (S_ISDIR(target.st_mode)) {
                    attributes |= FILE_ATTRIBUTE_DIRECTORY;
                } else {
                    size = static_cast<std::uint64_t>(target.st_size);
                }
            } else {
                size = static_cast<std::uint64_t>(st.st_size);
            }
        }

        setName(found, name);
        if (name[0] == '.' || (!hiddenNames_.empty() && hiddenNames_.count(found.cFileName) != 0)) {
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        }
        if (onVfat_) {
            attributes |= fatAttributes(dirFd, name);
        }
        found.dwFileAttributes = attributes;
        found.fileSize = size;
        return true;
    }
    return false;
}

// Reads the folder's ".hidden" file (one name per line) once, when the listing opens.
void DirectoryListing::loadHiddenList() {
    hiddenNames_.clear();
    int fd = openat(dirfd(dir_), ".hidden", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::size_t length = end - start;
        if (length > 0 && text[start + length - 1] == '\r') {
            --length;
        }
        if (length > 0) {
            hiddenNames_.emplace(text, start, length);
        }
        start = end + 1;
    }
}

} // namespace pelmora
