#include "catalog/archive_reader.h"
#include "catalog/records.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

FileEntry member(const char* name, std::uint64_t size = 0) {
    FileEntry entry;
    copyTruncatedUtf8(entry.name, name);
    const std::string sizeText = std::to_string(size);
    copyTruncatedUtf8(entry.sizeText, sizeText.c_str());
    entry.size = size;
    return entry;
}

FileEntry folder(const char* name, std::vector<FileEntry> entries) {
    FileEntry entry = member(name);
    copyTruncatedUtf8(entry.sizeText, "[dir]");
    entry.hasChild = 1;
    entry.open = 1;
    entry.child = std::make_unique<VAROINFO>();
    entry.child->entries = std::move(entries);
    return entry;
}

// The tree as text: names in order, a folder's entries in braces.
std::string shape(const VAROINFO& node) {
    std::string text;
    for (const FileEntry& entry : node.entries) {
        text += (&entry == node.entries.data() ? "" : ",") + std::string(entry.name);
        if (entry.hasChild == 1 && entry.child) {
            text += "{" + shape(*entry.child) + "}";
        }
    }
    return text;
}

VAROINFO splitOf(std::vector<FileEntry> entries) {
    VAROINFO node;
    node.entries = std::move(entries);
    splitArchivePaths(node);
    return node;
}

TEST(SplitArchivePaths, BothSeparatorsAndAnyCaseOfAToZShareTheFirstFolder) {
    std::vector<FileEntry> entries;
    entries.push_back(member("A/X.TXT", 5));
    entries.push_back(member("a/Y.TXT", 1536));
    entries.push_back(member("A\\Z.TXT", 7));
    entries.back().align = 2;
    entries.push_back(member("\xC3\xA9/1.TXT"));
    entries.push_back(member("\xC3\x89/2.TXT")); // case of non-ASCII letters is kept apart
    entries.push_back(member("X/Y\\Z.TXT"));     // a backslash is split at before any slash
    VAROINFO node = splitOf(std::move(entries));

    EXPECT_EQ(shape(node), "A{X.TXT,Y.TXT,Z.TXT},\xC3\xA9{1.TXT},\xC3\x89{2.TXT},X/Y{Z.TXT}");
    const FileEntry& made = node.entries[0];
    EXPECT_STREQ(made.sizeText, "[dir]");
    EXPECT_EQ(made.size, 0u);
    EXPECT_EQ(made.hasChild, 1);
    EXPECT_EQ(made.open, 1);
    EXPECT_EQ(made.align, 0);
    // Members keep what the scanner gave them; only the name loses its folder part.
    const FileEntry& moved = made.child->entries[1];
    EXPECT_EQ(moved.size, 1536u);
    EXPECT_STREQ(moved.sizeText, "1536");
    EXPECT_EQ(made.child->entries[2].align, 2);
    EXPECT_EQ(moved.hasChild, 0);
}

TEST(SplitArchivePaths, DeeperLevelsBecomeNestedFoldersAfterTheEntriesThatStay) {
    std::vector<FileEntry> entries;
    entries.push_back(member("A/B/C.TXT", 3));
    entries.push_back(member("NAME.TXT"));
    entries.push_back(member("A/D.TXT"));
    entries.push_back(member("a/b/E.TXT"));
    entries.push_back(member("LAST.TXT"));
    VAROINFO node = splitOf(std::move(entries));

    EXPECT_EQ(shape(node), "NAME.TXT,LAST.TXT,A{D.TXT,B{C.TXT,E.TXT}}");
    EXPECT_EQ(node.entries[2].child->entries[1].child->entries[0].size, 3u);
}

TEST(SplitArchivePaths, FolderRecordGivesTheFolderAnEntryWithAnEmptyName) {
    std::vector<FileEntry> entries;
    entries.push_back(member("A/"));
    entries.push_back(member("A/F.TXT", 9));
    VAROINFO node = splitOf(std::move(entries));

    EXPECT_EQ(shape(node), "A{,F.TXT}");
    EXPECT_STREQ(node.entries[0].child->entries[0].sizeText, "0");
}

TEST(SplitArchivePaths, OnlyEntriesWithChildrenCollectMembers) {
    std::vector<FileEntry> entries;
    entries.push_back(member("A")); // a plain file named like the folder
    entries.push_back(member("A/X.TXT"));
    EXPECT_EQ(shape(splitOf(std::move(entries))), "A,A{X.TXT}");
}

TEST(SplitArchivePaths, EveryNodeBelowIsSplitButFoldersKeepTheirNames) {
    std::vector<FileEntry> archive;
    archive.push_back(member("P/Q.TXT"));
    archive.push_back(member("R.TXT"));
    std::vector<FileEntry> disk;
    disk.push_back(folder("OLD.ZIP", std::move(archive)));
    disk.push_back(folder("ODD/NAME", {}));
    std::vector<FileEntry> label;
    label.push_back(folder("DISK", std::move(disk)));
    label.push_back(member("TOP.TXT"));

    EXPECT_EQ(shape(splitOf(std::move(label))), "DISK{OLD.ZIP{R.TXT,P{Q.TXT}},ODD/NAME{}},TOP.TXT");
}

} // namespace
} // namespace pelmora
