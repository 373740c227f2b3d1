#include "catalog/ordering.h"
#include "catalog/read_disk.h"
#include "catalog/scanner.h"
#include "catalog_test_util.h"
#include "tests/support/test_support.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pelmora {
namespace {

using test::shape;

constexpr char kDrive = 'Q';

class ScannerTest : public ::testing::Test {
protected:
    ScannerTest() : drive_(kDrive, dir_.path()) {}

    void SetUp() override {
        setenv("PELMORA_TODAY", "1998-07-17", 1);
        settings_.driveLetter = kDrive;
        settings_.scanLevels = kAllLevels;
    }
    void TearDown() override { unsetenv("PELMORA_TODAY"); }

    VAROINFO scan() {
        VAROINFO label;
        DiskScanner scanner(settings_);
        scanner.scanDirectory(kDrive, settings_.scanLevels, label);
        sortLabel(label);
        return label;
    }

    // A small disk: a.txt, D1/b.txt, D1/D2/c.txt, D1/D2/D3/d.txt
    void makeNestedTree() {
        dir_.writeFile("a.txt", 1);
        dir_.writeFile("D1/b.txt", 2);
        dir_.writeFile("D1/D2/c.txt", 3);
        dir_.writeFile("D1/D2/D3/d.txt", 4);
    }

    test::TempDir dir_;
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

TEST_F(ScannerTest, LevelLimits) {
    makeNestedTree();

    settings_.scanLevels = 0;
    VAROINFO root = scan();
    EXPECT_EQ(shape(root), "a.txt,D1");
    EXPECT_STREQ(find(root, "D1")->sizeText, "[dir]");
    EXPECT_EQ(find(root, "D1")->hasChild, 0);
    EXPECT_EQ(root.fileCount, 2); // the unread folder counts as a file
    EXPECT_EQ(root.folderCount, 0);

    settings_.scanLevels = 1;
    EXPECT_EQ(shape(scan()), "a.txt,D1[b.txt,D2]");

    settings_.scanLevels = kAllLevels;
    VAROINFO all = scan();
    EXPECT_EQ(shape(all), "a.txt,D1[b.txt,D2[c.txt,D3[d.txt]]]");
    EXPECT_EQ(all.fileCount, 4);
    EXPECT_EQ(all.folderCount, 3);
    EXPECT_EQ(find(all, "D1")->open, 1);
}

TEST_F(ScannerTest, NegativeLevelsListFoldersOnly) {
    makeNestedTree();
    dir_.makeDir("D1/Empty");
    settings_.scanLevels = -kAllLevels;
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "D1[D2[D3[]],Empty[]]");

    settings_.scanLevels = -1;
    EXPECT_EQ(shape(scan()), "D1[D2,Empty]");
}

TEST_F(ScannerTest, EmptyFolderHoldsThePlaceholder) {
    dir_.makeDir("Empty");
    dir_.writeFile("Hidden/.only", 1);
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "Empty[(Empty)],Hidden[]");
    const FileEntry& placeholder = find(label, "Empty")->child->entries[0];
    EXPECT_STREQ(placeholder.sizeText, "");
    EXPECT_EQ(placeholder.hasChild, 0);
}

TEST_F(ScannerTest, HiddenEntriesNeverAppear) {
    dir_.writeFile(".dotfile", 1);
    dir_.writeFile(".dotdir/inside.txt", 1);
    dir_.writeFile("secret.txt", 1);
    dir_.writeFile("SecretDir/x.txt", 1);
    dir_.writeFile("shown.txt", 1);
    dir_.writeText(".hidden", "secret.txt\nSecretDir\n");
    EXPECT_EQ(shape(scan()), "shown.txt");
}

TEST_F(ScannerTest, ExcludeAndIncludePatterns) {
    for (const char* name : {"a.tmp", "b.TMP.bak", "x.tmpl", "temp.txt"}) {
        dir_.writeFile(name, 1);
    }
    dir_.writeFile("Folder.tmp/in.txt", 1);

    settings_.addPattern(".TMP");
    settings_.excludeMode = 1;
    EXPECT_EQ(shape(scan()), "Folder.tmp[in.txt],temp.txt");

    settings_.excludeMode = 0;
    // Folders are never filtered; the file inside does not match.
    EXPECT_EQ(shape(scan()), "a.tmp,b.TMP.bak,Folder.tmp[],x.tmpl");

    settings_.excludePatterns.clear();
    EXPECT_EQ(shape(scan()), "Folder.tmp[]");
}

