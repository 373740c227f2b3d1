#pragma once
// An ini file held in memory line by line, for reading and changing many keys with one read
// and one write. Section and key names compare without regard to ASCII case; every line the
// program does not change (comments, blank lines, unknown sections, spacing) is written back
// as it was read. The single-key calls of profile.h are built on this class, which is
// implemented next to them in profile.cpp.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelmora {

// Larger ini files are refused as unreadable; the program's own is a few kilobytes.
constexpr std::uint64_t kMaxIniBytes = std::uint64_t{16} << 20;

class IniFile {
public:
    // Reads `path`. A file that does not exist loads as an empty ini and counts as success (a
    // first write creates it); false when the file exists but cannot be read (also a folder,
    // pipe or device, or a file larger than kMaxIniBytes), and the object is then empty. Lines may
    // end in LF or CR LF; the style of the first line is kept for saving.
    bool load(const std::string& path);

    // The value of the first `key` in the first section named `section`, trimmed of blanks;
    // nullopt when the section or the key is missing.
    std::optional<std::string_view> get(std::string_view section, std::string_view key) const;

    // Gives `key` of `section` the value. An existing key keeps its line (and so its place
    // and the spelling of its name) and gets the new value; a new key goes after the last
    // key of its section; a missing section is added at the end of the file. nullopt removes
    // the key instead. Names are trimmed of blanks. False, with nothing changed, when a name
    // or the value cannot be stored as one line: a line break anywhere, "=" in a key, "]" in
    // a section name, an empty key or a key starting with "[" or ";".
    bool set(std::string_view section, std::string_view key, std::optional<std::string_view> value);

    // The file's text as save() writes it.
    std::string text() const;

    // Writes the file without ever leaving a damaged one behind: the text goes to a new
    // temporary file in the same folder, every write is checked, the data is flushed to the
    // disk and the temporary file is then renamed over `path`. On any failure (read-only
    // folder or file, full disk, ...) the temporary file is removed, the previous file is left
    // exactly as it was and the result is false. A `path` that is a symbolic link keeps the
    // link: its target is replaced. A new file gets 0666 less the umask, a replaced one keeps its
    // mode.
    bool save(const std::string& path) const;

private:
    enum class Kind { Section, Entry, Other };
    struct Line {
        std::string text; // the line as it is written, without its line end
        Kind kind = Kind::Other;
        std::string name;  // section name or key, trimmed
        std::string value; // value of an entry, trimmed
    };
    // The lines from one section header up to the next, with indexes so that finding a key
    // does not walk the file (settings are read and written a few hundred keys at a time).
    struct Section {
        bool hasHeader = false; // false only for the lines before the first header
        Line header;
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> firstEntry; // lower-cased key -> line
        std::size_t entriesEnd = 0; // one past the last entry; new keys go there

        void index();
    };

    static Line classify(std::string_view raw);
    void append(Line line);
    // The first section named `section`, or nullptr.
    Section* findSection(std::string_view section);
    const Section* findSection(std::string_view section) const;

    std::vector<Section> sections_ = std::vector<Section>(1);   // [0]: before the first header
    std::unordered_map<std::string, std::size_t> firstSection_; // lower-cased name -> section
    bool crlf_ = false;
};

} // namespace pelmora
