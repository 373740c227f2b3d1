#pragma once
// The label record (which is also the directory-node record of a catalog tree), its file
// entries and extension styles, the set of four labels and the catalog settings.

#include "catalog/placed_object.h"
#include "platform/core/wintypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

constexpr std::size_t kNameCapacity = 64;     // 63 characters + NUL
constexpr std::size_t kSizeTextCapacity = 16; // 15 characters + NUL
constexpr std::size_t kVolumeNameCapacity = 64;
constexpr std::size_t kCommentCapacity = 256;
constexpr std::size_t kShortDateCapacity = 64;
constexpr std::size_t kLongDateCapacity = 128;
constexpr std::size_t kLongDateMaxChars = 63; // written with at most 63 characters
constexpr std::size_t kExtensionCapacity = 8;
constexpr std::size_t kPatternCapacity = 32;

constexpr const char* kDefaultComment = "%spacefree% free, %spaceused% used  (%shortdate%)";

struct VAROINFO;

// One line of a directory: a file, a folder or an archive. Copying an entry copies the
// child node it owns, so a copied tree shares nothing owned with its source.
struct FileEntry {
    char name[kNameCapacity] = {};
    char sizeText[kSizeTextCapacity] = {};
    std::uint64_t size = 0; // bytes; 64-bit so that files above 4 GB keep their size
    std::int32_t hasChild = 0;
    std::unique_ptr<VAROINFO> child;
    std::int32_t open = 0;
    std::int32_t align = 0; // 0 left, 1 centre, 2 right

    FileEntry() = default;
    FileEntry(const FileEntry& other);
    FileEntry& operator=(const FileEntry& other);
    FileEntry(FileEntry&&) noexcept = default;
    FileEntry& operator=(FileEntry&&) noexcept = default;
    ~FileEntry();
};

// A label's display lines name a line's extension style in one byte, 255 meaning none, so a
// label has at most 255 extension styles; readers leave out any beyond.
constexpr std::size_t kMaxExtensionStyles = 255;

struct ExtensionStyle {
    char extension[kExtensionCapacity] = {}; // upper case, no dot
    COLORREF color = 0;
    LOGFONTA font;
};

// A label, and also a directory node of a label's catalog tree. In a directory node only
// `entries` has meaning (and `sortMode`/`direction`, copied in while sorting).
struct VAROINFO {
    std::int32_t labelNumber = 0;
    std::vector<FileEntry> entries;
    char volumeName[kVolumeNameCapacity] = {};
    char comment[kCommentCapacity] = {};
    std::int32_t sortMode = 1;
    std::int32_t direction = 1;
    std::int32_t columns = 2;
    std::int32_t showSize = 1;
    std::int32_t showExt = 1;
    std::int32_t showComment = 1;
    std::int32_t showLogo = 1;
    std::int32_t lblFmt = 0;
    std::int32_t opposing = 0;
    std::int32_t lined = 1;
    // Space figures in bytes, 64-bit: today's media pass 2 GB.
    std::int64_t spaceUsed = 0;
    std::int64_t spaceFree = 0;
    std::int64_t spaceTotal = 0;
    char shortDate[kShortDateCapacity] = {};
    char longDate[kLongDateCapacity] = {};
    std::int32_t fileCount = 0;
    std::int32_t folderCount = 0;
    COLORREF bodyBackColor = 0xFFFFFF;
    COLORREF fileColor = 0;
    LOGFONTA fileFont;
    std::int32_t fileFontHeight = 0;
    COLORREF folderColor = 0;
    LOGFONTA folderFont;
    std::int32_t folderFontHeight = 0;
    COLORREF commentColor = 0;
    LOGFONTA commentFont;
    std::int32_t commentFontHeight = 0;
    COLORREF spineColor = 0;
    COLORREF spineBackColor = 0xFFFFFF;
    LOGFONTA spineFont;
    std::int32_t spineAlign = 0;
    std::int32_t colorLogo = 0;
    std::vector<PlacedObject> objects;
    std::vector<ExtensionStyle> extStyles;

