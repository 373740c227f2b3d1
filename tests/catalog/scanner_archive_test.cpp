// Archives met during a scan, made at test time with Debian's zip and arj.

#include "catalog/catalog_limits.h"
#include "catalog/ordering.h"
#include "catalog/read_disk.h"
#include "catalog/scanner.h"
#include "catalog_test_util.h"
#include "tests/support/test_support.h"
#include "zip_builder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

namespace pelmora {
namespace {

using test::shape;

constexpr char kDrive = 'R';

class ScannerArchiveTest : public ::testing::Test {
protected:
    ScannerArchiveTest() : drive_(kDrive, disk_.path()) {
        settings_.driveLetter = kDrive;
        settings_.scanLevels = kAllLevels;
        settings_.scanArchives = 1;
    }

    VAROINFO scan() {
        VAROINFO label;
        DiskScanner(settings_).scanDirectory(kDrive, settings_.scanLevels, label);
        sortLabel(label);
        return label;
    }

    // Zips `members` (paths relative to a scratch folder filled by `fill`) into `archive`
    // on the disk.
    void makeZip(const std::string& archive, const std::string& members,
                 const std::string& zipOptions = "-q") {
        std::string target = disk_.file(archive);
        ASSERT_EQ(test::runCommand("cd '" + src_.path() + "' && zip " + zipOptions + " '" + target +
                                   "' " + members + " >/dev/null"),
                  0);
    }

    test::TempDir disk_;
    test::TempDir src_;
    test::DriveMapping drive_;
    CatalogSettings settings_;
};

const FileEntry* find(const VAROINFO& node, const char* name) {
    for (const FileEntry& e : node.entries) {
        if (std::strcmp(e.name, name) == 0) {
            return &e;
        }
    }
    return nullptr;
}

TEST_F(ScannerArchiveTest, ArchivesAreReadAtAnyDepthEvenBelowTheLevelLimit) {
    src_.writeFile("x.txt", 5);
    makeZip("backup.zip", "x.txt");
    disk_.makeDir("D1");
    makeZip("D1/inner.ZIP", "x.txt");

    settings_.scanLevels = 1;
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "backup.zip[x.txt],D1[inner.ZIP[x.txt]]");
    const FileEntry* archive = find(label, "backup.zip");
    EXPECT_EQ(archive->hasChild, 1);
    EXPECT_EQ(archive->open, 1);
    EXPECT_STREQ(archive->child->entries[0].sizeText, "5");
    EXPECT_EQ(label.folderCount, 3);

    settings_.scanLevels = 0;
    EXPECT_EQ(shape(scan()), "backup.zip[x.txt],D1");

    settings_.scanArchives = 0;
    VAROINFO plain = scan();
    EXPECT_EQ(shape(plain), "backup.zip,D1");
    EXPECT_EQ(find(plain, "backup.zip")->hasChild, 0);
}

TEST_F(ScannerArchiveTest, NameRuleIsASubstringTest) {
    src_.writeFile("m.txt", 1);
    makeZip("real.zip.txt", "m.txt");
    disk_.writeText("old.zip.txt", "just text, not an archive at all\n");
    disk_.writeFile("x.zip", 10);
    disk_.writeText("empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "empty.zip,old.zip.txt,real.zip.txt[m.txt],x.zip");
    EXPECT_STREQ(find(label, "x.zip")->sizeText, "10");
    EXPECT_STREQ(find(label, "empty.zip")->sizeText, "22");
    EXPECT_EQ(find(label, "old.zip.txt")->hasChild, 0);
}

TEST_F(ScannerArchiveTest, FolderNamedLikeAnArchiveKeepsItsContents) {
    disk_.writeFile("photos.zip/one.jpg", 3);
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "photos.zip[one.jpg]");
    EXPECT_STREQ(find(label, "photos.zip")->sizeText, "[dir]");
}

TEST_F(ScannerArchiveTest, SpecialFileNamedLikeAnArchiveDoesNotHang) {
    ASSERT_EQ(mkfifo(disk_.file("pipe.zip").c_str(), 0644), 0);
    EXPECT_EQ(shape(scan()), "pipe.zip");
}

TEST_F(ScannerArchiveTest, MemberPathsOfBothSeparatorsMergeIntoOneFolder) {
    src_.writeFile("A/X.TXT", 1);
    src_.writeFile("a/Y.TXT", 2);
    src_.writeFile("A\\Z.TXT", 3);
    makeZip("m.zip", "A/X.TXT a/Y.TXT 'A\\Z.TXT'");
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "m.zip[A[X.Txt,Y.Txt,Z.Txt]]");
    EXPECT_EQ(label.fileCount, 3);
    EXPECT_EQ(label.folderCount, 2);
}

