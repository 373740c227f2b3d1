#include "catalog/archive_reader.h"

#include "platform/core/message.h"
#include "platform/core/wintypes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace pelmora {
namespace {

// ZIP: the end-of-central-directory record is looked for between 22 and 2047 bytes before
// the end of the file; 21 of its 22 bytes are read (the comment length is not needed).
constexpr std::int64_t kZipMinimumLength = 23;
constexpr std::int64_t kZipEndRecordMinDistance = 22;
constexpr std::int64_t kZipEndRecordMaxDistance = 2047;
constexpr std::size_t kZipEndRecordBytes = 21;
constexpr std::array<std::uint8_t, 4> kZipEndSignature = {0x50, 0x4B, 0x05, 0x06};
constexpr std::size_t kZipEndCountOffset = 8;
constexpr std::size_t kZipEndDirectoryOffset = 16;

constexpr std::size_t kZipHeaderBytes = 46;
constexpr std::size_t kZipUncompressedSizeOffset = 24;
constexpr std::size_t kZipNameLengthOffset = 28;
constexpr std::size_t kZipExtraLengthOffset = 30;
constexpr std::size_t kZipCommentLengthOffset = 32;

// ARJ: every header starts with the id 0x60 0xEA and a 16-bit basic-header size.
constexpr std::uint8_t kArjIdFirst = 0x60;
constexpr std::uint8_t kArjIdSecond = 0xEA;
constexpr std::size_t kArjHeaderStartBytes = 4;
constexpr std::size_t kArjMaxBasicHeader = 2600;
constexpr std::size_t kArjTrailerBytes = 6; // CRC-32 + extended-header size
constexpr std::uint64_t kArjExtendedHeaderCrcBytes = 4;
constexpr std::size_t kArjCompressedSizeOffset = 12;
constexpr std::size_t kArjUncompressedSizeOffset = 16;
constexpr std::size_t kArjMinimumBasicHeader = 20; // must hold both sizes

std::uint16_t readLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readLe32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A stored name as the find record carries it: up to the first NUL, and at most 259 bytes,
// cut before a UTF-8 sequence rather than through it.
std::string boundedName(const std::uint8_t* text, std::size_t length) {
    const char* chars = reinterpret_cast<const char*>(text);
    char name[kFindNameCapacity];
    copyTruncatedUtf8(name, sizeof name, chars, strnlen(chars, length));
    return name;
}

void reportMember(FindData& found, std::string name, std::uint32_t uncompressedSize) {
    found.dwFileAttributes = 0; // members are listed as plain files
    found.fileSize = uncompressedSize;
    found.cFileName = std::move(name);
}

} // namespace

