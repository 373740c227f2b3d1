#include "catalog/archive_reader.h"
#include "tests/support/test_support.h"
#include "zip_builder.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>

namespace pelmora {
namespace {

using test::MessageRecorder;
using test::readFile;
using test::runCommand;
using test::TempDir;

struct Member {
    std::string name;
    std::uint64_t size = 0;
    bool operator==(const Member&) const = default;
    bool operator<(const Member& other) const { return name < other.name; }
};

void PrintTo(const Member& member, std::ostream* out) {
    *out << '"' << member.name << "\" " << member.size;
}

enum class Kind { Zip, Arj };

struct Listing {
    bool found = false;
    std::vector<Member> members;
};

// Lists an archive as the scanner does: find-first, find-next until 0, close. The cap turns a
// reader that never reaches the end into a failure instead of a hang.
Listing listArchive(Kind kind, const std::string& path) {
    ArchiveReader reader;
    FindData data;
    Listing listing;
    int handle =
        kind == Kind::Zip ? reader.zipFindFirst(path, data) : reader.arjFindFirst(path, data);
    if (handle == kInvalidFindHandle) {
        EXPECT_FALSE(reader.isOpen());
        return listing;
    }
    EXPECT_EQ(handle, kArchiveFindHandle);
    listing.found = true;
    do {
        EXPECT_EQ(data.dwFileAttributes, 0u);
        listing.members.push_back({data.cFileName, data.fileSize});
    } while (listing.members.size() < 100000 &&
             (kind == Kind::Zip ? reader.zipFindNext(data) : reader.arjFindNext(data)) == 1);
    reader.archiveClose();
    return listing;
}

std::vector<Member> sorted(std::vector<Member> members) {
    std::sort(members.begin(), members.end());
    return members;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void putLe16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// Where each header of a well-formed ARJ file starts: the main header, every member, and the
// end marker. Data of a member follows its header (CRC, no extended header) directly.
std::vector<std::size_t> arjHeaderOffsets(const std::string& bytes) {
    auto le = [&](std::size_t at, int count) {
        std::uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
        }
        return value;
    };
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0;;) {
        offsets.push_back(at);
        const std::uint32_t basicSize = le(at + 2, 2);
        if (basicSize == 0) {
            return offsets;
        }
        const std::uint32_t data = offsets.size() == 1 ? 0 : le(at + 4 + 12, 4);
        at += 4 + basicSize + 6 + data;
    }
}

// Real archives made by zip and arj in a fresh folder; every test checks afterwards that no
// consistency message was shown unless it expected some.
struct ArchiveReaderTest : ::testing::Test {
    void SetUp() override {
        dir.writeText("a.txt", "hello");
        dir.writeFile("b.bin", 3000); // compresses well: packed and real sizes differ
        dir.writeFile("sub/c.txt", 500);
        dir.writeText("sub/deeper/d.txt", "deep");
    }
    void TearDown() override {
        if (!expectBadStuff) {
            EXPECT_TRUE(messages.messages().empty());
        }
    }
    std::string make(const std::string& command, const std::string& archive) {
        EXPECT_EQ(runCommand("cd '" + dir.path() + "' && (" + command + ") >/dev/null 2>&1"), 0);
        return dir.file(archive);
    }