// Each row of a tree as the label shows it: name and size text, folders' rows indented.
std::string rows(const VAROINFO& node, const std::string& indent = "") {
    std::string text;
    for (const FileEntry& e : node.entries) {
        text += indent + e.name + " " + e.sizeText + "\n";
        if (e.child) {
            text += rows(*e.child, indent + "  ");
        }
    }
    return text;
}

TEST_F(ScannerArchiveTest, FolderRecordsMakeTheirFoldersAndNoOtherRows) {
    src_.writeFile("top/mid/leaf.txt", 7);
    src_.writeFile("top/note.txt", 2000);
    src_.makeDir("top/empty");
    makeZip("tree.zip", "top", "-qr");
    // zip -r stores "top/", "top/mid/" and "top/empty/" as folder records of their own.
    ASSERT_NE(test::readFile(disk_.file("tree.zip")).find("top/empty/"), std::string::npos);
    VAROINFO label = scan();
    EXPECT_EQ(rows(*find(label, "tree.zip")->child), "top [dir]\n"
                                                     "  empty [dir]\n"
                                                     "  mid [dir]\n"
                                                     "    leaf.txt 7\n"
                                                     "  note.txt 1K\n");
    EXPECT_EQ(label.fileCount, 2);
    EXPECT_EQ(label.folderCount, 4);
}

// Names zip stores without the UTF-8 flag are code page 437 unless they are valid UTF-8; the
// conversion comes before the 63-byte cut, which falls between characters.
TEST_F(ScannerArchiveTest, ZipNamesInCodePage437BecomeUtf8BeforeTheyAreCut) {
    const std::string e437(1, '\x82'); // é in code page 437
    const std::string eUtf8 = "\xC3\xA9";
    std::vector<test::ZipMember> members = {
        {"caf" + e437 + ".txt", false, 4},
        {"na\xC3\xAFve.txt", false, 5}, // valid UTF-8 stays, flag or not
        {"flagged-\xC3\xBC.txt", true, 6},
        {"d\x94r/inner.txt", false, 7}, // ö: the folder name is converted too
        {std::string(40, '\x82') + ".txt", false, 8},
    };
    disk_.writeText("dos.zip", test::zipBytes(members));
    VAROINFO label = scan();
    const VAROINFO& archive = *find(label, "dos.zip")->child;
    EXPECT_EQ(
        shape(archive), "caf" + eUtf8 + ".txt,d\xC3\xB6r[inner.txt],flagged-\xC3\xBC.txt," +
                            "na\xC3\xAFve.txt," + [&] {
                                std::string cut;
                                for (int i = 0; i < 31; ++i) {
                                    cut += eUtf8; // 62 bytes: a 32nd é would pass 63
                                }
                                return cut;
                            }());
    EXPECT_STREQ(find(archive, ("caf" + eUtf8 + ".txt").c_str())->sizeText, "4");
}

TEST_F(ScannerArchiveTest, MemberCapEndsTheListingAsForADamagedArchive) {
    std::vector<test::ZipMember> members;
    for (int i = 0; i < 12; ++i) {
        members.push_back({"dir/m" + std::to_string(i + 10) + ".txt", false, 1});
    }
    disk_.writeText("many.zip", test::zipBytes(members));
    for (int i = 0; i < 6; ++i) {
        src_.writeFile("a" + std::to_string(i), 1);
    }
    ASSERT_EQ(test::runCommand("cd '" + src_.path() + "' && arj a -y '" + disk_.file("many.arj") +
                               "' a0 a1 a2 a3 a4 a5 >/dev/null"),
              0);

    const std::uint64_t defaultCap = replaceArchiveMemberCap(4);
    VAROINFO label;
    const ScanResult result = DiskScanner(settings_).scanDirectory(kDrive, kAllLevels, label);
    sortLabel(label);
    replaceArchiveMemberCap(defaultCap);
    EXPECT_EQ(defaultCap, 1'000'000u);
    EXPECT_EQ(shape(label), "many.arj[a0,a1,a2,a3],many.zip[dir[m10.txt,m11.txt,m12.txt,m13.txt]]");
    EXPECT_EQ(label.fileCount, 8);
    // The members past the cap are counted, not dropped without a word: 8 of the ZIP, 2 of
    // the ARJ.
    EXPECT_EQ(result.archiveMembersLeftOut, 10u);
    EXPECT_EQ(DiskScanner(settings_).scanDirectory(kDrive, kAllLevels, label).archiveMembersLeftOut,
              0u);
}

