#include "catalog/archive_reader.h"

#include "catalog/catalog_limits.h"
#include "catalog/stored_names.h"
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
constexpr std::uint16_t kZipCountInZip64 = 0xFFFF;
constexpr std::uint32_t kZipValueInZip64 = 0xFFFFFFFF;

// ZIP64: a 20-byte locator right before the classic end record points at a larger end record
// that carries the 64-bit member count and directory offset.
constexpr std::size_t kZip64LocatorBytes = 20;
constexpr std::array<std::uint8_t, 4> kZip64LocatorSignature = {0x50, 0x4B, 0x06, 0x07};
constexpr std::size_t kZip64LocatorRecordOffset = 8;
constexpr std::size_t kZip64EndBytes = 56;
constexpr std::array<std::uint8_t, 4> kZip64EndSignature = {0x50, 0x4B, 0x06, 0x06};
constexpr std::size_t kZip64EndCountOffset = 24;
constexpr std::size_t kZip64EndDirectoryOffset = 48;
// The extra-field block that holds a member's 64-bit sizes; the uncompressed size comes first.
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::size_t kZipExtraBlockHeaderBytes = 4;

constexpr std::size_t kZipHeaderBytes = 46;
constexpr std::size_t kZipFlagsOffset = 8;
constexpr std::uint16_t kZipUtf8NameFlag = 0x0800; // general-purpose bit 11
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
constexpr std::size_t kArjHostOsOffset = 3;
constexpr std::size_t kArjFlagsOffset = 4;
constexpr std::uint8_t kArjAnsiPageFlag = 0x02; // main header, written by the Windows ARJ
// Hosts whose ARJ writes names in the DOS OEM page: MS-DOS, OS/2, Windows 95 and Win32.
constexpr std::array<std::uint8_t, 4> kArjOemHosts = {0, 5, 10, 11};
constexpr std::uint8_t kArjFirstWindowsHost = 10;

std::uint64_t memberCap = kArchiveMemberCap;

constexpr std::size_t kSkipByReading = 4096;

std::uint16_t readLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readLe32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint64_t readLe64(const std::uint8_t* bytes) {
    return readLe32(bytes) | (static_cast<std::uint64_t>(readLe32(bytes + 4)) << 32);
}

// A stored name as the find record carries it: up to the first NUL, made UTF-8 from the
// archive's code page, and at most 259 bytes, cut before a UTF-8 sequence rather than
// through it. The conversion comes first, so the cut always falls between characters.
std::string boundedName(const char* stored, std::size_t length, LegacyCodePage page) {
    std::string text = storedNameToUtf8(std::string_view(stored, strnlen(stored, length)), page);
    if (text.size() >= kFindNameCapacity) {
        char name[kFindNameCapacity];
        copyTruncatedUtf8(name, sizeof name, text.data(), text.size());
        text = name;
    }
    return text;
}

// The code page of an ARJ member's name, from the host it was archived on.
LegacyCodePage arjCodePage(std::uint8_t hostOs, bool ansiPage) {
    if (std::find(kArjOemHosts.begin(), kArjOemHosts.end(), hostOs) == kArjOemHosts.end()) {
        return LegacyCodePage::None;
    }
    return ansiPage && hostOs >= kArjFirstWindowsHost ? LegacyCodePage::Windows1252
                                                      : LegacyCodePage::Oem437;
}

// The 64-bit uncompressed size from a ZIP64 extra-field block, or `fallback` without one.
std::uint64_t zip64UncompressedSize(const std::string& extra, std::uint64_t fallback) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(extra.data());
    std::size_t at = 0;
    while (extra.size() - at >= kZipExtraBlockHeaderBytes) {
        const std::uint16_t id = readLe16(bytes + at);
        const std::size_t length = readLe16(bytes + at + 2);
        at += kZipExtraBlockHeaderBytes;
        if (length > extra.size() - at) {
            break;
        }
        if (id == kZip64ExtraId && length >= 8) {
            return readLe64(bytes + at);
        }
        at += length;
    }
    return fallback;
}

