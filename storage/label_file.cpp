#include "storage/label_file.h"

#include "platform/core/atomic_file.h"
#include "platform/core/message.h"
#include "platform/core/regular_file.h"
#include "storage/image_loader.h"
#include "storage/label_block.h"
#include "storage/line_io.h"
#include "storage/object_record.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <unistd.h>
#include <vector>

namespace pelmora {
namespace {

// Fewest bytes a catalog entry can take in any file: two text lines of one byte each, then
// four numbers, each with at least one separator except perhaps the last one of the file.
constexpr std::size_t kMinEntryBytes = 8;
// Entries reserved ahead of reading; beyond that the array grows with what is really read.
constexpr std::size_t kEntriesReservedAhead = 4096;

// Bytes the catalog and objects will take, closely enough to size the buffer once.
std::size_t estimatedFileBytes(const VAROINFO& node) {
    std::size_t bytes = 16;
    for (const FileEntry& entry : node.entries) {
        bytes +=
            strnlen(entry.name, kNameCapacity) + strnlen(entry.sizeText, kSizeTextCapacity) + 40;
        if (entry.child) {
            bytes += estimatedFileBytes(*entry.child);
        }
    }
    for (const PlacedObject& object : node.objects) {
        bytes += kObjectRecordBytes + object.dib.size();
    }
    return bytes;
}

// The six lines of one entry, without its node.
void writeEntryLines(LineWriter& out, const FileEntry& entry) {
    out.dottedText(std::string_view(entry.name, strnlen(entry.name, kNameCapacity)));
    out.dottedText(std::string_view(entry.sizeText, strnlen(entry.sizeText, kSizeTextCapacity)));
    out.unsignedNumber(entry.size);
    // The file says "a node follows" exactly when one is written.
    out.number(entry.hasChild != 0 ? 1 : 0);
    out.number(entry.open);
    out.number(entry.align);
}

void writeNode(LineWriter& out, const VAROINFO& node) {
    out.number(node.entryCount());
    for (const FileEntry& entry : node.entries) {
        writeEntryLines(out, entry);
        if (entry.hasChild != 0) {
            if (entry.child) {
                writeNode(out, *entry.child);
            } else {
                out.number(0);
            }
        }
    }
}

// What is left of the catalog's memory cap while a catalog is read.
struct CatalogBudget {
    std::uint64_t bytesLeft = catalogByteCap();

    bool take(LineReader& in, std::size_t bytes) {
        if (bytes > bytesLeft) {
            in.fail("catalog larger than a label can hold");
            return false;
        }
        bytesLeft -= bytes;
        return true;
    }
};

void readNode(LineReader& in, VAROINFO& node, int depth, CatalogBudget& budget) {
    std::int32_t count = 0;
    if (!in.readCount(count, kMinEntryBytes)) {
        return;
    }
    node.entries.reserve(std::min(static_cast<std::size_t>(count), kEntriesReservedAhead));
    for (std::int32_t i = 0; i < count && in.ok(); ++i) {
        if (!budget.take(in, sizeof(FileEntry))) {
            return;
        }
        FileEntry& entry = node.entries.emplace_back();
        in.readDottedText(entry.name);
        in.readDottedText(entry.sizeText);
        std::int64_t size = 0;
        if (in.readFigure(size)) {
            entry.size = static_cast<std::uint64_t>(size);
        }
        std::int32_t hasChild = 0;
        if (in.readInt32(hasChild)) {
            entry.hasChild = hasChild != 0 ? 1 : 0;
        }
        in.readInt32(entry.open);
        in.readInt32(entry.align);
        if (entry.hasChild != 0) {
            // The node exists even when the file ends before its count, so every entry
            // that says it has a child has one.
            entry.child = std::make_unique<VAROINFO>();
            if (depth + 1 >= kMaxCatalogDepth) {
                in.fail("catalog nested too deep");
                return;
            }
            if (!budget.take(in, sizeof(VAROINFO))) {
                return;
            }
            readNode(in, *entry.child, depth + 1, budget);
        }
    }
}

void writeObjects(LineWriter& out, const VAROINFO& label) {
    out.number(label.objectCount());
    for (const PlacedObject& object : label.objects) {
        const ObjectRecordImage record = encodeObjectRecord(object);
        out.bytes(record);
        if (object.kind == OBJECT_IMAGE) {
            out.bytes(object.dib);
        }
    }
}

void readObjects(LineReader& in, VAROINFO& label, int version, LabelFileLoad& result) {
    const ObjectRecordLayout layout = objectRecordLayoutForVersion(version);
    const std::size_t recordBytes = objectRecordBytes(layout);
    std::int32_t count = 0;
    if (!in.readCount(count, recordBytes)) {
        return;
    }
    // More placed objects than anyone puts on a label (each one is over 8 KB in memory,
    // whatever the size of its record in an old file).
    if (static_cast<std::size_t>(count) > kMaxPlacedObjects) {
        in.fail("more placed objects than a label can hold");
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        std::span<const std::uint8_t> record;
        if (!in.readBytes(recordBytes, record)) {
            return;
        }
        PlacedObject object;
        const ObjectRecordStatus status = decodeObjectRecord(record, layout, object);
        if (status == ObjectRecordStatus::Unreadable) {
            in.fail("placed object record that cannot be read");
            return;
        }
        if (status == ObjectRecordStatus::UnknownKind) {
            ++result.droppedObjects;
            continue;
        }
        if (status == ObjectRecordStatus::Image) {
            std::vector<std::uint8_t> block;
            if (!in.readBytes(imageBlockBytes(object), block)) {
                return;
            }
            if (!attachImageBlock(object, std::move(block))) {
                // The bytes were all there, so reading goes on; the picture is unusable.
                ++result.droppedObjects;
                continue;
            }
        }
        label.objects.push_back(std::move(object));
    }
}

// Bytes after the last placed object mean a count was damaged into a smaller one; saving
// what was read would lose them. Blanks, line ends, NULs and a DOS end-of-file mark that
// some tools leave at the end are no damage.
void checkNothingFollows(LineReader& in, std::span<const std::uint8_t> bytes) {
    for (std::size_t at = in.offset(); in.ok() && at < bytes.size(); ++at) {
        const std::uint8_t c = bytes[at];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0' && c != 0x1A) {
            std::span<const std::uint8_t> padding;
            in.readBytes(at - in.offset(), padding); // the failure names the first such byte
            in.fail("data after the last placed object");
        }
    }
}

// The line heights in a file are only what the fonts measured when it was saved; the program
// measures them again after loading. Until then they must not overflow the layout.
void keepLineHeightsSane(VAROINFO& label) {
    for (std::int32_t* height :
         {&label.fileFontHeight, &label.folderFontHeight, &label.commentFontHeight}) {
        *height = std::clamp(*height, -kOutlineLimit, kOutlineLimit);
    }
}

} // namespace