// Member sizes that add up past 2^63 (each claimed in a ZIP64 extra field): the folder sums are
// held at the largest value instead of wrapping to a negative size.
TEST_F(ScannerArchiveTest, FolderSizesPastTwoToTheSixtyThirdAreHeld) {
    const std::uint64_t quarter = (std::uint64_t{1} << 62) + 1;
    std::vector<test::ZipMember> members;
    for (const char* name : {"big/a.bin", "big/b.bin", "big/c.bin"}) {
        members.push_back({name, false, 0xFFFFFFFFu, test::zip64SizeExtra(quarter)});
    }
    disk_.writeText("huge.zip", test::zipBytes(members));
    disk_.writeFile("plain/x.txt", 2048);

    settings_.dirInfoMode = 2;
    VAROINFO label = scan();
    const FileEntry* archive = find(label, "huge.zip");
    ASSERT_NE(archive, nullptr);
    ASSERT_TRUE(archive->child);
    EXPECT_STREQ(archive->sizeText, "999999999999.9M");
    EXPECT_STREQ(find(*archive->child, "big")->sizeText, "999999999999.9M");
    EXPECT_STREQ(find(label, "plain")->sizeText, "2K");
    EXPECT_EQ(fillDirectoryInfo(label, 2), std::numeric_limits<std::int64_t>::max());

    settings_.dirInfoMode = 1;
    const VAROINFO counted = scan();
    EXPECT_STREQ(find(counted, "huge.zip")->sizeText, "4");
}

TEST_F(ScannerArchiveTest, CommentsAndExtraFieldsDoNotDisturbTheListing) {
    src_.writeFile("one.txt", 100);
    src_.writeFile("two.txt", 2000);
    makeZip("c.zip", "one.txt two.txt");
    ASSERT_EQ(test::runCommand("cd '" + disk_.path() +
                               "' && printf 'archive comment\\n' | zip -qz c.zip"),
              0);
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "c.zip[one.txt,two.txt]");
    EXPECT_STREQ(find(label, "c.zip")->child->entries[1].sizeText, "1K");
}

TEST_F(ScannerArchiveTest, LongMemberNamesAreCutBeforeSplitting) {
    std::string longName(70, 'q');
    src_.writeFile("dir/" + longName, 1);
    makeZip("long.zip", "dir/" + longName);
    VAROINFO label = scan();
    const VAROINFO& archive = *find(label, "long.zip")->child;
    ASSERT_EQ(archive.entryCount(), 1);
    const VAROINFO& dir = *archive.entries[0].child;
    EXPECT_EQ(std::string(dir.entries[0].name), std::string(59, 'q'));
}

TEST_F(ScannerArchiveTest, PatternListAppliesToMembers) {
    src_.writeFile("keep.txt", 1);
    src_.writeFile("drop.tmp", 1);
    makeZip("p.zip", "keep.txt drop.tmp");
    settings_.addPattern(".TMP");
    EXPECT_EQ(shape(scan()), "p.zip[keep.txt]");
}

TEST_F(ScannerArchiveTest, ArjArchivesAreListed) {
    src_.writeFile("a.txt", 6);
    src_.writeFile("Sub/b.txt", 5000);
    ASSERT_EQ(test::runCommand("cd '" + src_.path() + "' && arj a -r -y '" +
                               disk_.file("pack.arj") + "' a.txt Sub >/dev/null"),
              0);
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "pack.arj[a.txt,Sub[b.txt]]");
    EXPECT_STREQ(find(label, "pack.arj")->child->entries[0].sizeText, "6");
}

TEST_F(ScannerArchiveTest, DirectoryInformationCountsArchiveMembers) {
    src_.writeFile("a", 1024);
    src_.writeFile("b", 1024);
    makeZip("s.zip", "a b");
    settings_.dirInfoMode = 1;
    EXPECT_STREQ(find(scan(), "s.zip")->sizeText, "2");
}