TEST_F(ScannerTest, SizeTexts) {
    struct Case {
        const char* name;
        std::uint64_t size;
        const char* text;
    } cases[] = {
        {"s1023", 1023, "1023"},          {"s1024", 1024, "1K"},
        {"s1048575", 1'048'575, "1023K"}, {"s1048576", 1'048'576, "1.0M"},
        {"s1572864", 1'572'864, "1.5M"},  {"s0", 0, "0"},
    };
    for (const Case& c : cases) {
        dir_.writeFile(c.name, c.size);
    }
    // A sparse file above 4 GB keeps its real size.
    ASSERT_EQ(truncate(dir_.writeFile("huge", 0).c_str(), 5'368'709'120ll), 0);

    VAROINFO label = scan();
    for (const Case& c : cases) {
        const FileEntry* e = find(label, c.name);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_STREQ(e->sizeText, c.text) << c.name;
        EXPECT_EQ(e->size, c.size);
    }
    EXPECT_EQ(find(label, "huge")->size, 5'368'709'120ull);
    EXPECT_STREQ(find(label, "huge")->sizeText, "5120.0M");
}

TEST(SizeTextTest, LargestSizesFitTheField) {
    char text[kSizeTextCapacity];
    formatSizeText(UINT64_MAX, text);
    EXPECT_LT(std::strlen(text), kSizeTextCapacity);
    EXPECT_EQ(text[std::strlen(text) - 1], 'M');
}

TEST(NameCaseTest, AllUpperCaseNamesAreRewritten) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"README.TXT", "Readme.Txt"},
        {"AUTOEXEC.BAT", "Autoexec.Bat"},
        {"DOS", "Dos"},
        {"A.B.C", "A.B.c"},
        {"Letter.doc", "Letter.doc"},
        {"123.4", "123.4"},
        {"X.", "X."},
        {"\xC3\x89T\xC3\x89", "\xC3\x89t\xC3\x89"},
    };
    VAROINFO node;
    for (const Case& c : cases) {
        node.entries.push_back(test::fileEntry(c.in));
    }
    node.entries.push_back(test::folderEntry("SUB", {test::fileEntry("INNER.DAT")}));
    normaliseNameCase(node);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_STREQ(node.entries[i].name, cases[i].out) << cases[i].in;
    }
    EXPECT_STREQ(node.entries.back().name, "Sub");
    EXPECT_STREQ(node.entries.back().child->entries[0].name, "Inner.Dat");
}

TEST(MatchesPatternTest, CaseInsensitiveSubstring) {
    EXPECT_TRUE(matchesPattern("backup.ZIP", ".zip"));
    EXPECT_TRUE(matchesPattern("old.zip.txt", ".ZIP"));
    EXPECT_TRUE(matchesPattern("anything", ""));
    EXPECT_FALSE(matchesPattern("zip", ".zip"));
    EXPECT_FALSE(matchesPattern("x.zi", ".zip"));
}

TEST_F(ScannerTest, LongNamesAreCutWithoutSplittingACharacter) {
    std::string name(62, 'a');
    name += "\xC3\xA9tail"; // the two-byte character straddles byte 63
    dir_.writeFile(name, 1);
    VAROINFO label = scan();
    ASSERT_EQ(label.entryCount(), 1);
    EXPECT_EQ(std::string(label.entries[0].name), std::string(62, 'a'));
}

TEST_F(ScannerTest, LinkedFoldersAreListedButNotEntered) {
    dir_.writeFile("D1/b.txt", 1);
    ASSERT_EQ(symlink(dir_.path().c_str(), dir_.file("D1/loop").c_str()), 0);
    ASSERT_EQ(symlink("D1", dir_.file("alias").c_str()), 0);
    VAROINFO label = scan();
    EXPECT_EQ(shape(label), "alias,D1[b.txt,loop]");
    EXPECT_STREQ(find(label, "alias")->sizeText, "[dir]");
    EXPECT_EQ(label.fileCount, 3);
    EXPECT_EQ(label.folderCount, 1);
}

