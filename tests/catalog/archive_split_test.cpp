#include "catalog/archive_reader.h"
#include "catalog/records.h"
#include "platform/core/ascii.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
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

TEST(SplitArchivePaths, FolderRecordsMakeTheirFolderAndNothingElse) {
    std::vector<FileEntry> entries;
    entries.push_back(member("A/"));
    entries.push_back(member("A/F.TXT", 9));
    entries.push_back(member("a\\B/")); // nested record, other case and separator
    entries.push_back(member("EMPTY/"));
    entries.push_back(member("A/B/G.TXT"));
    VAROINFO node = splitOf(std::move(entries));

    EXPECT_EQ(shape(node), "A{F.TXT,B{G.TXT}},EMPTY{}");
    EXPECT_STREQ(node.entries[1].sizeText, "[dir]");
    ASSERT_NE(node.entries[1].child, nullptr);
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

// The splitting written the plain way: each member is taken out where it stands, its folder
// searched among all entries of the node, new folders appended at the end. Quadratic, and
// the measure the fast version must equal.
FileEntry& referenceFolder(VAROINFO& node, const std::string& name) {
    for (FileEntry& entry : node.entries) {
        if (entry.hasChild == 1 && equalsIgnoringAsciiCase(entry.name, name)) {
            if (!entry.child) {
                entry.child = std::make_unique<VAROINFO>();
            }
            return entry;
        }
    }
    return node.entries.emplace_back(folder(name.c_str(), {}));
}

void referenceSplit(VAROINFO& node) {
    std::size_t i = 0;
    while (i < node.entries.size()) {
        const FileEntry& entry = node.entries[i];
        const char* separator = std::strchr(entry.name, '\\');
        if (separator == nullptr) {
            separator = std::strchr(entry.name, '/');
        }
        if (entry.hasChild == 1 || separator == nullptr) {
            if (entry.hasChild == 1 && entry.child) {
                referenceSplit(*entry.child);
            }
            ++i;
            continue;
        }
        const std::string folderName(entry.name, separator);
        const std::string rest(separator + 1);
        FileEntry& owner = referenceFolder(node, folderName);
        if (!rest.empty()) {
            FileEntry moved = std::move(node.entries[i]);
            copyTruncatedUtf8(moved.name, sizeof moved.name, rest.data(), rest.size());
            owner.child->entries.push_back(std::move(moved));
        }
        node.entries.erase(node.entries.begin() + static_cast<std::ptrdiff_t>(i));
    }
    node.entries.shrink_to_fit();
}

// Every field the split may touch, for the whole tree.
std::string dump(const VAROINFO& node) {
    std::string text;
    for (const FileEntry& entry : node.entries) {
        text += std::string(entry.name) + "|" + entry.sizeText + "|" + std::to_string(entry.size) +
                "|" + std::to_string(entry.hasChild) + std::to_string(entry.open) +
                std::to_string(entry.align) + (entry.child ? "{" + dump(*entry.child) + "}" : "") +
                ";";
    }
    return text;
}

// Paths from a few components that collide in case and separator, with folder records,
// empty components and names longer than the field; among them folders the disk already
// had, with and without contents, at random places.
std::vector<FileEntry> randomEntries(std::mt19937& random, int count, int depth = 0) {
    static const char* const kParts[] = {
        "a",   "A",        "b",        "B",     "Doc", "DOC",
        "doc", "\xC3\xA9", "\xC3\x89", "x.txt", "",    "Long-component-of-thirty-bytes"};
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<FileEntry> entries;
    for (int i = 0; i < count; ++i) {
        if (depth < 2 && pick(12) == 0) {
            FileEntry existing = folder(kParts[pick(10)], {});
            if (pick(3) == 0) {
                existing.child.reset();
            } else {
                existing.child->entries = randomEntries(random, pick(6), depth + 1);
            }
            entries.push_back(std::move(existing));
            continue;
        }
        std::string path;
        const int levels = pick(4);
        for (int level = 0; level <= levels; ++level) {
            path += kParts[pick(12)];
            if (level < levels || pick(8) == 0) {
                path += pick(3) == 0 ? '\\' : '/';
            }
        }
        FileEntry entry = member(path.c_str(), static_cast<std::uint64_t>(pick(5000)));
        entry.align = pick(3);
        entries.push_back(std::move(entry));
    }
    return entries;
}

TEST(SplitArchivePaths, EqualsThePlainWalkOnRandomPaths) {
    std::mt19937 random(20240613);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        VAROINFO fast;
        fast.entries = randomEntries(random, 200);
        VAROINFO reference;
        reference.entries = fast.entries;
        splitArchivePaths(fast);
        referenceSplit(reference);
        ASSERT_EQ(dump(fast), dump(reference));
    }
}

} // namespace
} // namespace pelmora
