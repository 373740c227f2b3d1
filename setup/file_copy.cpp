#include "setup/file_copy.h"

#include "platform/core/descriptor.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora {

namespace {

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copyContents(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got))) {
            return false;
        }
    }
}

} // namespace

bool copyFileReplacing(const std::string& source, const std::string& target, int mode) {
    Descriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (from.get() < 0 || ::fstat(from.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    std::string temporary = target + ".XXXXXX";
    Descriptor to(::mkstemp(temporary.data()));
    if (to.get() < 0) {
        return false;
    }
    const mode_t permissions = mode >= 0 ? static_cast<mode_t>(mode) : (status.st_mode & 07777);
    const bool copied = copyContents(from.get(), to.get()) &&
                        ::fchmod(to.get(), permissions) == 0 && ::fsync(to.get()) == 0;
    if (!to.close() || !copied || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace pelmora