void reportMember(FindData& found, std::string name, std::uint64_t uncompressedSize) {
    found.dwFileAttributes = 0; // members are listed as plain files
    // A label file holds sizes as signed 64-bit numbers; a ZIP64 size may claim more.
    found.fileSize = std::min(uncompressedSize, kMaxEntrySize);
    found.cFileName = std::move(name);
}

} // namespace

std::uint64_t replaceArchiveMemberCap(std::uint64_t cap) {
    const std::uint64_t previous = memberCap;
    memberCap = cap;
    return previous;
}

bool ArchiveReader::openArchive(const std::string& archivePath, ArchiveMode mode) {
    openMode_ = mode;
    archiveFile_.reset();
    fileLength_ = 0;
    position_ = 0;
    readFailed_ = false;
    zipEntriesLeft_ = 0;
    membersListed_ = 0;
    arjAnsiPage_ = false;
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
    // A ZIP's central directory is one run of headers: a larger buffer means fewer system
    // calls. ARJ headers lie between the members' data, where every seek refills the buffer,
    // so ARJ keeps the small default. The C library takes a size only with a buffer.
    if (mode == ArchiveMode::Zip) {
        if (!streamBuffer_) {
            streamBuffer_ = std::make_unique<char[]>(kZipStreamBufferBytes);
        }
        std::setvbuf(archiveFile_.get(), streamBuffer_.get(), _IOFBF, kZipStreamBufferBytes);
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
    // A seek costs a system call even inside the stream's buffer; the short gaps between
    // headers (extra fields, comments, small members) are cheaper to read past.
    if (count <= kSkipByReading) {
        std::array<std::uint8_t, kSkipByReading> discard;
        return readBytes(discard.data(), static_cast<std::size_t>(count));
    }
    return seekTo(static_cast<std::uint64_t>(position_) + count);
}

bool ArchiveReader::admitMember() {
    if (countingLeftOut_) {
        return true;
    }
    if (membersListed_ >= memberCap) {
        // The rest is read through only to be counted, so that the user learns how many
        // members the label leaves out; reading ends where the archive's records end.
        countingLeftOut_ = true;
        FindData skipped;
        const bool zip = openMode_ == ArchiveMode::Zip;
        while ((zip ? zipFindNext(skipped) : arjFindNext(skipped)) == 1) {
            ++membersLeftOut_;
        }
        countingLeftOut_ = false;
        readFailed_ = true;
        return false;
    }
    ++membersListed_;
    return true;
}

void ArchiveReader::readZip64End(std::uint64_t endRecordOffset, std::uint64_t& entries,
                                 std::uint64_t& directoryOffset) {
    // Every offset is checked first, so an archive without ZIP64 records (or with broken
    // ones) keeps its classic figures and a usable stream.
    std::array<std::uint8_t, kZip64LocatorBytes> locator{};
    if (endRecordOffset < kZip64LocatorBytes || !seekTo(endRecordOffset - kZip64LocatorBytes) ||
        !readBytes(locator.data(), locator.size()) ||
        !std::equal(kZip64LocatorSignature.begin(), kZip64LocatorSignature.end(),
                    locator.begin())) {
        return;
    }
    const std::uint64_t recordOffset = readLe64(locator.data() + kZip64LocatorRecordOffset);
    std::array<std::uint8_t, kZip64EndBytes> record{};
    if (recordOffset > endRecordOffset - kZip64LocatorBytes ||
        endRecordOffset - kZip64LocatorBytes - recordOffset < kZip64EndBytes ||
        !seekTo(recordOffset) || !readBytes(record.data(), record.size()) ||
        !std::equal(kZip64EndSignature.begin(), kZip64EndSignature.end(), record.begin())) {
        return;
    }
    entries = readLe64(record.data() + kZip64EndCountOffset);
    directoryOffset = readLe64(record.data() + kZip64EndDirectoryOffset);
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

    std::uint64_t entries = readLe16(endRecord + kZipEndCountOffset);
    std::uint64_t directoryOffset = readLe32(endRecord + kZipEndDirectoryOffset);
    // Past 65,534 members or 4 GB the classic record holds placeholders.
    if (entries == kZipCountInZip64 || directoryOffset == kZipValueInZip64) {
        readZip64End(tailStart + static_cast<std::uint64_t>(endRecord - tail.data()), entries,
                     directoryOffset);
    }
    zipEntriesLeft_ = entries;
    // An offset past the end leaves the stream failed: the first member read then fails.
    seekTo(directoryOffset);

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
    if (zipEntriesLeft_ == 0 || !admitMember()) {
        return 0;
    }
    --zipEntriesLeft_;

    std::array<std::uint8_t, kZipHeaderBytes> header{};
    if (!readBytes(header.data(), header.size())) {
        return 0; // also where a count larger than the directory runs out
    }
    const std::uint16_t flags = readLe16(header.data() + kZipFlagsOffset);
    const std::uint16_t nameLength = readLe16(header.data() + kZipNameLengthOffset);
    const std::uint16_t extraLength = readLe16(header.data() + kZipExtraLengthOffset);
    const std::uint16_t commentLength = readLe16(header.data() + kZipCommentLengthOffset);

    // The whole name is read: whether it is valid UTF-8 depends on all of it.
    nameBytes_.resize(nameLength);
    if (!readBytes(reinterpret_cast<std::uint8_t*>(nameBytes_.data()), nameLength)) {
        return 0;
    }
    // Without the UTF-8 flag the format's own rule makes the name code page 437.
    const LegacyCodePage page =
        (flags & kZipUtf8NameFlag) != 0 ? LegacyCodePage::None : LegacyCodePage::Oem437;
    std::uint64_t size = readLe32(header.data() + kZipUncompressedSizeOffset);

    // The next header follows the extra field and the file comment. When they run past the
    // end, this member still counts and the listing ends at the next call. A size too large
    // for its field is in the extra field's ZIP64 block.
    if (size == kZipValueInZip64) {
        extraBytes_.resize(extraLength);
        if (readBytes(reinterpret_cast<std::uint8_t*>(extraBytes_.data()), extraLength)) {
            size = zip64UncompressedSize(extraBytes_, size);
        }
        skipBytes(commentLength);
    } else {
        skipBytes(static_cast<std::uint64_t>(extraLength) + commentLength);
    }
    reportMember(found, boundedName(nameBytes_.data(), nameBytes_.size(), page), size);
    return 1;
}

int ArchiveReader::arjFindFirst(const std::string& archivePath, FindData& found) {
    if (archiveFile_) {
        reportBadStuff(".ARJ file not NULL!");
    }
    if (!openArchive(archivePath, ArchiveMode::Arj)) {
        return kInvalidFindHandle;
    }

    // The main archive header: its length, to reach the first member, and its flags, which
    // tell the code page of the names.
    std::array<std::uint8_t, kArjHeaderStartBytes> start{};
    std::array<std::uint8_t, kArjMaxBasicHeader> mainHeader{};
    std::array<std::uint8_t, kArjTrailerBytes> trailer{};
    bool mainHeaderSkipped = readBytes(start.data(), start.size()) && start[0] == kArjIdFirst &&
                             start[1] == kArjIdSecond;
    if (mainHeaderSkipped) {
        const std::uint16_t basicSize = readLe16(start.data() + 2);
        mainHeaderSkipped = basicSize <= kArjMaxBasicHeader &&
                            readBytes(mainHeader.data(), basicSize) &&
                            readBytes(trailer.data(), trailer.size());
        arjAnsiPage_ =
            basicSize > kArjFlagsOffset && (mainHeader[kArjFlagsOffset] & kArjAnsiPageFlag) != 0;
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
    if (!admitMember() || !readBytes(start.data(), start.size())) {
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

    // Not cleared: only the bytes read are looked at, and the header is read per member.
    std::array<std::uint8_t, kArjMaxBasicHeader> header;
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
    const char* name = reinterpret_cast<const char*>(header.data() + nameStart);
    reportMember(found,
                 boundedName(name, static_cast<std::size_t>(nameEnd - (header.data() + nameStart)),
                             arjCodePage(header[kArjHostOsOffset], arjAnsiPage_)),
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
