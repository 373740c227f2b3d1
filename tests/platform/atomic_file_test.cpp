// Atomic saves: the litter of a save killed before its rename is cleared by the next save.

#include "platform/core/atomic_file.h"
#include "tests/support/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {
namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

void age(const std::string& path, int seconds) {
    const timespec times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(AtomicFileTest, SaveRemovesOnlyItsOwnStaleTemporaries) {
    test::TempDir dir;
    const std::string stale = dir.writeText(".disk.PMB.pelmora-tmp-a1B2c3", "killed save");
    age(stale, 120);
    const std::string fresh = dir.writeText(".other.PMB.pelmora-tmp-Zz9yX8", "save in progress");
    age(fresh, 10);
    // Old files that only look alike: another suffix length, no leading dot, the old
    // "NAME.XXXXXX" form, a user's own file.
    const std::vector<std::string> foreign = {
        dir.writeText(".disk.PMB.pelmora-tmp-abc", "x"),
        dir.writeText("disk.PMB.pelmora-tmp-abcdef", "x"),
        dir.writeText("disk.PMB.q7W2eR", "x"),
        dir.writeText("notes.txt", "x"),
    };
    for (const std::string& path : foreign) {
        age(path, 3600);
    }
    const std::string staleFolder = dir.makeDir(".dir.pelmora-tmp-abcdef");
    age(staleFolder, 3600);

    std::string problem;
    ASSERT_TRUE(writeFileAtomically(dir.file("disk.PMB"), "label", &problem)) << problem;
    EXPECT_EQ(test::readFile(dir.file("disk.PMB")), "label");
    EXPECT_FALSE(exists(stale));
    EXPECT_TRUE(exists(fresh));
    EXPECT_TRUE(exists(staleFolder));
    for (const std::string& path : foreign) {
        EXPECT_TRUE(exists(path)) << path;
    }
    EXPECT_TRUE(isAtomicSaveTemporary(".disk.PMB.pelmora-tmp-a1B2c3"));
    EXPECT_FALSE(isAtomicSaveTemporary(".pelmora-tmp-a1B2c3"));
}

} // namespace
} // namespace pelmora
