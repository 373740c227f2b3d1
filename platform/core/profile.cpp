#include "profile.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace pelmora {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

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

// An ini file held as its lines, so that a writer can change one value and keep the order,
// comments and spacing of everything else. Each line is classified once when it is read.
class IniFile {
public:
    // Reads the file; false when it cannot be opened.
    bool load(const std::string& path) {
        lines_.clear();
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return false;
        }
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            std::string_view line(text.data() + start, end - start);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            lines_.push_back(classify(line));
            start = end + 1;
        }
        return true;
    }

    // The value of the first `key` in the first section named `section`.
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const {
        std::size_t begin = findSection(section);
        if (begin == kNone) {
            return std::nullopt;
        }
        for (std::size_t i = begin + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
            const Line& line = lines_[i];
            if (line.kind == Kind::Entry && equalsIgnoringCase(line.name, key)) {
                return std::string_view(line.value);
            }
        }
        return std::nullopt;
    }

private:
    enum class Kind { Section, Entry, Other };
    struct Line {
        std::string text; // the line as read, without its line end
        Kind kind = Kind::Other;
        std::string name;  // section name or key, trimmed
        std::string value; // value of an entry, trimmed
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    static Line classify(std::string_view raw) {
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

    // Index of the first header line of `section`, or kNone.
    std::size_t findSection(std::string_view section) const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].kind == Kind::Section && equalsIgnoringCase(lines_[i].name, section)) {
                return i;
            }
        }
        return kNone;
    }

    std::vector<Line> lines_;
};

} // namespace

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
        found = ini.value(section, key);
    }
    return cutUtf8(found ? *found : std::string_view(defaultText), capacity - 1);
}

} // namespace pelmora
