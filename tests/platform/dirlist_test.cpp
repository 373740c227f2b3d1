#include "platform/core/dirlist.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora {
namespace {

using test::TempDir;

// Every entry of a folder, in listing order.
std::vector<FindData> listAll(const std::string& folder, DotEntries dots) {
    std::vector<FindData> entries;
    DirectoryListing listing;
    FindData found;
    if (listing.findFirst(folder, found, dots)) {
        do {
            entries.push_back(found);
        } while (listing.findNext(found));
    }
    return entries;
}

std::map<std::string, FindData> byName(const std::vector<FindData>& entries) {
    std::map<std::string, FindData> names;
    for (const FindData& entry : entries) {
        names[entry.cFileName] = entry;
    }
    return names;
}

bool hasBits(std::uint32_t attributes, std::uint32_t bits) {
    return (attributes & bits) == bits;
}

// --- "." and ".." --------------------------------------------------------------------------

TEST(DirectoryListingDots, ReportedFirstAsFoldersThenEachEntryOnce) {
    TempDir dir;
    dir.writeFile("a.txt", 3);
    dir.makeDir("sub");
    for (int i = 0; i < 300; ++i) {
        dir.writeFile("many" + std::to_string(i));
    }
    std::vector<FindData> entries = listAll(dir.path(), DotEntries::Report);
    ASSERT_EQ(entries.size(), 2u + 2u + 300u);
    EXPECT_EQ(entries[0].cFileName, ".");
    EXPECT_EQ(entries[1].cFileName, "..");
    EXPECT_EQ(entries[0].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(entries[1].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    // readdir's own dot entries must not show up a second time.
    EXPECT_EQ(byName(entries).size(), entries.size());
}

TEST(DirectoryListingDots, OmittedForADriveRoot) {
    TempDir dir;
    dir.writeFile("only.txt", 1);
    std::vector<FindData> entries = listAll(dir.path(), DotEntries::Omit);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].cFileName, "only.txt");
}

TEST(DirectoryListingDots, EmptyFolderListsOnlyTheDotsOrNothing) {
    TempDir dir;
    std::vector<FindData> withDots = listAll(dir.path(), DotEntries::Report);
    ASSERT_EQ(withDots.size(), 2u);

    DirectoryListing listing;
    FindData found;
    EXPECT_FALSE(listing.findFirst(dir.path(), found, DotEntries::Omit));
    EXPECT_FALSE(listing.findNext(found));
}

// --- opening, ending and reuse ----------------------------------------------------------------

TEST(DirectoryListingLifecycle, MissingFolderAndFileAreNotListable) {
    TempDir dir;
    std::string file = dir.writeFile("plain.txt", 1);
    DirectoryListing listing;
    FindData found;
    EXPECT_FALSE(listing.findFirst(dir.file("missing"), found));
    EXPECT_FALSE(listing.findFirst(file, found));
    EXPECT_FALSE(listing.findNext(found));
}

TEST(DirectoryListingLifecycle, EndStaysEndedAndCloseStopsTheListing) {
    TempDir dir;
    dir.writeFile("x", 1);
    DirectoryListing listing;
    FindData found;
    ASSERT_TRUE(listing.findFirst(dir.path(), found, DotEntries::Omit));
    EXPECT_FALSE(listing.findNext(found));
    EXPECT_FALSE(listing.findNext(found));

    ASSERT_TRUE(listing.findFirst(dir.path(), found, DotEntries::Report));
    listing.close();
    EXPECT_FALSE(listing.findNext(found));
}

TEST(DirectoryListingLifecycle, ReusedListingForgetsThePreviousFoldersHiddenList) {
    TempDir dir;
    dir.writeText("first/.hidden", "shared\n");
    dir.writeFile("first/shared");
    dir.writeFile("second/shared");
    DirectoryListing listing;
    FindData found;
    ASSERT_TRUE(listing.findFirst(dir.file("first"), found, DotEntries::Omit));
    ASSERT_TRUE(listing.findFirst(dir.file("second"), found, DotEntries::Omit));
    EXPECT_EQ(found.cFileName, "shared");
    EXPECT_FALSE(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
}

TEST(DirectoryListingLifecycle, EntriesRemovedDuringTheListingAreSkipped) {
    TempDir dir;
    for (int i = 0; i < 5; ++i) {
        dir.writeFile("f" + std::to_string(i), 1);
    }
    DirectoryListing listing;
    FindData found;
    ASSERT_TRUE(listing.findFirst(dir.path(), found, DotEntries::Omit));
    std::string kept = found.cFileName;
    for (int i = 0; i < 5; ++i) {
        std::string name = "f" + std::to_string(i);
        if (name != kept) {
            unlink(dir.file(name).c_str());
        }
    }
    // The names are already read from the folder; their stat fails now.
    EXPECT_FALSE(listing.findNext(found));
}

TEST(DirectoryListingLifecycle, UnreadableFolderCannotBeListed) {
    TempDir dir;
    std::string locked = dir.makeDir("locked");
    dir.writeFile("locked/inside", 1);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    std::string result = test::runUnprivileged([&] {
        DirectoryListing listing;
        FindData found;
        return std::string(listing.findFirst(locked, found) ? "listed" : "refused");
    });
    EXPECT_EQ(result, "refused");
}

// --- hidden entries ---------------------------------------------------------------------------

TEST(DirectoryListingHidden, DotNamesAndNamesInTheHiddenFile) {
    TempDir dir;
    dir.writeText(".hidden", "secret.txt\r\n\nPrivate Folder\nnote\n\nlast-no-newline");
    dir.writeFile("secret.txt");
    dir.makeDir("Private Folder");
    dir.writeFile("note");
    dir.writeFile("notes.txt"); // only exact names are hidden
    dir.writeFile("last-no-newline");
    dir.writeFile(".profile");
    dir.makeDir(".cache");
    dir.writeFile("visible.txt");

    std::map<std::string, FindData> names = byName(listAll(dir.path(), DotEntries::Omit));
    for (const char* hidden : {".hidden", "secret.txt", "Private Folder", "note", "last-no-newline",
                               ".profile", ".cache"}) {
        ASSERT_TRUE(names.count(hidden)) << hidden;
        EXPECT_TRUE(names[hidden].dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) << hidden;
    }
    for (const char* shown : {"notes.txt", "visible.txt"}) {
        ASSERT_TRUE(names.count(shown)) << shown;
        EXPECT_FALSE(names[shown].dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) << shown;
    }
    EXPECT_TRUE(hasBits(names["Private Folder"].dwFileAttributes,
                        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(hasBits(names[".cache"].dwFileAttributes,
                        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
}

TEST(DirectoryListingHidden, HiddenFileAppliesOnlyToItsOwnFolder) {
    TempDir dir;
    dir.writeText(".hidden", "inner\n");
    dir.writeFile("sub/inner");
    std::map<std::string, FindData> names = byName(listAll(dir.file("sub"), DotEntries::Omit));
    ASSERT_TRUE(names.count("inner"));
    EXPECT_FALSE(names["inner"].dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
}

// --- sizes and kinds --------------------------------------------------------------------------

TEST(DirectoryListingEntries, SizesAndFolderBits) {
    TempDir dir;
    dir.writeFile("empty");
    dir.writeFile("k", 1023);
    dir.makeDir("folder");
    dir.writeFile("folder/content", 5000);
    ASSERT_EQ(test::runCommand("truncate -s 5G '" + dir.file("huge.img") + "'"), 0);

    std::map<std::string, FindData> names = byName(listAll(dir.path(), DotEntries::Omit));
    EXPECT_EQ(names["empty"].fileSize, 0u);
    EXPECT_EQ(names["k"].fileSize, 1023u);
    EXPECT_EQ(names["huge.img"].fileSize, 5ull * 1024 * 1024 * 1024);
    EXPECT_EQ(names["huge.img"].dwFileAttributes, 0u);
    EXPECT_EQ(names["folder"].fileSize, 0u);
    EXPECT_EQ(names["folder"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
}

TEST(DirectoryListingEntries, LongestLinuxNameKeptWhole) {
    TempDir dir;
    std::string longName(255, 'n');
    dir.writeFile(longName, 1);
    std::vector<FindData> entries = listAll(dir.path(), DotEntries::Omit);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].cFileName, longName);
    EXPECT_LT(entries[0].cFileName.size(), kFindNameCapacity);
}

TEST(DirectoryListingEntries, SymbolicLinksAreMarkedAndDescribedByTheirTarget) {
    TempDir dir;
    dir.makeDir("real-folder");
    dir.writeFile("real-file", 777);
    std::string danglingTarget = dir.file("nowhere/at/all");
    ASSERT_EQ(symlink(dir.file("real-folder").c_str(), dir.file("to-folder").c_str()), 0);
    ASSERT_EQ(symlink("real-file", dir.file("to-file").c_str()), 0);
    ASSERT_EQ(symlink(danglingTarget.c_str(), dir.file("dangling").c_str()), 0);

    std::map<std::string, FindData> names = byName(listAll(dir.path(), DotEntries::Omit));
    EXPECT_EQ(names["to-folder"].dwFileAttributes,
              FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(names["to-folder"].fileSize, 0u);
    EXPECT_EQ(names["to-file"].dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(names["to-file"].fileSize, 777u);
    EXPECT_EQ(names["dangling"].dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(names["dangling"].fileSize, danglingTarget.size());
    // The real folder keeps the plain folder bit.
    EXPECT_EQ(names["real-folder"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
}

// --- FAT attributes ---------------------------------------------------------------------------

TEST(DirectoryListingVfat, FatAttributesBecomeListingBits) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a vfat image needs root";
    }
    if (test::runCommand("command -v mkfs.vfat >/dev/null 2>&1 && command -v mattrib "
                         ">/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "mkfs.vfat or mattrib (dosfstools, mtools) not installed";
    }
    TempDir dir;
    std::string image = dir.file("fat.img");
    std::string mountPoint = dir.makeDir("mnt");
    ASSERT_EQ(test::runCommand("truncate -s 4M '" + image + "' && mkfs.vfat '" + image +
                               "' >/dev/null 2>&1"),
              0);
    // Files and their FAT attributes are written into the image directly, before mounting.
    std::string mtools = "MTOOLS_SKIP_CHECK=1 ";
    // Upper-case 8.3 names are shown as they are stored.
    ASSERT_EQ(test::runCommand(
                  "cd '" + dir.path() + "' && : > HID && : > SYS && : > RO && " + ": > PLAIN && " +
                  mtools + "mcopy -i fat.img HID SYS RO PLAIN ::/ && " + mtools +
                  "mattrib -i fat.img +h ::/HID && " + mtools + "mattrib -i fat.img +s ::/SYS && " +
                  mtools + "mattrib -i fat.img +r ::/RO"),
              0);
    if (test::runCommand("mount -o loop '" + image + "' '" + mountPoint + "' 2>/dev/null") != 0) {
        GTEST_SKIP() << "this kernel or container cannot mount a vfat image";
    }
    std::map<std::string, FindData> names = byName(listAll(mountPoint, DotEntries::Omit));
    test::runCommand("umount '" + mountPoint + "'");

    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names["HID"].dwFileAttributes, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(names["SYS"].dwFileAttributes, FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(names["RO"].dwFileAttributes, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(names["PLAIN"].dwFileAttributes, 0u);
}

} // namespace
} // namespace pelmora
