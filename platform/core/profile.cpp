#include "profile.h"

#include "ini_file.h"
#include "platform/core/ascii.h"
#include "platform/core/atomic_file.h"
#include "platform/core/regular_file.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <unistd.h>
#include <utility>
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

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = asciiLower(c);
    }
    return lower;
}

} // namespace

bool IniFile::load(const std::string& path) {
    sections_.assign(1, Section{});
    firstSection_.clear();
    crlf_ = false;
    std::string text;
    if (!readRegularFile(path, kMaxIniBytes, text)) {
        // A missing file is an empty one; a folder, pipe or device, or a file far larger
        // than any settings file, is one that cannot be read.
        return errno == ENOENT;
    }
    bool firstLine = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            crlf_ = crlf_ || firstLine;
        }
        firstLine = false;
        append(classify(line));
        start = end + 1;
    }
    for (Section& section : sections_) {
        section.index();
    }
    return true;
}

void IniFile::append(Line line) {
    if (line.kind == Kind::Section) {
        firstSection_.emplace(lowerAscii(line.name), sections_.size());
        Section& section = sections_.emplace_back();
        section.hasHeader = true;
        section.header = std::move(line);
    } else {
        sections_.back().lines.push_back(std::move(line));
    }
}

void IniFile::Section::index() {
    firstEntry.clear();
    entriesEnd = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Entry) {
            firstEntry.emplace(lowerAscii(lines[i].name), i);
            entriesEnd = i + 1;
        }
    }
}

const IniFile::Section* IniFile::findSection(std::string_view section) const {
    const auto found = firstSection_.find(lowerAscii(section));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

IniFile::Section* IniFile::findSection(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).findSection(section));
}

std::optional<std::string_view> IniFile::get(std::string_view section, std::string_view key) const {
    const Section* found = findSection(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const auto entry = found->firstEntry.find(lowerAscii(key));
    if (entry == found->firstEntry.end()) {
        return std::nullopt;
    }
    return std::string_view(found->lines[entry->second].value);
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

    Section* target = findSection(section);
    if (target == nullptr) {
        if (!value) {
            return true; // nothing to remove
        }
        const Section& last = sections_.back();
        const std::string& lastText =
            last.lines.empty() ? last.header.text : last.lines.back().text;
        if ((last.hasHeader || !last.lines.empty()) && !trimmed(lastText).empty()) {
            sections_.back().lines.push_back(Line{}); // a blank line before the new section
        }
        append(classify("[" + std::string(section) + "]"));
        target = &sections_.back();
    }

    const auto entry = target->firstEntry.find(lowerAscii(key));
    if (entry != target->firstEntry.end()) {
        Line& line = target->lines[entry->second];
        if (!value) {
            target->lines.erase(target->lines.begin() + static_cast<std::ptrdiff_t>(entry->second));
            target->index();
        } else {
            line.text = line.name + "=" + std::string(*value);
            line.value = std::string(trimmed(*value));
        }
        return true;
    }
    if (value) {
        Line line = classify(std::string(key) + "=" + std::string(*value));
        const std::size_t at = target->entriesEnd;
        target->firstEntry.emplace(lowerAscii(line.name), at);
        target->lines.insert(target->lines.begin() + static_cast<std::ptrdiff_t>(at),
                             std::move(line));
        ++target->entriesEnd;
    }
    return true;
}

std::string IniFile::text() const {
    const char* lineEnd = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            text += section.header.text;
            text += lineEnd;
        }
        for (const Line& line : section.lines) {
            text += line.text;
            text += lineEnd;
        }
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
