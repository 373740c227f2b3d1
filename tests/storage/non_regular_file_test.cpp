// Every reader of a file the user or a disk names refuses what is not a regular file without
// waiting on it: a named pipe with no writer would block the open for ever, and /dev/zero
// would be read until memory ran out.

#include "catalog/records.h"
#include "platform/core/ini_file.h"
#include "storage/image_loader.h"
#include "storage/label_file.h"
#include "storage/template_file.h"
#include "tests/support/test_support.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {
namespace {

using test::TempDir;

TEST(NonRegularFileTest, PipesDevicesAndFoldersAreRefusedAtOnce) {
    TempDir dir;
    const struct {
        std::string name;
        std::string problem;
    } cases[] = {
        {"pipe", "not a regular file"},
        {"zero", "not a regular file"},
        {"folder", "Is a directory"},
    };
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", dir.file("zero").c_str()), 0);
    dir.makeDir("folder");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The same object under each reader's own name, since some readers go by the suffix.
        for (const char* suffix : {".PMB", ".ini", ".PMT", ".bmp", ".jpg"}) {
            const std::string path = dir.file(c.name + suffix);
            ASSERT_EQ(rename(dir.file(c.name).c_str(), path.c_str()), 0);
            VAROINFO label;
            label.entries.resize(1);
            const LabelFileLoad load = loadLabelFile(path, label);
            EXPECT_EQ(load.status, LabelFileStatus::CannotOpen) << suffix;
            EXPECT_EQ(load.problem, c.problem);
            EXPECT_EQ(label.entryCount(), 1) << "the label keeps what it held";
            IniFile ini;
            EXPECT_FALSE(ini.load(path)) << suffix;
            EXPECT_FALSE(loadTemplateBytes(path)) << suffix;
            PlacedObject image;
            EXPECT_EQ(LoadImage(path, image), 0) << suffix;
            ASSERT_EQ(rename(path.c_str(), dir.file(c.name).c_str()), 0);
        }
    }
}

TEST(NonRegularFileTest, IniFarLargerThanAnySettingsFileIsNotReadOrReplaced) {
    TempDir dir;
    const std::string path = dir.writeText("Pelmora.ini", "[Settings]\nColumns0=3\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    EXPECT_EQ(ini.get("settings", "COLUMNS0"), std::optional<std::string_view>("3"));
    // A sparse file costs nothing on the disk.
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(kMaxIniBytes + 1)), 0);
    EXPECT_FALSE(ini.load(path));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_FALSE(ini.get("Settings", "Columns0"));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(static_cast<std::uint64_t>(status.st_size), kMaxIniBytes + 1);
}

} // namespace
} // namespace pelmora
