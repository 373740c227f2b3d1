#include "setup/free_space.h"

#include <sys/statvfs.h>

namespace pelmora {

std::uint64_t availableBytesFor(const std::string& folder) {
    std::string path = folder.empty() ? std::string("/") : folder;
    for (;;) {
        struct statvfs fs {};
        if (statvfs(path.c_str(), &fs) == 0) {
            return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
        }
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos || path == "/") {
            return 0;
        }
        path = slash == 0 ? "/" : path.substr(0, slash);
    }
}

std::string kilobytesText(std::uint64_t bytes) {
    return std::to_string(bytes / 1024) + "kB";
}

} // namespace pelmora
