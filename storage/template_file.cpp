#include "storage/template_file.h"

#include "platform/core/ascii.h"
#include "platform/core/atomic_file.h"
#include "platform/core/drives.h"
#include "platform/core/hidden_file.h"
#include "platform/core/message.h"
#include "platform/core/regular_file.h"
#include "storage/image_loader.h"
#include "storage/label_block.h"
#include "storage/label_file.h"
#include "storage/line_io.h"
#include "storage/object_record.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <unistd.h>
#include <unordered_map>

namespace pelmora {
namespace {

struct VersionLine {
    const char* text;
    int code;
};

constexpr std::array<VersionLine, 7> kVersionLines{{
    {"Pelmora - Version 4.0", 40},
    {"Pelmora - Version 3.0", 30},
    {"Pelmora - Version 2.5", 25},
    {"Pelmora - Version 2.0", 20},
    {"Pelmora - Version 1.8", 18},
    {"Pelmora - Version 1.7", 17},
    {"Pelmora - Version 1.6", 16},
}};

// The first code whose strings carry a length and counted characters instead of one line.
constexpr int kCountedTextVersion = 25;
// The first code whose label block carries the disk figures and dates.
constexpr int kFiguresVersion = 25;

// A text line holds at most 254 characters before its line end.
constexpr std::size_t kLineTextCapacity = 255;

// The fewest bytes an object entry can take: seven one-digit numbers with a separator each
// (code 16: an empty path line and four numbers).
constexpr std::size_t kMinObjectEntryBytes = 13;
constexpr std::size_t kMinImageOnlyEntryBytes = 8;

// Text as a NUL-terminated field of `capacity` bytes would hold it: up to the first NUL,
// cut without splitting a UTF-8 sequence.
std::string fieldText(std::string_view text, std::size_t capacity) {
    text = text.substr(0, text.find('\0'));
    if (text.size() < capacity) {
        return std::string(text);
    }
    std::size_t cut = capacity - 1;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut));
}

std::string_view fieldView(const char* field, std::size_t capacity) {
    return std::string_view(field, strnlen(field, capacity));
}

bool hasChildNode(const FileEntry& entry) {
    return entry.hasChild != 0 && entry.child != nullptr;
}

// --- writing ---------------------------------------------------------------------------------

// Pre-order over the folders that were read, each record closed by the marker after the
// records inside it; the walk keeps its own stack, so no tree is too deep for it.
void writeFolderStates(LineWriter& out, const VAROINFO& root) {
    struct Level {
        const VAROINFO* node;
        std::size_t next;
    };
    std::vector<Level> levels{{&root, 0}};
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next >= level.node->entries.size()) {
            out.marker(kTemplateEndMarker);
            levels.pop_back();
            continue;
        }
        const FileEntry& entry = level.node->entries[level.next++];
        if (!hasChildNode(entry)) {
            continue;
        }
        out.dottedText(fieldView(entry.name, sizeof entry.name));
        out.number(entry.open);
        levels.push_back({entry.child.get(), 0});
    }
}

void writeObject(LineWriter& out, const PlacedObject& object) {
    out.number(object.kind);
    out.number(object.page);
    out.number(object.layer);
    out.number(object.left);
    out.number(object.top);
    out.number(object.right);
    out.number(object.bottom);
    if (object.kind == OBJECT_IMAGE) {
        out.plainText(fieldView(object.imagePath, sizeof object.imagePath));
    } else if (object.kind == OBJECT_STRING) {
        const std::string_view text = fieldView(object.text, sizeof object.text);
        out.number(static_cast<std::int64_t>(text.size()));
        out.chars(text);
        out.lineEnd();
        writeFontBlock(out, object.font);
        out.color(object.textColor);
        out.color(object.backColor);
        out.number(object.orientation);
        out.number(object.opaque);
        out.number(object.autoSize);
    }
}

// --- reading ---------------------------------------------------------------------------------

