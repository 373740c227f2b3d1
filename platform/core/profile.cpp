#include "profile.h"

#include "ini_file.h"
#include "platform/core/ascii.h"
#include "platform/core/atomic_file.h"
#include "platform/core/descriptor.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora {

namespace {

std::string_view trimmed(std::string_view text) {
    const char* blanks = " \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// Cuts text to at most maxBytes bytes without splitting a UTF-8 sequence.
std::string cutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return std::string(text);
    }
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut));
}

std::string nonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

bool IniFile::load(const std::string& path) {
    lines_.clear();
    crlf_ = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT;
    }
    Descriptor file(fd);
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false; // also a folder given as the path
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (lines_.empty()) {
                crlf_ = true;
            }
        }
        lines_.push_back(classify(line));
        start = end + 1;
    }
    return true;
}

std::optional<std::string_view> IniFile::get(std::string_view section, std::string_view key) const {
    std::size_t header = findSection(section);
    if (header == kNone) {
        return std::nullopt;
    }
    std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Entry && equalsIgnoringAsciiCase(line.name, key)) {
            return std::string_view(line.value);
        }
    }
    return std::nullopt;
}

bool IniFile::set(std::string_view section, std::string_view key,
                  std::optional<std::string_view> value) {
    section = trimmed(section);
    key = trimmed(key);
    if (hasLineBreak(section) || section.find(']') != std::string_view::npos || hasLineBreak(key) ||
        key.empty() || key.find('=') != std::string_view::npos || key.front() == '[' ||
        key.front() == ';' || (value && hasLineBreak(*value))) {
        return false;
    }

    std::size_t header = findSection(section);
    if (header == kNone) {
        if (!value) {
            return true; // nothing to remove
        }
        if (!lines_.empty() && !trimmed(lines_.back().text).empty()) {
            lines_.push_back(Line{}); // a blank line before the new section
        }
        header = lines_.size();
        lines_.push_back(classify("[" + std::string(section) + "]"));
    }

    std::size_t end = sectionEnd(header);
    std::size_t lastEntry = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != Kind::Entry) {
            continue;
        }
        if (equalsIgnoringAsciiCase(line.name, key)) {
            if (!value) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                line.text = line.name + "=" + std::string(*value);
                line.value = std::string(trimmed(*value));
            }
            return true;
        }
        lastEntry = i;
    }
    if (value) {
        Line line = classify(std::string(key) + "=" + std::string(*value));
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1), std::move(line));
    }
    return true;
}

std::string IniFile::text() const {
    const char* lineEnd = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += lineEnd;
    }
    return text;
}

bool IniFile::save(const std::string& path) const {
    return writeFileAtomically(path, text());
}

IniFile::Line IniFile::classify(std::string_view raw) {
    Line line;
    line.text = std::string(raw);
    std::string_view text = trimmed(raw);
    if (text.empty() || text.front() == ';') {
        return line;
    }
    if (text.front() == '[') {
        std::size_t close = text.find(']');
        if (close != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = std::string(trimmed(text.substr(1, close - 1)));
        }
        return line;
    }
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return line;
    }
    line.kind = Kind::Entry;
    line.name = std::string(trimmed(text.substr(0, equals)));
    line.value = std::string(trimmed(text.substr(equals + 1)));
    return line;
}

std::size_t IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && equalsIgnoringAsciiCase(lines_[i].name, section)) {
            return i;
        }
    }
    return kNone;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section) {
        ++i;
    }
    return i;
}

std::string windowsFolder() {
    std::string folder = nonEmptyEnv("PELMORA_WINDIR");
    if (!folder.empty()) {
        return folder;
    }
    folder = nonEmptyEnv("XDG_CONFIG_HOME");
    if (!folder.empty()) {
        return folder;
    }
    std::string home = nonEmptyEnv("HOME");
    if (home.empty()) {
        // No $HOME (started from a service): fall back to the account's home folder.
        if (const passwd* account = getpwuid(getuid()); account != nullptr) {
            home = account->pw_dir;
        }
    }
    return home + "/.config";
}

std::string profilePath(const std::string& fileName) {
    return windowsFolder() + "/" + fileName;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultText, std::size_t capacity,
                                    const std::string& iniPath) {
    if (capacity == 0) {
        return {};
    }
    IniFile ini;
    std::optional<std::string_view> found;
    if (ini.load(iniPath)) {
        found = ini.get(section, key);
    }
    return cutUtf8(found ? *found : std::string_view(defaultText), capacity - 1);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               std::optional<std::string_view> value, const std::string& iniPath) {
    IniFile ini;
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    if (!ini.load(iniPath)) {
        return false;
    }
    if (!value && !ini.get(section, key)) {
        return true; // nothing to remove; a missing file is not created for it
    }
    return ini.set(section, key, value) && ini.save(iniPath);
}

} // namespace pelmora