std::string encodeLabelFile(const VAROINFO& label) {
    std::string bytes;
    bytes.reserve(estimatedFileBytes(label) + 8192);
    LineWriter out(bytes);
    out.number(kLabelFileVersion);
    writeLabelBlock(out, label);
    writeNode(out, label);
    writeObjects(out, label);
    return bytes;
}

namespace {

// The version code of the number read first, -1 when there was none.
int versionCode(LineReader& in) {
    double number = 0;
    if (!in.readDecimal(number)) {
        return -1;
    }
    // "1.6" was the oldest layout; every later one wrote a whole number.
    if (std::trunc(number * 10) == kVersion16) {
        return kVersion16;
    }
    const double whole = std::trunc(number);
    if (whole >= kFirstUnreadableVersion) {
        return kFirstUnreadableVersion;
    }
    return whole < 0 ? 0 : static_cast<int>(whole);
}

} // namespace

int labelFileVersion(std::span<const std::uint8_t> bytes) {
    LineReader in(bytes);
    return versionCode(in);
}

bool isReadableLabelFileVersion(int version) {
    return version >= 0 && version < kFirstUnreadableVersion;
}

LabelFileLoad decodeLabelFile(std::span<const std::uint8_t> bytes, VAROINFO& label) {
    LabelFileLoad result;
    clearLabel(label);
    LineReader in(bytes);
    result.version = versionCode(in);
    if (!isReadableLabelFileVersion(result.version)) {
        result.status = LabelFileStatus::VersionRefused;
        result.problem = result.version < 0 ? "no version number" : "version too new";
        return result;
    }
    result.status = LabelFileStatus::Loaded;
    readLabelBlock(in, label, result.version);
    CatalogBudget budget;
    readNode(in, label, 0, budget);
    readObjects(in, label, result.version, result);
    checkNothingFollows(in, bytes);
    keepLineHeightsSane(label);
    label.layoutValid = 0;
    result.complete = in.ok();
    result.problem = in.failure();
    result.problemOffset = in.failureOffset();
    return result;
}