bool toInt32(LineReader& in, std::int64_t number, std::int32_t& value) {
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        in.fail("number beyond 32 bits");
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

// A number whose line is followed by a text line that may be empty: only the rest of its own
// line is skipped.
bool readInt32EndingLine(LineReader& in, std::int32_t& value) {
    std::int64_t number = 0;
    return in.readNumberEndingLine(number) && toInt32(in, number, value);
}

// A whole line that holds one decimal number and nothing else but blanks.
bool parseLineNumber(std::string_view line, std::int64_t& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && blank(line.back())) {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.front() == '+') {
        line.remove_prefix(1);
    }
    const char* end = line.data() + line.size();
    const auto result = std::from_chars(line.data(), end, value);
    return !line.empty() && result.ec == std::errc() && result.ptr == end;
}

// A string's text of code 25 and later: its length L alone on a line, then L characters
// from the start of the next line (leading blanks and line breaks belong to the text).
bool readCountedText(LineReader& in, std::string& text) {
    std::string line;
    if (!in.readLine(line)) {
        return false;
    }
    std::int64_t length = 0;
    if (!parseLineNumber(line, length)) {
        in.fail("no text length where one was expected");
        return false;
    }
    if (length < 0 || static_cast<std::uint64_t>(length) > in.remaining()) {
        in.fail("text length larger than the rest of the file can hold");
        return false;
    }
    return in.readChars(static_cast<std::size_t>(length), text);
}

std::int32_t validPage(std::int32_t page) {
    return page >= 1 && page <= 4 ? page : 1;
}

std::int32_t validLayer(std::int32_t layer) {
    return layer >= LAYER_BELOW && layer <= LAYER_ABOVE ? layer : LAYER_ABOVE;
}

std::int32_t withinOutline(std::int32_t value) {
    return std::clamp(value, -kOutlineLimit, kOutlineLimit);
}

std::int32_t validOrientation(std::int32_t orientation) {
    return orientation == 0 || orientation == 90 || orientation == 180 || orientation == 270
               ? orientation
               : 0;
}

// An entry of code 17 and later. True when it is an image or a string, read completely.
bool readObjectEntry(LineReader& in, int version, TemplateObject& object) {
    std::array<std::int32_t, 6> head{};
    for (std::int32_t& value : head) {
        if (!in.readInt32(value)) {
            return false;
        }
    }
    std::int32_t bottom = 0;
    // An image's path line follows; it is read even when empty.
    if (!(head[0] == OBJECT_IMAGE ? readInt32EndingLine(in, bottom) : in.readInt32(bottom))) {
        return false;
    }
    object.kind = head[0];
    object.page = validPage(head[1]);
    object.layer = validLayer(head[2]);
    object.left = withinOutline(head[3]);
    object.top = withinOutline(head[4]);
    object.right = withinOutline(head[5]);
    object.bottom = withinOutline(bottom);

    if (object.kind == OBJECT_IMAGE) {
        std::string path;
        if (!in.readLine(path)) {
            return false;
        }
        object.imagePath = fieldText(path, kImagePathCapacity);
        return true;
    }
    if (object.kind != OBJECT_STRING) {
        return false; // a kind this program does not know: its seven numbers are all it has
    }
    std::string text;
    if (version >= kCountedTextVersion) {
        if (!readCountedText(in, text)) {
            return false;
        }
    } else {
        if (!in.readLine(text)) {
            return false;
        }
        text.erase(0, text.empty() ? 0 : 1); // the dot
    }
    object.text = fieldText(text, kObjectTextCapacity);
    readFontBlock(in, object.font);
    in.readColor(object.textColor);
    in.readColor(object.backColor);
    std::int32_t orientation = 0;
    std::int32_t opaque = 0;
    std::int32_t autoSize = 0;
    in.readInt32(orientation);
    in.readInt32(opaque);
    in.readInt32(autoSize);
    object.orientation = validOrientation(orientation);
    object.opaque = opaque != 0 ? 1 : 0;
    object.autoSize = autoSize != 0 ? 1 : 0;
    return in.ok();
}

// An entry of code 16: always an image, its path first, then left, top, page and layer.
bool readImageOnlyEntry(LineReader& in, TemplateObject& object) {
    std::string path;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t page = 0;
    std::int32_t layer = 0;
    if (!in.readLine(path) || !in.readInt32(left) || !in.readInt32(top) || !in.readInt32(page) ||
        !in.readInt32(layer)) {
        return false;
    }
    object.kind = OBJECT_IMAGE;
    object.imagePath = fieldText(path, kImagePathCapacity);
    object.left = withinOutline(left);
    object.top = withinOutline(top);
    object.page = validPage(page);
    object.layer = validLayer(layer);
    return true;
}