TEST_F(ScannerTest, UnreadableFoldersAreShownWithoutContentsAndCounted) {
    dir_.writeFile("Open/x.txt", 1);
    dir_.writeFile("Locked/y.txt", 1);
    dir_.writeFile("Open/Shut/z.txt", 1);
    chmod(dir_.path().c_str(), 0755);
    chmod(dir_.file("Open").c_str(), 0755);
    chmod(dir_.file("Open/x.txt").c_str(), 0644);
    chmod(dir_.file("Locked").c_str(), 0);
    chmod(dir_.file("Open/Shut").c_str(), 0);

    std::string result = test::runUnprivileged([&] {
        LabelSet labels;
        DiskReadResult read = readDisk(labels, settings_);
        const VAROINFO& label = labels.current();
        return shape(label) + "|" + find(label, "Locked")->sizeText + "|" +
               std::to_string(read.unreadableFolders);
    });
    EXPECT_EQ(result, "Locked,Open[Shut,x.txt]|[dir]|2");
}

// A disk that cannot be read (unreadable root, or a letter mapped to nothing) says why, and
// the label keeps the catalog it had; an empty disk is read as empty.
TEST_F(ScannerTest, UnreadableDiskKeepsTheCatalogAndEmptyDiskWarns) {
    dir_.writeFile("x.txt", 1);
    chmod(dir_.path().c_str(), 0);
    std::string result = test::runUnprivileged([&] {
        test::MessageRecorder messages;
        LabelSet labels;
        FileEntry kept;
        std::strcpy(kept.name, "kept.txt");
        labels.current().entries.push_back(kept);
        DiskReadResult read = readDisk(labels, settings_);
        std::string out =
            std::to_string(read.status == ScanStatus::Unreadable) + "|" + shape(labels.current());
        for (const Message& m : messages.messages()) {
            out += "|" + m.caption + ":" + m.text;
        }
        return out;
    });
    chmod(dir_.path().c_str(), 0755);
    EXPECT_EQ(result, "1|kept.txt|Disk Warning:Warning:  Unable to read disk \"Q:\\\": "
                      "Permission denied.\nThe label keeps its catalog.");

    test::MessageRecorder messages;
    LabelSet labels;
    settings_.driveLetter = 'J'; // nothing mapped there
    unsetenv("PELMORA_DRIVE_J");
    FileEntry kept;
    std::strcpy(kept.name, "kept.txt");
    labels.current().entries.push_back(kept);
    EXPECT_EQ(readDisk(labels, settings_).status, ScanStatus::Unreadable);
    EXPECT_EQ(shape(labels.current()), "kept.txt");
    EXPECT_TRUE(messages.saw("Disk Warning", "Warning:  Unable to read disk \"J:\\\": no folder "
                                             "is mapped to this drive letter.\nThe label keeps "
                                             "its catalog."));

    messages.clear();
    settings_.driveLetter = kDrive;
    std::filesystem::remove(dir_.file("x.txt"));
    DiskReadResult read = readDisk(labels, settings_);
    EXPECT_FALSE(read);
    EXPECT_EQ(read.status, ScanStatus::Read);
    EXPECT_EQ(shape(labels.current()), "");
    EXPECT_STREQ(labels.current().shortDate, "07/17/98");
    EXPECT_TRUE(messages.saw("Disk Warning", "Warning:  No files found on disk \"Q:\\\""));
    EXPECT_EQ(messages.messages()[0].flags & MB_ICONERROR, MB_ICONERROR);
}

// A cancelled read leaves the label as it was; a read through a waiter reports its counts.
TEST_F(ScannerTest, CancelledReadKeepsTheLabelAndTheWaiterSeesTheCounts) {
    makeNestedTree();
    LabelSet labels;
    std::int64_t filesSeen = -1;
    DiskReadResult read = readDisk(
        labels, settings_, {}, [&](ScanProgress& progress, const std::function<bool()>& finished) {
            while (!finished()) {
                std::this_thread::yield();
            }
            filesSeen = progress.files;
        });
    EXPECT_EQ(read.status, ScanStatus::Read);
    EXPECT_EQ(filesSeen, 4);
    const std::string before = shape(labels.current());
    EXPECT_EQ(before, "a.txt,D1[b.txt,D2[c.txt,D3[d.txt]]]");

    dir_.writeFile("new.txt", 1);
    ScanProgress cancelled;
    cancelled.cancel = true;
    ScanResult scan =
        DiskScanner(settings_).scanDirectory(kDrive, kAllLevels, labels.current(), &cancelled);
    EXPECT_EQ(scan.status, ScanStatus::Cancelled);
    EXPECT_EQ(shape(labels.current()), before);
}