LabelFileLoad loadLabelFile(const std::string& path, VAROINFO& label, WhenRefused whenRefused) {
    std::string text;
    if (!readRegularFile(path, labelFileByteCap(), text)) {
        LabelFileLoad result;
        result.status = LabelFileStatus::CannotOpen;
        result.problem = regularFileProblem(errno);
        return result;
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    if (whenRefused == WhenRefused::LabelKept) {
        const int version = labelFileVersion(bytes);
        if (!isReadableLabelFileVersion(version)) {
            LabelFileLoad result;
            result.status = LabelFileStatus::VersionRefused;
            result.version = version;
            result.problem = version < 0 ? "no version number" : "version too new";
            return result;
        }
    }
    return decodeLabelFile(bytes, label);
}

namespace {

// A catalog walked as the reader will read it: its bytes in the file, its memory as the
// reader counts it, and the first thing the reader would refuse.
struct CatalogMeasure {
    std::string scratch;
    std::uint64_t fileBytes = 0;
    std::uint64_t memoryBytes = 0;
    std::string problem;

    void refuse(const char* why) {
        if (problem.empty()) {
            problem = why;
        }
    }
};

void measureNode(const VAROINFO& node, int depth, CatalogMeasure& measure) {
    LineWriter out(measure.scratch);
    measure.scratch.clear();
    out.number(node.entryCount());
    measure.fileBytes += measure.scratch.size();
    if (node.entries.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        measure.refuse("a folder of the catalog holds more entries than a label file can hold");
    }
    for (const FileEntry& entry : node.entries) {
        measure.memoryBytes += kCatalogEntryCost;
        if (entry.size > kMaxEntrySize) {
            measure.refuse("a size in the catalog is larger than a label file can hold");
        }
        measure.scratch.clear();
        writeEntryLines(out, entry);
        measure.fileBytes += measure.scratch.size();
        if (entry.hasChild == 0) {
            continue;
        }
        measure.memoryBytes += kCatalogNodeCost;
        if (depth + 1 >= kMaxCatalogDepth) {
            // Nothing below is read back; its bytes no longer matter.
            measure.refuse("the catalog is nested deeper than a label file can hold");
            continue;
        }
        if (entry.child) {
            measureNode(*entry.child, depth + 1, measure);
        } else {
            measure.fileBytes += 2; // "0" and its line end
        }
    }
}

std::uint64_t objectFileBytes(const PlacedObject& object) {
    return kObjectRecordBytes + (object.kind == OBJECT_IMAGE ? object.dib.size() : 0);
}

// Everything but the catalog: version line, label block, object count and objects.
std::uint64_t fileBytesBesideCatalog(const VAROINFO& label) {
    std::string scratch;
    LineWriter out(scratch);
    out.number(kLabelFileVersion);
    writeLabelBlock(out, label);
    out.number(label.objectCount());
    std::uint64_t bytes = scratch.size();
    for (const PlacedObject& object : label.objects) {
        bytes += objectFileBytes(object);
    }
    return bytes;
}

std::string tooLargeProblem(std::uint64_t bytes) {
    return "the label file would take " + std::to_string(bytes) +
           " bytes; label files are read back up to " + std::to_string(labelFileByteCap()) +
           " bytes";
}

} // namespace

std::uint64_t labelFileBytes(const VAROINFO& label) {
    CatalogMeasure catalog;
    measureNode(label, 0, catalog);
    return fileBytesBesideCatalog(label) + catalog.fileBytes;
}

std::string labelFileProblem(const VAROINFO& label) {
    if (label.objects.size() > kMaxPlacedObjects) {
        return "the label has " + std::to_string(label.objects.size()) +
               " placed objects; a label file holds at most " + std::to_string(kMaxPlacedObjects);
    }
    if (label.extStyles.size() > kMaxExtensionStyles) {
        return "the label has more extension styles than a label file can hold";
    }
    for (const PlacedObject& object : label.objects) {
        if (object.kind == OBJECT_IMAGE && (object.dib.size() > kMaxDibBlockBytes ||
                                            !checkDib(object.fileHeader, object.dib).empty())) {
            return "a picture on the label cannot be read back from a label file";
        }
    }
    CatalogMeasure catalog;
    measureNode(label, 0, catalog);
    if (!catalog.problem.empty()) {
        return catalog.problem;
    }
    if (catalog.memoryBytes > catalogByteCap()) {
        return "the catalog is larger than a label file can hold";
    }
    const std::uint64_t bytes = fileBytesBesideCatalog(label) + catalog.fileBytes;
    if (bytes > labelFileByteCap()) {
        return tooLargeProblem(bytes);
    }
    return {};
}

std::string objectAdditionProblem(const VAROINFO& label, const PlacedObject& object) {
    if (label.objects.size() >= kMaxPlacedObjects) {
        return "The label already holds " + std::to_string(kMaxPlacedObjects) +
               " placed objects, the most a label file can hold.";
    }
    // One more object may also lengthen the count line by a digit.
    const std::uint64_t bytes = labelFileBytes(label) + objectFileBytes(object) + 1;
    if (bytes > labelFileByteCap()) {
        return "The label cannot take this object: " + tooLargeProblem(bytes) + ".";
    }
    return {};
}

bool saveLabelFile(const std::string& path, const VAROINFO& label, std::string* problem) {
    // A label the reader would refuse or cut short is not written: the old file stays.
    const std::string refused = labelFileProblem(label);
    if (!refused.empty()) {
        if (problem) {
            *problem = refused;
        }
        reportMessage(mainWindowHandle(),
                      "Error Saving Body\n\nThe label was not saved: " + refused + ".",
                      "Disk Error", MB_ICONERROR);
        return false;
    }
    std::string reason;
    if (writeFileAtomically(path, encodeLabelFile(label), &reason)) {
        return true;
    }
    // The system's reason (a missing folder, no permission, a full disk) tells the user what
    // to do about it.
    reportMessage(mainWindowHandle(), "Error Saving Body\n\n" + path + "\n" + reason, "Disk Error",
                  MB_ICONERROR);
    if (problem) {
        *problem = reason;
    }
    return false;
}

} // namespace pelmora
