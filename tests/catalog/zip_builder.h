#pragma once
// Writes ZIP files byte by byte, for what the zip program will not make on request: names in
// code page 437 without the UTF-8 flag, ZIP64 end records, directories of any length. Every
// member is stored empty; only the central directory carries the figures the readers use.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::test {

struct ZipMember {
    ZipMember(std::string storedName, bool flagged, std::uint32_t listedSize,
              std::string extraField = {})
        : name(std::move(storedName)), utf8Flag(flagged), size(listedSize),
          extra(std::move(extraField)) {}

    std::string name; // the stored bytes
    bool utf8Flag;
    std::uint32_t size; // uncompressed size in the central directory
    std::string extra;  // the central directory's extra field
};

// `count` little-endian bytes of `value`; bytes past the eighth are 0 (a run of zero fields).
inline void appendLe(std::string& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes += static_cast<char>(i < 8 ? (value >> (8 * i)) & 0xFF : 0);
    }
}

// A ZIP64 extra-field block holding a 64-bit uncompressed size.
inline std::string zip64SizeExtra(std::uint64_t size) {
    std::string extra;
    appendLe(extra, 0x0001, 2);
    appendLe(extra, 8, 2);
    appendLe(extra, size, 8);
    return extra;
}

// Local headers, central directory and end record; with `zip64End` the classic end record
// holds only placeholders and the real count and offset are in a ZIP64 end record.
inline std::string zipBytes(const std::vector<ZipMember>& members, bool zip64End = false) {
    std::string bytes;
    std::vector<std::uint64_t> localOffsets;
    for (const ZipMember& member : members) {
        localOffsets.push_back(bytes.size());
        appendLe(bytes, 0x04034B50, 4);
        appendLe(bytes, 20, 2);                           // version needed
        appendLe(bytes, member.utf8Flag ? 0x0800 : 0, 2); // flags
        appendLe(bytes, 0, 2 + 2 + 2 + 4 + 4 + 4);        // method, time, date, CRC, sizes
        appendLe(bytes, member.name.size(), 2);
        appendLe(bytes, 0, 2);
        bytes += member.name;
    }
    const std::uint64_t directoryOffset = bytes.size();
    for (std::size_t i = 0; i < members.size(); ++i) {
        const ZipMember& member = members[i];
        appendLe(bytes, 0x02014B50, 4);
        appendLe(bytes, 20, 2); // made by MS-DOS, version 2.0
        appendLe(bytes, 20, 2);
        appendLe(bytes, member.utf8Flag ? 0x0800 : 0, 2);
        appendLe(bytes, 0, 2 + 2 + 2 + 4 + 4); // method, time, date, CRC, compressed size
        appendLe(bytes, member.size, 4);
        appendLe(bytes, member.name.size(), 2);
        appendLe(bytes, member.extra.size(), 2);
        appendLe(bytes, 0, 2 + 2 + 2 + 4); // comment length, disk, attributes
        appendLe(bytes, localOffsets[i], 4);
        bytes += member.name;
        bytes += member.extra;
    }
    const std::uint64_t directorySize = bytes.size() - directoryOffset;
    if (zip64End) {
        const std::uint64_t recordOffset = bytes.size();
        appendLe(bytes, 0x06064B50, 4);
        appendLe(bytes, 44, 8); // size of the rest of the record
        appendLe(bytes, 45, 2);
        appendLe(bytes, 45, 2);
        appendLe(bytes, 0, 4 + 4);
        appendLe(bytes, members.size(), 8);
        appendLe(bytes, members.size(), 8);
        appendLe(bytes, directorySize, 8);
        appendLe(bytes, directoryOffset, 8);
        appendLe(bytes, 0x07064B50, 4); // locator
        appendLe(bytes, 0, 4);
        appendLe(bytes, recordOffset, 8);
        appendLe(bytes, 1, 4);
    }
    appendLe(bytes, 0x06054B50, 4);
    appendLe(bytes, 0, 2 + 2);
    appendLe(bytes, zip64End ? 0xFFFF : members.size(), 2);
    appendLe(bytes, zip64End ? 0xFFFF : members.size(), 2);
    appendLe(bytes, zip64End ? 0xFFFFFFFF : directorySize, 4);
    appendLe(bytes, zip64End ? 0xFFFFFFFF : directoryOffset, 4);
    appendLe(bytes, 0, 2);
    return bytes;
}

} // namespace pelmora::test