// Records nest by the markers; the end of the data ends every level.
void readFolderStates(LineReader& in, std::vector<TemplateFolderState>& folders) {
    std::int32_t depth = 0;
    std::string line;
    while (in.readLine(line)) {
        if (line == kTemplateEndMarker) {
            if (depth == 0) {
                return;
            }
            --depth;
            continue;
        }
        std::int32_t open = 0;
        if (!in.readInt32(open)) {
            return;
        }
        TemplateFolderState& folder = folders.emplace_back();
        folder.depth = depth;
        folder.name = fieldText(line.substr(line.starts_with('.') ? 1 : 0), kLineTextCapacity);
        folder.open = open != 0 ? 1 : 0;
        ++depth;
    }
}

void readObjects(LineReader& in, TemplateContents& contents) {
    const bool imagesOnly = contents.version < kTemplateKindVersion;
    std::int32_t count = 0;
    if (!in.readCount(count, imagesOnly ? kMinImageOnlyEntryBytes : kMinObjectEntryBytes)) {
        return;
    }
    contents.objectsRead = true;
    contents.storedObjectCount = count;
    for (std::int32_t i = 0; i < count; ++i) {
        TemplateObject object;
        const bool keep = imagesOnly ? readImageOnlyEntry(in, object)
                                     : readObjectEntry(in, contents.version, object);
        if (!in.ok()) {
            return; // an entry cut short is not kept
        }
        if (keep) {
            contents.objects.push_back(std::move(object));
        }
    }
}

// The disk figures and dates, which only templates of code 25 and later carry.
struct DiskFigures {
    std::int64_t spaceUsed;
    std::int64_t spaceFree;
    std::int64_t spaceTotal;
    std::int32_t fileCount;
    std::int32_t folderCount;
    std::array<char, kShortDateCapacity> shortDate;
    std::array<char, kLongDateCapacity> longDate;
};

DiskFigures figuresOf(const VAROINFO& label) {
    DiskFigures figures{};
    figures.spaceUsed = label.spaceUsed;
    figures.spaceFree = label.spaceFree;
    figures.spaceTotal = label.spaceTotal;
    figures.fileCount = label.fileCount;
    figures.folderCount = label.folderCount;
    std::memcpy(figures.shortDate.data(), label.shortDate, sizeof label.shortDate);
    std::memcpy(figures.longDate.data(), label.longDate, sizeof label.longDate);
    return figures;
}

void restoreFigures(const DiskFigures& figures, VAROINFO& label) {
    label.spaceUsed = figures.spaceUsed;
    label.spaceFree = figures.spaceFree;
    label.spaceTotal = figures.spaceTotal;
    label.fileCount = figures.fileCount;
    label.folderCount = figures.folderCount;
    std::memcpy(label.shortDate, figures.shortDate.data(), sizeof label.shortDate);
    std::memcpy(label.longDate, figures.longDate.data(), sizeof label.longDate);
}

} // namespace

int templateVersionCode(std::string_view firstLine) {
    for (const VersionLine& version : kVersionLines) {
        if (firstLine == version.text) {
            return version.code;
        }
    }
    return 0;
}

std::optional<std::string> templatePath(char drive) {
    return drivePathToFolder(drive, std::string("\\") + kTemplateFileName);
}

std::string encodeTemplate(const VAROINFO& label) {
    std::string bytes;
    LineWriter out(bytes, LineEnds::CrLf);
    out.marker(kTemplateVersionLine);
    writeFolderStates(out, label);
    out.number(label.objectCount());
    for (const PlacedObject& object : label.objects) {
        writeObject(out, object);
    }
    writeLabelBlock(out, label);
    return bytes;
}

