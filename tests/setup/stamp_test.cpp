#include "setup/stamp_format.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> stampedFields(const std::string& binary) {
    const std::string bytes = readFile(binary);
    std::string problem;
    const auto where = findStampBlock(bytes, &problem);
    EXPECT_TRUE(where) << binary << ": " << problem;
    return where ? readStampFields(bytes, *where) : std::vector<std::string>{};
}

// The build stamps the distribution's Setup with the release and the real size of what it
// copies, and Uninstal with the product name.
TEST(StampTest, DistributionIsStampedWithTheRelease) {
    const std::string dist = PELMORA_DIST_DIR;
    std::uintmax_t bytes = 0;
    for (const char* item : {"Pelmora", "help", "Readme.txt", "Uninstal", "Qantlink"}) {
        ASSERT_TRUE(fs::exists(dist + "/" + item)) << item;
        if (fs::is_directory(dist + "/" + item)) {
            for (const auto& entry : fs::recursive_directory_iterator(dist + "/" + item)) {
                bytes += entry.is_regular_file() ? entry.file_size() : 0;
            }
        } else {
            bytes += fs::file_size(dist + "/" + item);
        }
    }
    const auto setup = stampedFields(dist + "/Setup");
    ASSERT_EQ(setup.size(), 5u);
    EXPECT_EQ(setup[0], "Pelmora");
    EXPECT_EQ(setup[2], "4.1");
    EXPECT_EQ(setup[3], PELMORA_RELEASE_DATE);
    EXPECT_EQ(setup[4], std::to_string((bytes + 1023) / 1024));
    const auto uninstall = stampedFields(dist + "/Uninstal");
    ASSERT_EQ(uninstall.size(), 2u);
    EXPECT_EQ(uninstall[0], "Pelmora");
}

// A stamped copy of a program reads the stamped values back; the bytes after each value's
// NUL keep the placeholder; values that do not fit and binaries without a block are refused.
TEST(StampTest, StampedProgramReadsItsValues) {
    TempDir dir;
    const std::string probe = dir.file("probe");
    fs::copy_file(PELMORA_STAMP_PROBE, probe);
    EXPECT_EQ(runCapturing(quoted(probe)).out, "*PRODUCT*|*VERSION*|*RELEASEDATE*|REQUIREDK*\n");

    const std::string stamp = std::string(PELMORA_STAMP_TOOL) + " " + quoted(probe);
    ASSERT_EQ(
        runCommand(stamp + " --name Pelmora --version 4.1 --date 'July 17, 1998' --space 850"), 0);
    EXPECT_EQ(runCapturing(quoted(probe)).out, "Pelmora|4.1|July 17, 1998|850\n");
    const std::string bytes = readFile(probe);
    EXPECT_NE(bytes.find(std::string("4.1\0SION*", 9)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("850\0IREDK*", 10)), std::string::npos);

    EXPECT_EQ(runCommand(stamp + " --date " + std::string(32, 'x') + " 2>/dev/null"), 2);
    EXPECT_EQ(runCapturing(quoted(probe)).out, "Pelmora|4.1|July 17, 1998|850\n");
    const std::string plain = dir.writeText("plain", "no block here");
    EXPECT_EQ(runCommand(std::string(PELMORA_STAMP_TOOL) + " " + quoted(plain) +
                         " --name Pelmora 2>/dev/null"),
              2);
    EXPECT_EQ(readFile(plain), "no block here");
}

} // namespace
} // namespace pelmora::test