    TempDir dir;
    MessageRecorder messages;
    bool expectBadStuff = false;
};

TEST_F(ArchiveReaderTest, ZipListsEveryMemberPastExtraFieldsCommentsAndFolderRecords) {
    std::string zip = make("printf 'one\\ntwo\\nthree\\nfour\\nfive\\nsix\\n' | "
                           "zip -q -r -c out.zip a.txt b.bin sub",
                           "out.zip");
    ASSERT_NE(readFile(zip).find("three"), std::string::npos); // file comments are stored
    Listing listing = listArchive(Kind::Zip, zip);
    EXPECT_TRUE(listing.found);
    EXPECT_EQ(sorted(listing.members), (std::vector<Member>{{"a.txt", 5},
                                                            {"b.bin", 3000},
                                                            {"sub/", 0},
                                                            {"sub/c.txt", 500},
                                                            {"sub/deeper/", 0},
                                                            {"sub/deeper/d.txt", 4}}));
}

TEST_F(ArchiveReaderTest, ZipEndRecordIsFoundBehindCommentsUpTo2047BytesFromTheEnd) {
    std::string commented =
        make("head -c 1000 /dev/zero | tr '\\0' c | zip -q -z out.zip a.txt", "out.zip");
    EXPECT_EQ(listArchive(Kind::Zip, commented).members, (std::vector<Member>{{"a.txt", 5}}));

    // A comment of n bytes puts the record 22 + n bytes before the end.
    std::string plain = readFile(make("zip -q plain.zip a.txt", "plain.zip"));
    for (unsigned commentLength : {2025u, 2026u}) {
        std::string bytes = plain;
        putLe16(bytes, bytes.size() - 2, commentLength);
        bytes.append(commentLength, 'c');
        writeBytes(dir.file("long.zip"), bytes);
        SCOPED_TRACE(commentLength);
        EXPECT_EQ(listArchive(Kind::Zip, dir.file("long.zip")).found, commentLength == 2025);
    }
}

TEST_F(ArchiveReaderTest, FilesWithoutMembersAreNotArchives) {
    std::string empty = make("zip -q out.zip a.txt && zip -q out.zip -d a.txt", "out.zip");
    ASSERT_EQ(readFile(empty).size(), 22u);
    writeBytes(dir.file("emptycomment.zip"),
               readFile(empty).substr(0, 20) + std::string("\x01\0!", 3));
    dir.writeText("ten.zip", "0123456789");
    dir.makeDir("folder.zip");
    ASSERT_EQ(mkfifo(dir.file("pipe.zip").c_str(), 0644), 0); // opening must not wait for a writer
    // arj deletes an archive whose last member goes, so this one keeps only the main header.
    const std::string arj = readFile(make("arj a -y out.arj a.txt", "out.arj"));
    const std::string arjNoMembers = dir.file("nomembers.arj");
    writeBytes(arjNoMembers,
               arj.substr(0, arjHeaderOffsets(arj)[1]) + std::string("\x60\xEA\0\0", 4));

    for (const char* name :
         {"out.zip", "emptycomment.zip", "ten.zip", "folder.zip", "pipe.zip", "none.zip"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(listArchive(Kind::Zip, dir.file(name)).found);
    }
    EXPECT_FALSE(listArchive(Kind::Arj, arjNoMembers).found);
    EXPECT_FALSE(listArchive(Kind::Arj, empty).found);
    EXPECT_FALSE(listArchive(Kind::Arj, dir.file("pipe.zip")).found);
    EXPECT_FALSE(listArchive(Kind::Zip, arjNoMembers).found);
}

TEST_F(ArchiveReaderTest, LongNamesAreCutTo259BytesAndTheNextMemberStillFollows) {
    // 258 bytes, then a two-byte character that would end past the limit.
    const std::string longName =
        std::string(200, 'd') + "/" + std::string(57, 'e') + "\xC3\xA9" + std::string(40, 'f');
    dir.writeFile(longName, 7);
    const std::vector<Member> expected = {{longName.substr(0, 258), 7}, {"z.txt", 3}};
    dir.writeFile("z.txt", 3);

    EXPECT_EQ(
        listArchive(Kind::Zip, make("zip -q out.zip '" + longName + "' z.txt", "out.zip")).members,
        expected);
    EXPECT_EQ(listArchive(Kind::Arj, make("arj a -y out.arj '" + longName + "' z.txt", "out.arj"))
                  .members,
              expected);
}

TEST_F(ArchiveReaderTest, ZipDirectoryClaimsBeyondTheFileEndTheListing) {
    std::string bytes = readFile(make("zip -q out.zip a.txt sub/c.txt", "out.zip"));
    const std::size_t end = bytes.size() - 22;

    std::string manyRecords = bytes;
    putLe16(manyRecords, end + 8, 0xFFFF);
    writeBytes(dir.file("many.zip"), manyRecords);
    EXPECT_EQ(listArchive(Kind::Zip, dir.file("many.zip")).members,
              (std::vector<Member>{{"a.txt", 5}, {"sub/c.txt", 500}}));

    std::string farDirectory = bytes;
    putLe16(farDirectory, end + 18, 0x7FFF);
    writeBytes(dir.file("far.zip"), farDirectory);
    EXPECT_FALSE(listArchive(Kind::Zip, dir.file("far.zip")).found);
}

TEST_F(ArchiveReaderTest, ArjListsMembersWithTheirStoredPaths) {
    std::string arj =
        make("arj a -y out.arj a.txt b.bin sub/c.txt sub/deeper/d.txt && arj a -y -r tree.arj sub",
             "out.arj");
    EXPECT_EQ(listArchive(Kind::Arj, arj).members,
              (std::vector<Member>{
                  {"a.txt", 5}, {"b.bin", 3000}, {"sub/c.txt", 500}, {"sub/deeper/d.txt", 4}}));
    EXPECT_EQ(sorted(listArchive(Kind::Arj, dir.file("tree.arj")).members),
              (std::vector<Member>{{"sub/c.txt", 500}, {"sub/deeper/d.txt", 4}}));
    EXPECT_FALSE(listArchive(Kind::Zip, arj).found);
}

TEST_F(ArchiveReaderTest, ArjHeadersThatBreakTheirLimitsEndTheListing) {
    const std::string bytes = readFile(make("arj a -y out.arj a.txt sub/c.txt", "out.arj"));
    const std::vector<std::size_t> headers = arjHeaderOffsets(bytes);
    ASSERT_EQ(headers.size(), 4u); // main, two members, end marker

    auto listPatched = [&](std::size_t at, unsigned value, bool wide) {
        std::string patched = bytes;
        if (wide) {
            putLe16(patched, at, value);
        } else {
            patched[at] = static_cast<char>(value);
        }
        writeBytes(dir.file("patched.arj"), patched);
        return listArchive(Kind::Arj, dir.file("patched.arj"));
    };
    EXPECT_FALSE(listPatched(headers[0] + 2, 2601, true).found);
    EXPECT_FALSE(listPatched(headers[1] + 2, 2601, true).found);
    EXPECT_EQ(listPatched(headers[2] + 2, 2601, true).members.size(), 1u);
    EXPECT_EQ(listPatched(headers[2] + 4, 0xFF, false).members.size(), 1u); // name start
    EXPECT_EQ(listPatched(headers[2], 0x61, false).members.size(), 1u);     // wrong id
}

TEST_F(ArchiveReaderTest, Zip64EndRecordAndSizesAreRead) {
    // Past 65,534 members zip writes a ZIP64 end record; the classic one holds placeholders.
    writeBytes(dir.file("big.zip"),
               test::zipBytes({{"small.txt", false, 12},
                               {"huge.iso", false, 0xFFFFFFFF, test::zip64SizeExtra(5ull << 30)},
                               {"odd.bin", false, 0xFFFFFFFF, "\x99\x99\x02\x00ab"}},
                              true));
    EXPECT_EQ(listArchive(Kind::Zip, dir.file("big.zip")).members,
              (std::vector<Member>{
                  {"small.txt", 12}, {"huge.iso", 5ull << 30}, {"odd.bin", 0xFFFFFFFF}}));
}

TEST_F(ArchiveReaderTest, ArjNamesFromDosAndWindowsHostsAreConvertedToUtf8) {
    const std::string oemName = "caf\x82.txt"; // é in code page 437, ‚ in Windows-1252
    dir.writeFile(oemName, 1);
    dir.writeFile("na\xC3\xAFve.txt", 2);
    const std::string bytes =
        readFile(make("arj a -y out.arj '" + oemName + "' 'na\xC3\xAFve.txt'", "out.arj"));
    const std::vector<std::size_t> headers = arjHeaderOffsets(bytes);
    ASSERT_EQ(headers.size(), 4u);
    auto listWith = [&](char hostOs, char mainFlags) {
        std::string patched = bytes;
        patched[headers[0] + 4 + 4] = mainFlags;
        patched[headers[1] + 4 + 3] = hostOs;
        patched[headers[2] + 4 + 3] = hostOs;
        writeBytes(dir.file("patched.arj"), patched);
        return listArchive(Kind::Arj, dir.file("patched.arj")).members;
    };
    const Member naive = {"na\xC3\xAFve.txt", 2};
    EXPECT_EQ(listWith(2, 0), (std::vector<Member>{{oemName, 1}, naive})); // Unix: bytes as stored
    EXPECT_EQ(listWith(0, 0), (std::vector<Member>{{"caf\xC3\xA9.txt", 1}, naive}));
    // The main header's ANSI flag is the Windows ARJ's; DOS ARJ used that bit otherwise.
    EXPECT_EQ(listWith(0, 2), (std::vector<Member>{{"caf\xC3\xA9.txt", 1}, naive}));
    EXPECT_EQ(listWith(11, 0), (std::vector<Member>{{"caf\xC3\xA9.txt", 1}, naive}));
    EXPECT_EQ(listWith(11, 2), (std::vector<Member>{{"caf\xE2\x80\x9A.txt", 1}, naive}));
}

TEST_F(ArchiveReaderTest, CallsOutOfSequenceReportBadStuffAndCarryOn) {
    expectBadStuff = true;
    std::string zip = make("zip -q out.zip a.txt", "out.zip");
    std::string arj = make("arj a -y out.arj a.txt", "out.arj");
    ArchiveReader reader;
    FindData data;
    auto sawOnly = [&](const char* text) {
        EXPECT_EQ(messages.messages().size(), 1u);
        EXPECT_TRUE(messages.saw("BAD STUFF", text)) << text;
        messages.clear();
    };

    EXPECT_EQ(reader.zipFindNext(data), 0);
    sawOnly(".ZIP file null for FIND_NEXT!");
    reader.archiveClose();
    sawOnly(".ZIP file null for FIND_CLOSE!");
    EXPECT_EQ(reader.arjFindNext(data), 0);
    sawOnly(".ARJ file null for FIND_NEXT!");
    reader.archiveClose();
    sawOnly(".ARJ file null for FIND_CLOSE!");

    ASSERT_EQ(reader.zipFindFirst(zip, data), kArchiveFindHandle);
    ASSERT_EQ(reader.zipFindFirst(zip, data), kArchiveFindHandle);
    sawOnly(".ZIP file not NULL!");
    EXPECT_EQ(data.cFileName, "a.txt");
    EXPECT_EQ(reader.zipFindNext(data), 0);
    ASSERT_EQ(reader.arjFindFirst(arj, data), kArchiveFindHandle);
    sawOnly(".ARJ file not NULL!");
    EXPECT_EQ(data.cFileName, "a.txt");
    EXPECT_EQ(reader.arjFindNext(data), 0);
    reader.archiveClose();
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_FALSE(reader.isOpen());
}

// Every truncation and two deterministic bit flips per byte: the readers must stay inside the
// file, end, and never invent members.
TEST_F(ArchiveReaderTest, DamagedCopiesNeverListMoreThanTheOriginal) {
    const std::string zip = make("printf 'x\\ny\\nz\\n' | zip -q -r -c out.zip a.txt sub && "
                                 "echo fuzz | zip -q -z out.zip",
                                 "out.zip");
    const std::string arj = make("arj a -y out.arj a.txt b.bin sub/c.txt", "out.arj");
    for (auto [kind, path] : {std::pair{Kind::Zip, zip}, std::pair{Kind::Arj, arj}}) {
        const std::string original = readFile(path);
        const std::size_t count = listArchive(kind, path).members.size();
        ASSERT_GE(count, 3u);
        const std::string damaged = dir.file("damaged");
        for (std::size_t length = 0; length <= original.size(); ++length) {
            SCOPED_TRACE("length " + std::to_string(length));
            writeBytes(damaged, original.substr(0, length));
            EXPECT_LE(listArchive(kind, damaged).members.size(), count);
        }
        for (std::size_t at = 0; at < original.size(); ++at) {
            for (unsigned bit : {at % 8, (at + 3) % 8}) {
                SCOPED_TRACE("byte " + std::to_string(at) + " bit " + std::to_string(bit));
                std::string flipped = original;
                flipped[at] = static_cast<char>(flipped[at] ^ (1u << bit));
                writeBytes(damaged, flipped);
                EXPECT_LE(listArchive(kind, damaged).members.size(), count);
            }
        }
    }
}

} // namespace
} // namespace pelmora