TEST_F(ScannerTest, ReadDiskSortsWithTheLabelsKeysAndKeepsTheComment) {
    dir_.writeFile("small", 1);
    dir_.writeFile("big", 3000);
    dir_.writeFile("mid", 2000);
    LabelSet labels;
    VAROINFO& label = labels.current();
    label.sortMode = 3;
    label.direction = -1;
    std::strcpy(label.comment, "mine");
    label.layoutValid = 1;
    int templateCalls = 0;
    settings_.useTemplateFiles = 1;
    EXPECT_TRUE(readDisk(labels, settings_, [&](VAROINFO& l, char drive) {
        ++templateCalls;
        EXPECT_EQ(drive, kDrive);
        l.direction = 1; // a template may change the keys the sort then uses
    }));
    EXPECT_EQ(templateCalls, 1);
    EXPECT_EQ(shape(label), "small,mid,big");
    EXPECT_STREQ(label.comment, "mine");
    EXPECT_EQ(label.layoutValid, 0);
}

TEST_F(ScannerTest, VolumeFiguresAndCounts) {
    makeNestedTree();
    VAROINFO label;
    std::strcpy(label.volumeName, "OLD");
    DiskScanner(settings_).scanDirectory(kDrive, kAllLevels, label);
    EXPECT_EQ(std::string(label.volumeName), fs::path(dir_.path()).filename().string());
    EXPECT_GT(label.spaceTotal, 0);
    EXPECT_GT(label.spaceFree, 0);
    EXPECT_EQ(label.spaceFree + label.spaceUsed, label.spaceTotal);
    EXPECT_STREQ(label.shortDate, "07/17/98");
    EXPECT_STREQ(label.longDate, "Friday, July 17, 1998");
    EXPECT_EQ(label.fileCount, 4);
    EXPECT_EQ(label.folderCount, 3);
}

TEST_F(ScannerTest, RescanReplacesEditsAndReopensFolders) {
    makeNestedTree();
    VAROINFO label = scan();
    FileEntry* d1 = &label.entries[1];
    d1->open = 0;
    std::strcpy(d1->sizeText, "edited");
    d1->align = 2;
    label.entries.erase(label.entries.begin());

    DiskScanner(settings_).scanDirectory(kDrive, kAllLevels, label);
    sortLabel(label);
    EXPECT_EQ(shape(label), "a.txt,D1[b.txt,D2[c.txt,D3[d.txt]]]");
    EXPECT_EQ(find(label, "D1")->open, 1);
    EXPECT_STREQ(find(label, "D1")->sizeText, "[dir]");
    EXPECT_EQ(find(label, "D1")->align, 0);
}

TEST_F(ScannerTest, DirectoryInformationIsWrittenAfterTheScan) {
    dir_.writeFile("D/a", 1024);
    dir_.writeFile("D/E/b", 2048);
    settings_.dirInfoMode = 2;
    VAROINFO label = scan();
    EXPECT_STREQ(find(label, "D")->sizeText, "3K");
    settings_.dirInfoMode = 1;
    EXPECT_STREQ(find(scan(), "D")->sizeText, "3");
}

// Folders nested deeper than a path can name are shown unread instead of being cut into
// a different, shorter path.
TEST_F(ScannerTest, PathsBeyondTheLimitAreSkipped) {
    std::string component(200, 'n');
    int fd = open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    int levels = 0;
    for (; levels < 24; ++levels) {
        ASSERT_EQ(mkdirat(fd, component.c_str(), 0755), 0);
        int next = openat(fd, component.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    close(fd);

    VAROINFO label = scan();
    int depth = 0;
    const VAROINFO* node = &label;
    while (!node->entries.empty() && node->entries[0].child) {
        node = node->entries[0].child.get();
        ++depth;
    }
    ASSERT_EQ(node->entryCount(), 1);
    EXPECT_STREQ(node->entries[0].sizeText, "[dir]");
    EXPECT_EQ(node->entries[0].hasChild, 0);
    EXPECT_LT(depth, levels);
    EXPECT_LT(dir_.path().size() + static_cast<std::size_t>(depth) * 201, kMaxScanPath);
}

} // namespace
} // namespace pelmora