bool ArchiveReader::openArchive(const std::string& archivePath, ArchiveMode mode) {
    openMode_ = mode;
    archiveFile_.reset();
    fileLength_ = 0;
    position_ = 0;
    readFailed_ = false;
    zipEntriesLeft_ = 0;
    // Only regular files are archives. A folder named like one opens but is not one, and
    // opening a named pipe without O_NONBLOCK would wait for a writer forever.
    const int fd = ::open(archivePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    archiveFile_.reset(fdopen(fd, "rb"));
    if (!archiveFile_) {
        ::close(fd);
        return false;
    }
    fileLength_ = static_cast<std::int64_t>(status.st_size);
    return true;
}

void ArchiveReader::closeArchive() {
    if (!archiveFile_) {
        if (openMode_ == ArchiveMode::Zip) {
            reportBadStuff(".ZIP file null for FIND_CLOSE!");
        } else if (openMode_ == ArchiveMode::Arj) {
            reportBadStuff(".ARJ file null for FIND_CLOSE!");
        }
    }
    archiveFile_.reset();
    fileLength_ = 0;
    position_ = 0;
    readFailed_ = true;
    zipEntriesLeft_ = 0;
}

void ArchiveReader::archiveClose() {
    closeArchive();
}

bool ArchiveReader::readBytes(std::uint8_t* dest, std::size_t count) {
    if (readFailed_ || !archiveFile_ ||
        count > static_cast<std::uint64_t>(fileLength_ - position_)) {
        readFailed_ = true;
        return false;
    }
    if (count > 0 && std::fread(dest, 1, count, archiveFile_.get()) != count) {
        readFailed_ = true; // the file shrank or could not be read
        return false;
    }
    position_ += static_cast<std::int64_t>(count);
    return true;
}

bool ArchiveReader::seekTo(std::uint64_t offset) {
    if (readFailed_ || !archiveFile_ || offset > static_cast<std::uint64_t>(fileLength_) ||
        fseeko(archiveFile_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
        readFailed_ = true;
        return false;
    }
    position_ = static_cast<std::int64_t>(offset);
    return true;
}

bool ArchiveReader::skipBytes(std::uint64_t count) {
    if (readFailed_ || count > static_cast<std::uint64_t>(fileLength_ - position_)) {
        readFailed_ = true;
        return false;
    }
    return seekTo(static_cast<std::uint64_t>(position_) + count);
}

int ArchiveReader::zipFindFirst(const std::string& archivePath, FindData& found) {
    if (archiveFile_) {
        reportBadStuff(".ZIP file not NULL!");
    }
    if (!openArchive(archivePath, ArchiveMode::Zip)) {
        return kInvalidFindHandle;
    }
    if (fileLength_ < kZipMinimumLength) {
        archiveFile_.reset();
        return kInvalidFindHandle;
    }

    // The record nearest the end wins, as if each distance from 22 up were tried in turn;
    // the tail is read once and searched in memory.
    const std::int64_t tailLength = std::min(fileLength_, kZipEndRecordMaxDistance);
    std::array<std::uint8_t, kZipEndRecordMaxDistance> tail{};
    const std::uint64_t tailStart = static_cast<std::uint64_t>(fileLength_ - tailLength);
    if (!seekTo(tailStart) || !readBytes(tail.data(), static_cast<std::size_t>(tailLength))) {
        archiveFile_.reset();
        return kInvalidFindHandle;
    }
    const std::uint8_t* endRecord = nullptr;
    for (std::int64_t distance = kZipEndRecordMinDistance; distance <= tailLength; ++distance) {
        const std::uint8_t* candidate = tail.data() + (tailLength - distance);
        if (std::equal(kZipEndSignature.begin(), kZipEndSignature.end(), candidate)) {
            endRecord = candidate;
            break;
        }
    }
    if (endRecord == nullptr) {
        archiveFile_.reset();
        return kInvalidFindHandle;
    }
    static_assert(kZipEndDirectoryOffset + 4 <= kZipEndRecordBytes);

    zipEntriesLeft_ = readLe16(endRecord + kZipEndCountOffset);
    // An offset past the end leaves the stream failed: the first member read then fails.
    seekTo(readLe32(endRecord + kZipEndDirectoryOffset));

    if (zipFindNext(found) == 1) {
        return kArchiveFindHandle;
    }
    closeArchive();
    return kInvalidFindHandle;
}

int ArchiveReader::zipFindNext(FindData& found) {
    openMode_ = ArchiveMode::Zip;
    if (!archiveFile_) {
        reportBadStuff(".ZIP file null for FIND_NEXT!");
    }
    if (zipEntriesLeft_ == 0) {
        return 0;
    }
    --zipEntriesLeft_;

    std::array<std::uint8_t, kZipHeaderBytes> header{};
    if (!readBytes(header.data(), header.size())) {
        return 0; // also where a count larger than the directory runs out
    }
    const std::uint16_t nameLength = readLe16(header.data() + kZipNameLengthOffset);
    const std::uint16_t extraLength = readLe16(header.data() + kZipExtraLengthOffset);
    const std::uint16_t commentLength = readLe16(header.data() + kZipCommentLengthOffset);

    // One byte beyond the kept 259 tells whether the cut would split a UTF-8 sequence.
    std::array<std::uint8_t, kFindNameCapacity> name{};
    const std::size_t nameKept = std::min<std::size_t>(nameLength, name.size());
    if (!readBytes(name.data(), nameKept) || !skipBytes(nameLength - nameKept)) {
        return 0;
    }
    reportMember(found, boundedName(name.data(), nameKept),
                 readLe32(header.data() + kZipUncompressedSizeOffset));

    // The next header follows the extra field and the file comment. When they run past the
    // end, this member still counts and the listing ends at the next call.
    skipBytes(static_cast<std::uint64_t>(extraLength) + commentLength);
    return 1;
}

int ArchiveReader::arjFindFirst(const std::string& archivePath, FindData& found) {
    if (archiveFile_) {
        reportBadStuff(".ARJ file not NULL!");
    }
    if (!openArchive(archivePath, ArchiveMode::Arj)) {
        return kInvalidFindHandle;
    }

    // The main archive header: only its length matters, to reach the first member.
    std::array<std::uint8_t, kArjHeaderStartBytes> start{};
    std::array<std::uint8_t, kArjTrailerBytes> trailer{};
    bool mainHeaderSkipped = readBytes(start.data(), start.size()) && start[0] == kArjIdFirst &&
                             start[1] == kArjIdSecond;
    if (mainHeaderSkipped) {
        const std::uint16_t basicSize = readLe16(start.data() + 2);
        mainHeaderSkipped = basicSize <= kArjMaxBasicHeader && skipBytes(basicSize) &&
                            readBytes(trailer.data(), trailer.size());
    }
    if (mainHeaderSkipped) {
        const std::uint16_t extendedSize = readLe16(trailer.data() + 4);
        mainHeaderSkipped =
            extendedSize == 0 || skipBytes(extendedSize + kArjExtendedHeaderCrcBytes);
    }
    if (!mainHeaderSkipped) {
        archiveFile_.reset();
        return kInvalidFindHandle;
    }

    if (arjFindNext(found) == 1) {
        return kArchiveFindHandle;
    }
    closeArchive();
    return kInvalidFindHandle;
}

int ArchiveReader::arjFindNext(FindData& found) {
    openMode_ = ArchiveMode::Arj;
    if (!archiveFile_) {
        reportBadStuff(".ARJ file null for FIND_NEXT!");
    }

    std::array<std::uint8_t, kArjHeaderStartBytes> start{};
    if (!readBytes(start.data(), start.size())) {
        return 0;
    }
    const std::uint16_t basicSize = readLe16(start.data() + 2);
    // A size of 0 is the end of the archive. A wrong id, a header larger than the format
    // allows or too small to hold the sizes means the rest cannot be trusted. Either way
    // nothing more is read from this archive.
    if (start[0] != kArjIdFirst || start[1] != kArjIdSecond || basicSize == 0 ||
        basicSize > kArjMaxBasicHeader || basicSize < kArjMinimumBasicHeader) {
        readFailed_ = true;
        return 0;
    }

    std::array<std::uint8_t, kArjMaxBasicHeader> header{};
    if (!readBytes(header.data(), basicSize)) {
        return 0;
    }
    // The name starts right after the fixed part and must end inside the basic header.
    const std::size_t nameStart = header[0];
    const std::uint8_t* nameEnd = nameStart < basicSize
                                      ? static_cast<const std::uint8_t*>(std::memchr(
                                            header.data() + nameStart, 0, basicSize - nameStart))
                                      : nullptr;
    if (nameEnd == nullptr) {
        readFailed_ = true;
        return 0;
    }
    const std::uint32_t compressedSize = readLe32(header.data() + kArjCompressedSizeOffset);
    reportMember(found,
                 boundedName(header.data() + nameStart,
                             static_cast<std::size_t>(nameEnd - (header.data() + nameStart))),
                 readLe32(header.data() + kArjUncompressedSizeOffset));

    // Move to the next header: past the CRC, the extended header and the member's data. When
    // any of it runs past the end, this member still counts and the listing ends next call.
    std::array<std::uint8_t, kArjTrailerBytes> trailer{};
    if (readBytes(trailer.data(), trailer.size())) {
        const std::uint16_t extendedSize = readLe16(trailer.data() + 4);
        if (extendedSize != 0) {
            skipBytes(extendedSize + kArjExtendedHeaderCrcBytes);
        }
    }
    skipBytes(compressedSize);
    return 1;
}

} // namespace pelmora
