#include "setup/install_manifest.h"

#include "platform/core/atomic_file.h"
#include "platform/core/descriptor.h"

#include <QCryptographicHash>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

constexpr const char* kHeader = "# Install manifest 1";
// A manifest lists a few dozen files; anything far larger is not one.
constexpr std::size_t kManifestCap = 4 << 20;

// A path on one line: backslash, tab, newline and carriage return as two-character escapes.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) {
            return fields;
        }
        at = tab + 1;
    }
}

bool isHexDigest(const std::string& text) {
    if (text.size() != 64) {
        return false;
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// One line of the manifest into `manifest`; false when it is not a valid line.
bool takeLine(const std::string& line, InstallManifest& manifest) {
    const std::vector<std::string> fields = fieldsOf(line);
    const auto path = unescaped(fields.back());
    if (!path) {
        return false;
    }
    if (fields[0] == "file" && fields.size() == 4 && isContainedPath(*path) &&
        isHexDigest(fields[2])) {
        ManifestFile file{*path, 0, fields[2]};
        const auto [end, error] =
            std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), file.size);
        if (error != std::errc() || end != fields[1].data() + fields[1].size()) {
            return false;
        }
        manifest.files.push_back(std::move(file));
        return true;
    }
    if (fields[0] == "folder" && fields.size() == 2 && isContainedPath(*path)) {
        manifest.folders.push_back(*path);
        return true;
    }
    if (fields[0] == "created" && fields.size() == 2 && path->starts_with("/")) {
        manifest.createdParents.push_back(*path);
        return true;
    }
    return false;
}

} // namespace

const ManifestFile* InstallManifest::find(const std::string& path) const {
    for (const ManifestFile& file : files) {
        if (file.path == path) {
            return &file;
        }
    }
    return nullptr;
}

std::string manifestText(const InstallManifest& manifest) {
    std::string text = std::string(kHeader) + "\n";
    for (const std::string& parent : manifest.createdParents) {
        text += "created\t" + escaped(parent) + "\n";
    }
    for (const std::string& folder : manifest.folders) {
        text += "folder\t" + escaped(folder) + "\n";
    }
    for (const ManifestFile& file : manifest.files) {
        text += "file\t" + std::to_string(file.size) + "\t" + file.sha256 + "\t" +
                escaped(file.path) + "\n";
    }
    return text;
}

std::optional<InstallManifest> parseManifest(const std::string& text) {
    InstallManifest manifest;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            return std::nullopt; // cut short
        }
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (first ? line != kHeader : !takeLine(line, manifest)) {
            return std::nullopt;
        }
        first = false;
    }
    if (first) {
        return std::nullopt;
    }
    return manifest;
}

std::optional<InstallManifest> readManifest(const std::string& folder) {
    const Descriptor fd(::open((folder + "/" + kManifestName).c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uint64_t>(status.st_size) > kManifestCap) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return std::nullopt;
        }
        got += static_cast<std::size_t>(n);
    }
    return parseManifest(text);
}

bool writeManifest(const std::string& folder, const InstallManifest& manifest) {
    // The atomic writer follows a symbolic link at the name: a link there goes first, so the
    // list can only ever land in the program folder.
    const std::string path = folder + "/" + kManifestName;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
        ::unlink(path.c_str()) != 0) {
        return false;
    }
    return writeFileAtomically(path, manifestText(manifest));
}

bool isContainedPath(const std::string& path) {
    if (path.empty() || path.starts_with("/")) {
        return false;
    }
    std::size_t at = 0;
    for (;;) {
        const std::size_t slash = path.find('/', at);
        const std::string part = path.substr(at, slash == std::string::npos ? slash : slash - at);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
        at = slash + 1;
    }
}

std::optional<ManifestFile> fingerprintOf(int fd) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buffer(1 << 16);
    ManifestFile file;
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        hash.addData(QByteArrayView(buffer.data(), got));
        offset += got;
        file.size += static_cast<std::uint64_t>(got);
    }
    file.sha256 = hash.result().toHex().toStdString();
    return file;
}

int openFolderBelow(int root, const std::string& relative) {
    int fd = ::fcntl(root, F_DUPFD_CLOEXEC, 0);
    std::size_t at = 0;
    while (fd >= 0 && at < relative.size()) {
        std::size_t slash = relative.find('/', at);
        if (slash == std::string::npos) {
            slash = relative.size();
        }
        const std::string part = relative.substr(at, slash - at);
        at = slash + 1;
        if (part.empty()) {
            continue;
        }
        const int next =
            ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int saved = errno;
        ::close(fd);
        errno = saved;
        fd = next;
    }
    return fd;
}

} // namespace pelmora