TemplateContents decodeTemplate(std::string_view bytes, VAROINFO& block) {
    TemplateContents contents;
    LineReader in(bytes, LineEnds::CrLf);
    std::string line;
    in.readLine(line);
    contents.firstLine = fieldText(line, kLineTextCapacity);
    contents.version = templateVersionCode(line);
    if (contents.version == 0) {
        contents.problem = "first line is no template version";
        return contents;
    }
    readFolderStates(in, contents.folders);
    if (in.ok()) {
        readObjects(in, contents);
    }
    if (in.ok() && !in.atEnd()) {
        // Only a reader with something left may start the block: it gives lines an older
        // version lacks their defaults even when nothing is read.
        contents.labelBlockStarted = true;
        contents.labelBlockRead = readLabelBlock(in, block, contents.version);
    }
    if (!in.ok()) {
        contents.problem = in.failure();
        contents.problemOffset = in.failureOffset();
    } else if (!contents.labelBlockStarted) {
        contents.problem = "end of data where the label block was expected";
        contents.problemOffset = bytes.size();
    }
    return contents;
}

std::optional<std::string> loadTemplateBytes(const std::string& path) {
    // A pipe given the template's name must not hold up a disk read.
    std::string bytes;
    if (!readRegularFile(path, kMaxTemplateBytes, bytes)) {
        return std::nullopt;
    }
    return bytes;
}

bool writeTemplateFile(const std::string& path, const VAROINFO& label, std::string* problem) {
    if (!writeFileAtomically(path, encodeTemplate(label), problem)) {
        return false;
    }
    SetFileHidden(path);
    return true;
}

TemplateReadStatus readTemplateFile(const std::string& path, VAROINFO& label) {
    const std::optional<std::string> bytes = loadTemplateBytes(path);
    if (!bytes) {
        return TemplateReadStatus::NoFile;
    }
    std::array<char, kCommentCapacity> comment{};
    std::memcpy(comment.data(), label.comment, sizeof label.comment);
    const DiskFigures figures = figuresOf(label);

    const TemplateContents contents = decodeTemplate(*bytes, label);
    if (contents.version == 0) {
        reportMessage(mainWindowHandle(),
                      "Template \"" + contents.firstLine + "\" Version Not Supported!",
                      "Template Error", MB_OK | MB_ICONERROR);
        return TemplateReadStatus::VersionRefused;
    }
    // The comment belongs to the label, not to its design; figures and dates only come from
    // templates that carry them, the rest are the scan's.
    std::memcpy(label.comment, comment.data(), sizeof label.comment);
    if (contents.version < kFiguresVersion) {
        restoreFigures(figures, label);
    }
    applyFolderStates(contents.folders, label);
    const TemplateObjectsApplied applied = applyTemplateObjects(contents, label);
    if (applied.overLimit > 0) {
        reportMessage(mainWindowHandle(),
                      std::to_string(applied.overLimit) +
                          (applied.overLimit == 1 ? " object" : " objects") +
                          " of the template left out: the label would be larger than a label "
                          "file can hold.",
                      "Template Error", MB_OK | MB_ICONWARNING);
    }
    label.layoutValid = 0;
    return TemplateReadStatus::Applied;
}

bool WriteTemplate(char drive, const VAROINFO& label, std::string* problem) {
    const std::optional<std::string> path = templatePath(drive);
    if (!path) {
        if (problem) {
            *problem = std::string("Drive ") + drive + ": is not mapped to a folder.";
        }
        return false;
    }
    std::string reason;
    if (writeTemplateFile(*path, label, &reason)) {
        return true;
    }
    if (problem) {
        *problem = *path + "\n" + reason;
    }
    return false;
}

TemplateReadStatus ReadTemplate(char drive, VAROINFO& label) {
    const std::optional<std::string> path = templatePath(drive);
    return path ? readTemplateFile(*path, label) : TemplateReadStatus::NoFile;
}

void ApplyDiskTemplate(VAROINFO& label, char drive) {
    // The template carries the label's design; the disk's figures, dates and volume name are
    // those the scan just read, not those of the day the template was written.
    const DiskFigures scanned = figuresOf(label);
    std::array<char, kVolumeNameCapacity> volumeName{};
    std::memcpy(volumeName.data(), label.volumeName, sizeof label.volumeName);
    if (ReadTemplate(drive, label) == TemplateReadStatus::Applied) {
        restoreFigures(scanned, label);
        std::memcpy(label.volumeName, volumeName.data(), sizeof label.volumeName);
    }
}

} // namespace pelmora
