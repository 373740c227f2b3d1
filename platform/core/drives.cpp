#include "drives.h"

#include "profile.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace pelmora {

namespace {

constexpr int kLetters = 26;

struct Mount {
    std::string folder; // mount point
    std::string source; // device or other source named in the mount table
};

// Folders given by setDriveFolder, per letter; empty = none.
std::mutex sessionMutex;
std::array<std::string, kLetters> sessionFolders;

std::optional<int> letterIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter < 'A' || letter > 'Z') {
        return std::nullopt;
    }
    return letter - 'A';
}

// Drops trailing slashes, keeping "/" itself.
std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

// The mount table escapes blanks, tabs, newlines and backslashes as \ooo.
std::string decodeOctalEscapes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7' &&
            text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0' && text[i + 3] <= '7') {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// udev names the by-label links with \xHH escapes ("MY\x20DISK").
std::string decodeHexEscapes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            hexDigit(text[i + 2]) >= 0 && hexDigit(text[i + 3]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The mounts of this process, in mount order.
std::vector<Mount> readMounts() {
    std::vector<Mount> mounts;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mount-point options [optional...] - fstype source super
        std::istringstream fields(line);
        std::string id, parent, device, root, folder, field;
        if (!(fields >> id >> parent >> device >> root >> folder)) {
            continue;
        }
        while (fields >> field && field != "-") {
        }
        std::string type, source;
        fields >> type >> source;
        mounts.push_back({decodeOctalEscapes(folder), decodeOctalEscapes(source)});
    }
    return mounts;
}

std::string userName() {
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
        return user;
    }
    if (const passwd* account = getpwuid(getuid()); account != nullptr) {
        return account->pw_name;
    }
    return {};
}

// Mounted media: mount points directly below /media/$USER, /run/media/$USER or /mnt, and /mnt
// itself, each once, in mount order.
std::vector<std::string> mediaFolders() {
    std::string user = userName();
    std::vector<std::string> roots = {"/mnt"};
    if (!user.empty()) {
        roots.insert(roots.begin(), {"/media/" + user, "/run/media/" + user});
    }
    std::vector<std::string> folders;
    for (const Mount& mount : readMounts()) {
        bool media = mount.folder == "/mnt";
        for (const std::string& root : roots) {
            if (mount.folder.size() > root.size() + 1 &&
                mount.folder.compare(0, root.size(), root) == 0 &&
                mount.folder[root.size()] == '/' &&
                mount.folder.find('/', root.size() + 1) == std::string::npos) {
                media = true;
            }
        }
        bool seen = false;
        for (const std::string& folder : folders) {
            seen = seen || folder == mount.folder;
        }
        if (media && !seen) {
            folders.push_back(mount.folder);
        }
    }
    return folders;
}

std::string sessionFolder(int index) {
    std::lock_guard lock(sessionMutex);
    return sessionFolders[index];
}

std::string environmentFolder(int index) {
    std::string name = "PELMORA_DRIVE_";
    name += static_cast<char>('A' + index);
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? std::string(value) : std::string();
}

