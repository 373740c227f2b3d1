#include "platform/core/dirlist.h"
#include "platform/core/hidden_file.h"
#include "tests/support/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {
namespace {

using test::TempDir;

// The attributes the directory listing reports for one name of a folder.
std::uint32_t listedAttributes(const std::string& folder, const std::string& name) {
    DirectoryListing listing;
    FindData found;
    if (listing.findFirst(folder, found, DotEntries::Omit)) {
        do {
            if (found.cFileName == name) {
                return found.dwFileAttributes;
            }
        } while (listing.findNext(found));
    }
    ADD_FAILURE() << name << " not listed";
    return 0;
}

bool exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

// --- the ".hidden" list ------------------------------------------------------------------------

TEST(SetFileHiddenList, NameAddedOnceAndListedAsHidden) {
    TempDir dir;
    std::string file = dir.writeText("Pelmora.PMT", "x");
    EXPECT_EQ(listedAttributes(dir.path(), "Pelmora.PMT") & FILE_ATTRIBUTE_HIDDEN, 0u);

    EXPECT_TRUE(SetFileHidden(file));
    EXPECT_TRUE(SetFileHidden(file)); // a second time adds no second line
    EXPECT_EQ(test::readFile(dir.file(".hidden")), "Pelmora.PMT\n");
    EXPECT_NE(listedAttributes(dir.path(), "Pelmora.PMT") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(SetFileHiddenList, ExistingListKeptAndCompleted) {
    TempDir dir;
    std::string file = dir.writeText("b.txt", "");
    dir.writeText(".hidden", "a.txt\r\nold"); // last line without a line end
    EXPECT_TRUE(SetFileHidden(file));
    EXPECT_EQ(test::readFile(dir.file(".hidden")), "a.txt\r\nold\nb.txt\n");

    // A name on a CR LF line counts as present; a longer or shorter name does not.
    std::string a = dir.writeText("a.txt", "");
    dir.writeText("a.tx", "");
    EXPECT_TRUE(SetFileHidden(a));
    EXPECT_TRUE(SetFileHidden(dir.file("a.tx")));
    EXPECT_EQ(test::readFile(dir.file(".hidden")), "a.txt\r\nold\nb.txt\na.tx\n");
}

TEST(SetFileHiddenList, FoldersAndRelativePathsWork) {
    TempDir dir;
    std::string folder = dir.makeDir("sub");
    EXPECT_TRUE(SetFileHidden(folder));
    EXPECT_EQ(test::readFile(dir.file(".hidden")), "sub\n");

    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    dir.writeText("here.txt", "");
    const bool hidden = SetFileHidden("here.txt");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(test::readFile(dir.file(".hidden")), "sub\nhere.txt\n");
}

TEST(SetFileHiddenList, NothingWrittenForMissingFilesDotNamesOrUnlistableNames) {
    TempDir dir;
    EXPECT_FALSE(SetFileHidden(dir.file("missing")));
    EXPECT_FALSE(SetFileHidden(""));
    EXPECT_TRUE(SetFileHidden(dir.writeText(".dotted", "")));
    EXPECT_FALSE(SetFileHidden(dir.writeText("two\nlines", "")));
    EXPECT_FALSE(exists(dir.file(".hidden")));
}

TEST(SetFileHiddenList, UnwritableFolderReportsFailure) {
    TempDir dir;
    std::string folder = dir.makeDir("locked");
    std::string file = dir.writeText("locked/f", "");
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const std::string result =
        test::runUnprivileged([&] { return std::string(SetFileHidden(file) ? "1" : "0"); });
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(result, "0");
    EXPECT_FALSE(exists(dir.file("locked/.hidden")));
}

// --- FAT attribute ----------------------------------------------------------------------------

TEST(SetFileHiddenVfat, AttributeSetAndNoListWritten) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a vfat image needs root";
    }
    if (test::runCommand("command -v mkfs.vfat >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "mkfs.vfat (dosfstools) not installed";
    }
    TempDir dir;
    std::string image = dir.file("fat.img");
    std::string mountPoint = dir.makeDir("mnt");
    ASSERT_EQ(test::runCommand("truncate -s 4M '" + image + "' && mkfs.vfat '" + image +
                               "' >/dev/null 2>&1"),
              0);
    if (test::runCommand("mount -o loop '" + image + "' '" + mountPoint + "' 2>/dev/null") != 0) {
        GTEST_SKIP() << "this kernel or container cannot mount a vfat image";
    }
    std::string file = mountPoint + "/Pelmora.PMT";
    test::runCommand("printf x > '" + file + "'");
    const bool hidden = SetFileHidden(file);
    std::uint32_t fat = 0;
    int fd = open(file.c_str(), O_RDONLY);
    const bool got = fd >= 0 && ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0;
    if (fd >= 0) {
        close(fd);
    }
    const std::uint32_t listed = listedAttributes(mountPoint, "Pelmora.PMT");
    const bool listWritten = exists(mountPoint + "/.hidden");
    test::runCommand("umount '" + mountPoint + "'");

    EXPECT_TRUE(hidden);
    ASSERT_TRUE(got);
    EXPECT_EQ(fat, static_cast<std::uint32_t>(ATTR_HIDDEN)); // archive bit cleared too
    EXPECT_EQ(listed, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(listWritten);
}

} // namespace
} // namespace pelmora
