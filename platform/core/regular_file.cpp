#include "regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace pelmora {

Descriptor openRegularFile(const std::string& path, std::uint64_t& size) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return fd;
    }
    struct stat status {};
    if (fstat(fd.get(), &status) != 0) {
        return Descriptor(-1);
    }
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : ENODEV;
        return Descriptor(-1);
    }
    // Reads of a regular file never block; the flag only mattered for the open.
    fcntl(fd.get(), F_SETFL, fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    size = static_cast<std::uint64_t>(status.st_size);
    return fd;
}

bool readRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes) {
    bytes.clear();
    std::uint64_t size = 0;
    const Descriptor fd = openRegularFile(path, size);
    if (!fd.valid()) {
        return false;
    }
    if (size > maxBytes) {
        errno = EFBIG;
        return false;
    }
    // One byte more than allowed is asked for, so a file that grew is noticed.
    bytes.resize(static_cast<std::size_t>(std::min(size, maxBytes) + 1));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) {
                bytes.clear();
                errno = EFBIG;
                return false;
            }
            bytes.resize(std::min<std::uint64_t>(maxBytes + 1, bytes.size() * 2));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            bytes.clear();
            errno = error;
            return false;
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxBytes) {
        bytes.clear();
        errno = EFBIG;
        return false;
    }
    bytes.resize(filled);
    return true;
}

std::string regularFileProblem(int error) {
    switch (error) {
    case ENODEV:
        return "not a regular file";
    case EFBIG:
        return "file too large";
    default:
        return std::strerror(error);
    }
}

} // namespace pelmora
