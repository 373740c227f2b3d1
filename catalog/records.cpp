#include "catalog/records.h"

#include "catalog/ordering.h"
#include "platform/core/dates.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace pelmora {

FileEntry::FileEntry(const FileEntry& other)
    : size(other.size), hasChild(other.hasChild),
      child(other.child ? copyTree(*other.child) : nullptr), open(other.open), align(other.align) {
    std::memcpy(name, other.name, sizeof name);
    std::memcpy(sizeText, other.sizeText, sizeof sizeText);
}

FileEntry& FileEntry::operator=(const FileEntry& other) {
    if (this != &other) {
        FileEntry copy(other);
        *this = std::move(copy);
    }
    return *this;
}

FileEntry::~FileEntry() = default;

LabelSet::LabelSet() {
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i].labelNumber = static_cast<std::int32_t>(i + 1);
    }
}

void CatalogSettings::addPattern(const char* pattern) {
    std::array<char, kPatternCapacity> stored{};
    std::size_t i = 0;
    for (; pattern[i] != '\0' && i + 1 < kPatternCapacity; ++i) {
        stored[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(pattern[i])));
    }
    excludePatterns.push_back(stored);
}

void invalidateDisplayLines(VAROINFO& label) {
    label.lineEntries.clear();
    label.lineCount = 0;
    label.layoutValid = 0;
}

std::string storedPattern(std::string_view typed) {
    if (!typed.empty() && typed.front() == '*') {
        typed.remove_prefix(1);
    }
    std::string text(typed);
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    std::array<char, kPatternCapacity> stored{};
    copyTruncatedUtf8(stored.data(), stored.size(), text.c_str(), text.size());
    return stored.data();
}

void freeTree(VAROINFO& node) {
    // The display lines point into the entries about to go: a paint from a nested event loop
    // (a message box) before the next layout must not follow them.
    invalidateDisplayLines(node);
    for (FileEntry& entry : node.entries) {
        if (entry.child) {
            freeTree(*entry.child);
            entry.child.reset();
        }
    }
    node.entries.clear();
    node.entries.shrink_to_fit();
}

std::unique_ptr<VAROINFO> copyTree(const VAROINFO& node) {
    auto copy = std::make_unique<VAROINFO>(node);
    // Display lines point into the source's entries; the copy builds its own.
    copy->lineEntries.clear();
    copy->lineCount = 0;
    copy->layoutValid = 0;
    return copy;
}

void stampToday(VAROINFO& label) {
    copyTruncatedUtf8(label.shortDate, shortDateToday().c_str());
    std::string longDate = longDateToday();
    copyTruncatedUtf8(label.longDate, kLongDateMaxChars + 1, longDate.c_str(), longDate.size());
}

void clearLabel(VAROINFO& label) {
    freeTree(label);
    label.layoutValid = 0;
    label.objects.clear();
    label.objects.shrink_to_fit();
    label.extStyles.clear();
    label.extStyles.shrink_to_fit();
    label.lineEntries = {};
    label.lineDepths = {};
    label.lineTreeMasks = {};
    label.lineStemLengths = {};
    label.lineStyleIndexes = {};
    label.lineCount = 0;
    label.volumeName[0] = '\0';
    stampToday(label);
    label.spaceUsed = 0;
    label.spaceFree = 0;
    label.spaceTotal = 0;
    label.fileCount = 0;
    label.folderCount = 0;
}

static void countNode(const VAROINFO& node, VAROINFO& label) {
    for (const FileEntry& entry : node.entries) {
        if (entry.hasChild) {
            ++label.folderCount;
            if (entry.child) {
                countNode(*entry.child, label);
            }
        } else {
            ++label.fileCount;
        }
    }
}

void countEntries(VAROINFO& label) {
    label.fileCount = 0;
    label.folderCount = 0;
    countNode(label, label);
}

void copyFormat(const VAROINFO& source, VAROINFO& target) {
    target.sortMode = source.sortMode;
    target.direction = source.direction;
    target.columns = source.columns;
    target.lined = source.lined;
    target.showSize = source.showSize;
    target.showExt = source.showExt;
    target.showComment = source.showComment;
    target.showLogo = source.showLogo;
    target.opposing = source.opposing;
    target.fileColor = source.fileColor;
    target.fileFont = source.fileFont;
    target.fileFontHeight = source.fileFontHeight;
    target.folderColor = source.folderColor;
    target.folderFont = source.folderFont;
    target.folderFontHeight = source.folderFontHeight;
    target.commentColor = source.commentColor;
    target.commentFont = source.commentFont;
    target.commentFontHeight = source.commentFontHeight;
    target.spineColor = source.spineColor;
    target.spineFont = source.spineFont;
    target.spineAlign = source.spineAlign;
    target.colorLogo = source.colorLogo;
    if (&source != &target) {
        target.extStyles = source.extStyles;
    }
    // The target's display lines index the replaced style array.
    target.layoutValid = 0;
}

LOGFONTA defaultPointFont(int tenthsOfPoint, bool bold, double windowScale) {
    // A screen in device pixels at 96 dpi: the size in tenths of a device pixel, rounded to
    // whole pixels and made negative (a character height).
    constexpr int kScreenDpi = 96;
    int scaledTenths = static_cast<int>(windowScale * tenthsOfPoint);
    int tenthsOfPixel = kScreenDpi * scaledTenths / 72;
    LOGFONTA font;
    font.lfHeight = static_cast<std::int32_t>(-0.5 - std::abs(tenthsOfPixel) / 10.0);
    font.lfWeight = bold ? FW_BOLD : 0;
    font.lfClipPrecision = CLIP_LH_ANGLES;
    std::strcpy(font.lfFaceName, "Arial");
    return font;
}

void resetFormat(VAROINFO& label, double windowScale) {
    label.columns = 2;
    label.lined = 1;
    label.sortMode = 1;
    label.direction = 1;
    label.showSize = 1;
    label.showExt = 1;
    label.showComment = 1;
    label.showLogo = 1;
    label.lblFmt = 0;
    label.opposing = 0;
    label.bodyBackColor = 0xFFFFFF;
    label.fileColor = 0;
    label.folderColor = 0;
    label.commentColor = 0;
    label.spineColor = 0;
    label.spineBackColor = 0xFFFFFF;
    label.spineAlign = 0;
    label.colorLogo = 0;
    std::strcpy(label.comment, kDefaultComment);
    label.extStyles.clear();
    label.fileFont = defaultPointFont(80, false, windowScale);
    label.commentFont = defaultPointFont(80, false, windowScale);
    label.folderFont = defaultPointFont(80, true, windowScale);
    label.spineFont = defaultPointFont(140, false, windowScale);
    sortLabel(label);
    label.layoutValid = 0;
}

} // namespace pelmora