TEST_F(ScannerArchiveTest, DamagedArchivesInAScanListWhatTheyCan) {
    for (int i = 0; i < 30; ++i) {
        src_.writeFile("f" + std::to_string(i) + ".txt", static_cast<std::uint64_t>(i) * 10);
    }
    makeZip("good.zip", "f*.txt");
    std::string good = test::readFile(disk_.file("good.zip"));
    for (std::size_t cut : {good.size() - 1, good.size() - 30, good.size() / 2, std::size_t{40}}) {
        disk_.writeText("cut" + std::to_string(cut) + ".zip", good.substr(0, cut));
    }
    std::string flipped = good;
    for (std::size_t i = good.size() - 200; i < good.size(); i += 7) {
        flipped[i] = static_cast<char>(flipped[i] ^ 0xA5);
    }
    disk_.writeText("flipped.zip", flipped);
    VAROINFO label = scan();
    const FileEntry* intact = find(label, "good.zip");
    ASSERT_NE(intact, nullptr);
    EXPECT_EQ(intact->child->entryCount(), 30);
    for (const FileEntry& e : label.entries) {
        if (e.child) {
            EXPECT_LE(e.child->entryCount(), 30) << e.name;
        }
    }
}

// The catalog memory a label file's reader counts for `node`, and its deepest node.
void catalogCost(const VAROINFO& node, int depth, std::uint64_t& bytes, int& deepest) {
    deepest = std::max(deepest, depth);
    for (const FileEntry& entry : node.entries) {
        bytes += kCatalogEntryCost;
        if (entry.hasChild != 0) {
            bytes += kCatalogNodeCost;
            if (entry.child) {
                catalogCost(*entry.child, depth + 1, bytes, deepest);
            }
        }
    }
}

struct CatalogCapOverride {
    explicit CatalogCapOverride(std::uint64_t cap) : previous(replaceCatalogByteCap(cap)) {}
    ~CatalogCapOverride() { replaceCatalogByteCap(previous); }
    std::uint64_t previous;
};

// The scanner builds only what a label file carries back whole: sizes past 64 signed bits are
// held at the largest, and listing stops at the catalog cap (also when splitting archive paths
// makes folders), saying the catalog is incomplete.
TEST_F(ScannerArchiveTest, CatalogStopsWhereALabelFileIsFull) {
    disk_.writeText("huge.zip", test::zipBytes({{"sparse.img", false, 0xFFFFFFFF,
                                                 test::zip64SizeExtra(std::uint64_t{1} << 63)}}));
    VAROINFO tree;
    ScanResult result = DiskScanner(settings_).scanTree(kDrive, kAllLevels, tree);
    ASSERT_EQ(result.status, ScanStatus::Read);
    EXPECT_FALSE(result.incomplete);
    ASSERT_EQ(shape(tree), "huge.zip[sparse.img]");
    EXPECT_EQ(tree.entries[0].child->entries[0].size, kMaxEntrySize);

    // Room for four entries and two nodes: listing the archive (its entry, node and three
    // members) fits, but the folder that splitting "dir/" makes leaves no room for "c".
    disk_.writeText(
        "huge.zip",
        test::zipBytes({{"dir/a", false, 1}, {"dir/b", false, 2}, {"dir/c", false, 3}}));
    const std::uint64_t cap = 4 * kCatalogEntryCost + 2 * kCatalogNodeCost;
    {
        CatalogCapOverride lowered(cap + kCatalogEntryCost);
        result = DiskScanner(settings_).scanTree(kDrive, kAllLevels, tree);
        EXPECT_FALSE(result.incomplete) << "exactly at the cap";
        EXPECT_EQ(shape(tree), "huge.zip[dir[a,b,c]]");
    }
    CatalogCapOverride lowered(cap);
    result = DiskScanner(settings_).scanTree(kDrive, kAllLevels, tree);
    EXPECT_TRUE(result.incomplete);
    EXPECT_EQ(shape(tree), "huge.zip[dir[a,b]]");
    std::uint64_t bytes = 0;
    int deepest = 0;
    catalogCost(tree, 0, bytes, deepest);
    EXPECT_LE(bytes, cap);

    // Plain files past the cap: the first ones listed are kept, and Read Disk says so.
    for (int i = 0; i < 6; ++i) {
        disk_.writeFile("f" + std::to_string(i), 1);
    }
    LabelSet labels;
    const DiskReadResult read = readDisk(labels, settings_);
    EXPECT_TRUE(read.incomplete);
    bytes = 0;
    catalogCost(labels.current(), 0, bytes, deepest);
    EXPECT_LE(bytes, cap);
}

} // namespace
} // namespace pelmora