std::string iniFolder(int index, const std::string& iniPath) {
    std::string key(1, static_cast<char>('A' + index));
    return GetPrivateProfileString("Drives", key, "", PATH_MAX, iniPath);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The folder one letter names by explicit choice: setDriveFolder, then the environment, then
// the [Drives] section; empty when none of them names one.
std::string explicitFolder(int index, const std::string& iniPath, bool iniPresent) {
    std::string folder = sessionFolder(index);
    if (folder.empty()) {
        folder = environmentFolder(index);
    }
    if (folder.empty() && iniPresent) {
        folder = iniFolder(index, iniPath);
    }
    return folder;
}

// The whole letter map. Mounted media take the letters from A that no explicit mapping claims
// (Z stays for "/"), so a configured letter never hides a medium.
std::array<std::string, kLetters> driveMap() {
    std::string iniPath = profilePath("Pelmora.ini");
    bool iniPresent = fileExists(iniPath);
    std::array<std::string, kLetters> map;
    for (int i = 0; i < kLetters; ++i) {
        map[i] = explicitFolder(i, iniPath, iniPresent);
    }
    int next = 0;
    for (const std::string& folder : mediaFolders()) {
        while (next < kLetters - 1 && !map[next].empty()) {
            ++next;
        }
        if (next >= kLetters - 1) {
            break;
        }
        map[next++] = folder;
    }
    if (map[kLetters - 1].empty()) {
        map[kLetters - 1].assign(1, '/');
    }
    for (std::string& folder : map) {
        if (!folder.empty()) {
            folder = withoutTrailingSlash(std::move(folder));
        }
    }
    return map;
}

// Bit i set for every letter of `map` that names an existing folder.
std::uint32_t presentDrives(const std::array<std::string, kLetters>& map) {
    std::uint32_t bits = 0;
    for (int i = 0; i < kLetters; ++i) {
        struct stat st {};
        if (!map[i].empty() && stat(map[i].c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            bits |= 1u << i;
        }
    }
    return bits;
}

std::string realPath(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

// The label of the file system mounted at `folder`, when the folder is a mount point whose
// device has a /dev/disk/by-label link.
std::optional<std::string> mountLabel(const std::string& folder) {
    std::string where = realPath(folder);
    if (where.empty()) {
        return std::nullopt;
    }
    std::string source;
    for (const Mount& mount : readMounts()) {
        if (mount.folder == where) {
            source = mount.source; // the last mount on a folder is the visible one
        }
    }
    if (source.empty() || source.front() != '/') {
        return std::nullopt;
    }
    std::string device = realPath(source);
    if (device.empty()) {
        return std::nullopt;
    }
    const std::string byLabel = "/dev/disk/by-label";
    DIR* dir = opendir(byLabel.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> label;
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (realPath(byLabel + "/" + name) == device) {
            label = decodeHexEscapes(name);
            break;
        }
    }
    closedir(dir);
    return label;
}

} // namespace

std::optional<std::string> driveFolder(char letter) {
    std::optional<int> index = letterIndex(letter);
    if (!index) {
        return std::nullopt;
    }
    // An explicit mapping decides alone, so the common case (a folder named by
    // setDriveFolder or the environment) reads no file at all.
    std::string folder = sessionFolder(*index);
    if (folder.empty()) {
        folder = environmentFolder(*index);
    }
    if (folder.empty()) {
        folder = driveMap()[*index];
    }
    if (folder.empty()) {
        return std::nullopt;
    }
    return withoutTrailingSlash(std::move(folder));
}

void setDriveFolder(char letter, const std::string& folder) {
    if (std::optional<int> index = letterIndex(letter)) {
        std::lock_guard lock(sessionMutex);
        sessionFolders[*index] = folder;
    }
}

std::uint32_t GetLogicalDrives() {
    return presentDrives(driveMap());
}

char firstRunDriveLetter() {
    const std::array<std::string, kLetters> map = driveMap();
    const std::uint32_t present = presentDrives(map);
    for (const std::string& medium : mediaFolders()) {
        const std::string folder = withoutTrailingSlash(medium);
        for (int i = 0; i < kLetters; ++i) {
            if ((present & (1u << i)) != 0 && map[i] == folder) {
                return static_cast<char>('A' + i);
            }
        }
    }
    for (int i = 0; i < kLetters; ++i) {
        if ((present & (1u << i)) != 0) {
            return static_cast<char>('A' + i);
        }
    }
    return 'Z';
}

std::optional<DiskSpace> GetDiskFreeSpace(char letter) {
    std::optional<std::string> folder = driveFolder(letter);
    if (!folder) {
        return std::nullopt;
    }
    struct statvfs fs {};
    if (statvfs(folder->c_str(), &fs) != 0) {
        return std::nullopt;
    }
    DiskSpace space;
    space.totalBytes =
        static_cast<std::int64_t>(fs.f_blocks) * static_cast<std::int64_t>(fs.f_frsize);
    space.freeBytes =
        static_cast<std::int64_t>(fs.f_bavail) * static_cast<std::int64_t>(fs.f_frsize);
    return space;
}

std::optional<std::string> GetVolumeInformation(char letter) {
    std::optional<std::string> folder = driveFolder(letter);
    if (!folder) {
        return std::nullopt;
    }
    if (std::optional<std::string> label = mountLabel(*folder)) {
        return label;
    }
    std::size_t slash = folder->find_last_of('/');
    return slash == std::string::npos ? *folder : folder->substr(slash + 1);
}

std::optional<std::string> drivePathToFolder(char letter, const std::string& pathBelowRoot) {
    std::optional<std::string> folder = driveFolder(letter);
    if (!folder) {
        return std::nullopt;
    }
    std::string path = *folder;
    std::string below = pathBelowRoot;
    for (char& c : below) {
        if (c == '\\') {
            c = '/';
        }
    }
    // Join with exactly one slash: the root "/" already ends with one.
    std::size_t start = below.find_first_not_of('/');
    if (start != std::string::npos) {
        if (path.back() != '/') {
            path += '/';
        }
        path.append(below, start, std::string::npos);
    }
    return withoutTrailingSlash(std::move(path));
}

} // namespace pelmora