    // Display lines of the catalog, built by the file-list layout; owned by the label.
    std::vector<const FileEntry*> lineEntries;
    std::vector<std::int8_t> lineDepths;
    std::vector<std::uint32_t> lineTreeMasks;
    std::vector<std::uint8_t> lineStemLengths;
    std::vector<std::uint8_t> lineStyleIndexes;
    std::int32_t lineCount = 0;
    std::int32_t layoutValid = 0;

    // Face placement in 0.01 inch, y up (labelHeight is negative).
    std::int32_t labelLeft = 0;
    std::int32_t labelTop = 0;
    std::int32_t labelWidth = 0;
    std::int32_t labelHeight = 0;

    std::int32_t entryCount() const { return static_cast<std::int32_t>(entries.size()); }
    std::int32_t objectCount() const { return static_cast<std::int32_t>(objects.size()); }
    std::int32_t extStyleCount() const { return static_cast<std::int32_t>(extStyles.size()); }
};

// The four labels of the document and the one commands act on.
struct LabelSet {
    std::array<VAROINFO, 4> labels;
    std::int32_t currentLabelIndex = 0;

    LabelSet();
    VAROINFO& current() { return labels[static_cast<std::size_t>(currentLabelIndex)]; }
    const VAROINFO& current() const { return labels[static_cast<std::size_t>(currentLabelIndex)]; }
};

constexpr std::int32_t kAllLevels = 15;

// What the scanner reads and how (program-wide settings kept by the settings store).
struct CatalogSettings {
    char driveLetter = 'A';
    std::int32_t scanLevels = kAllLevels; // 0 root, 1-4, 15 all; negative = folders only
    std::int32_t dirInfoMode = 0;         // 0 "[dir]", 1 entry count, 2 size
    std::int32_t scanArchives = 0;
    std::int32_t excludeMode = 1; // 1 exclude matching files, 0 include only matching
    std::vector<std::array<char, kPatternCapacity>> excludePatterns; // upper case
    std::int32_t useTemplateFiles = 0;

    std::int32_t excludeCount() const { return static_cast<std::int32_t>(excludePatterns.size()); }
    // Stores a pattern upper-cased and cut to 31 characters.
    void addPattern(const char* pattern);
};

// A pattern as the user typed it, made into the form the list stores: a leading '*' dropped,
// ASCII letters upper-cased (the scanner compares them without case), cut to 31 bytes without
// splitting a UTF-8 sequence. Empty when nothing is left; an empty pattern is not stored.
// The Exclude/Include dialog and the command line both add patterns through it.
std::string storedPattern(std::string_view typed);

// Empties a label: catalog, objects, styles and display lines; the volume name becomes empty,
// the dates today's, the figures 0. Comment, format group, backgrounds and lblFmt stay.
void clearLabel(VAROINFO& label);

// Sets shortDate and longDate to today's date in the user's formats.
void stampToday(VAROINFO& label);

// Frees every child node below `node` and its entries, marking its display lines stale.
void freeTree(VAROINFO& node);

// Drops the display lines (they point into the catalog) so that the next paint rebuilds them.
// Anything that releases or reorders a label's entries calls this before anything can paint.
void invalidateDisplayLines(VAROINFO& label);

// An independent deep copy of a node or label.
std::unique_ptr<VAROINFO> copyTree(const VAROINFO& node);

// Sets fileCount and folderCount of a label from its tree.
void countEntries(VAROINFO& label);

// Copies the format group (sort keys, columns, display flags, fonts, colours, extension
// styles) from one label to another.
void copyFormat(const VAROINFO& source, VAROINFO& target);

// Sets the format group and the comment to the defaults and re-sorts the tree. The default
// fonts are Arial made for a 96-dpi screen at the given window scale.
void resetFormat(VAROINFO& label, double windowScale = 1.0);

// The default point font: Arial at `tenthsOfPoint`, built for a 96-dpi device in pixels at
// the window scale.
LOGFONTA defaultPointFont(int tenthsOfPoint, bool bold, double windowScale);

} // namespace pelmora
