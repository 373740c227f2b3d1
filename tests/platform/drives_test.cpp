#include "platform/core/drives.h"
#include "tests/support/test_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora {
namespace {

using test::DriveMapping;
using test::TempDir;

std::string envName(char letter) {
    return std::string("PELMORA_DRIVE_") + letter;
}

// Every test starts without drive variables and with its own Windows folder (no Pelmora.ini
// unless the test writes one); the previous environment comes back afterwards.
class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saveAndUnset("PELMORA_WINDIR");
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            saveAndUnset(envName(letter));
        }
        setenv("PELMORA_WINDIR", windir_.path().c_str(), 1);
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

    void writeIni(const std::string& text) { windir_.writeText("Pelmora.ini", text); }

    TempDir windir_;
    TempDir folders_;

private:
    void saveAndUnset(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        unsetenv(name.c_str());
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

// --- where a letter points --------------------------------------------------------------------

TEST_F(DrivesTest, ZIsTheRootUnlessMappedElsewhere) {
    EXPECT_EQ(driveFolder('Z'), "/");
    setenv("PELMORA_DRIVE_Z", folders_.path().c_str(), 1);
    EXPECT_EQ(driveFolder('Z'), folders_.path());
}

TEST_F(DrivesTest, UnmappedLetterIsAbsentEverywhere) {
    // Mounted media take letters from A; Y stays free on any ordinary machine.
    EXPECT_EQ(driveFolder('Y'), std::nullopt);
    EXPECT_EQ(GetDiskFreeSpace('Y'), std::nullopt);
    EXPECT_EQ(GetVolumeInformation('Y'), std::nullopt);
    EXPECT_EQ(drivePathToFolder('Y', "\\SUB"), std::nullopt);
    EXPECT_EQ(GetLogicalDrives() & (1u << ('Y' - 'A')), 0u);
    EXPECT_EQ(driveFolder('1'), std::nullopt);
}

TEST_F(DrivesTest, OverridesRankIniThenEnvironmentThenSession) {
    std::string fromIni = folders_.makeDir("ini");
    std::string fromEnv = folders_.makeDir("env");
    std::string fromSession = folders_.makeDir("session");
    writeIni("[Other]\nQ=/elsewhere\n[drives]\n q = " + fromIni + " \n");
    EXPECT_EQ(driveFolder('Q'), fromIni);

    setenv("PELMORA_DRIVE_Q", fromEnv.c_str(), 1);
    EXPECT_EQ(driveFolder('Q'), fromEnv);
    {
        DriveMapping mapping('Q', fromSession);
        EXPECT_EQ(driveFolder('Q'), fromSession);
    }
    // Removing the session mapping uncovers the environment again, and so on down.
    EXPECT_EQ(driveFolder('Q'), fromEnv);
    unsetenv("PELMORA_DRIVE_Q");
    EXPECT_EQ(driveFolder('Q'), fromIni);
}

TEST_F(DrivesTest, FoldersLoseTrailingSlashes) {
    setenv("PELMORA_DRIVE_Q", (folders_.path() + "//").c_str(), 1);
    EXPECT_EQ(driveFolder('Q'), folders_.path());
    EXPECT_EQ(driveFolder('q'), folders_.path());
}

TEST_F(DrivesTest, DrivePathsBecomeFolderPaths) {
    DriveMapping mapping('Q', folders_.path());
    EXPECT_EQ(drivePathToFolder('Q', ""), folders_.path());
    EXPECT_EQ(drivePathToFolder('Q', "\\SUB\\DEEPER"), folders_.path() + "/SUB/DEEPER");
    EXPECT_EQ(drivePathToFolder('Z', "\\etc"), "/etc");
    EXPECT_EQ(drivePathToFolder('Z', ""), "/");
}

// --- what the system says about a drive -------------------------------------------------------

TEST_F(DrivesTest, LogicalDrivesHaveABitPerExistingFolder) {
    std::string folder = folders_.makeDir("there");
    std::string file = folders_.writeFile("a-file", 1);
    DriveMapping present('P', folder);
    DriveMapping missing('Q', folders_.file("not-there"));
    DriveMapping notAFolder('R', file);
    std::uint32_t bits = GetLogicalDrives();
    EXPECT_NE(bits & (1u << ('P' - 'A')), 0u);
    EXPECT_EQ(bits & (1u << ('Q' - 'A')), 0u);
    EXPECT_EQ(bits & (1u << ('R' - 'A')), 0u);
    EXPECT_NE(bits & (1u << ('Z' - 'A')), 0u);
}

TEST_F(DrivesTest, FreeSpaceOfAFolder) {
    DriveMapping mapping('Q', folders_.path());
    std::optional<DiskSpace> space = GetDiskFreeSpace('Q');
    ASSERT_TRUE(space);
    EXPECT_GT(space->totalBytes, 0);
    EXPECT_GT(space->freeBytes, 0);
    EXPECT_LE(space->freeBytes, space->totalBytes);

    DriveMapping missing('R', folders_.file("not-there"));
    EXPECT_EQ(GetDiskFreeSpace('R'), std::nullopt);
}

TEST_F(DrivesTest, VolumeNameOfAPlainFolderIsItsName) {
    DriveMapping mapping('Q', folders_.makeDir("My Backup"));
    EXPECT_EQ(GetVolumeInformation('Q'), "My Backup");
    struct stat st {};
    if (stat("/dev/disk/by-label", &st) != 0) {
        // Without labelled devices the root has the empty name.
        EXPECT_EQ(GetVolumeInformation('Z'), "");
    }
}

// --- mounted media ----------------------------------------------------------------------------

// Mounts media in a private mount namespace of a child process (only the child sees them) and
// reports what the child's drive map says: one line "X=folder|volume" per mapped letter A..E.
// Returns nullopt with `why` set when this machine cannot do it.
std::optional<std::string> mediaMapInChild(const std::string& reserved, std::string& why) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        why = "pipe failed";
        return std::nullopt;
    }
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        auto report = [&](const std::string& text) {
            ssize_t ignored = write(pipeFds[1], text.data(), text.size());
            (void)ignored;
            _exit(0);
        };
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            report("SKIP cannot make a private mount namespace");
        }
        const std::string media = "/run/media/pelmtest";
        auto tmpfs = [&](const std::string& source, const std::string& where) {
            if (mount(source.c_str(), where.c_str(), "tmpfs", 0, nullptr) != 0) {
                report("SKIP cannot mount tmpfs on " + where);
            }
        };
        // /run and /dev are replaced in this namespace only, so nothing real is touched.
        tmpfs("none", "/run");
        mkdir("/run/media", 0755);
        mkdir(media.c_str(), 0755);
        for (const char* name : {"DISK1", "LABELED", "notmounted"}) {
            mkdir((media + "/" + name).c_str(), 0755);
        }
        tmpfs("none", media + "/DISK1");
        mkdir((media + "/DISK1/inner").c_str(), 0755);
        tmpfs("none", media + "/DISK1/inner"); // not directly below the root: no letter
        tmpfs("none", media + "/DISK1");       // stacked on the same folder: still one letter
        tmpfs("none", "/mnt");
        tmpfs("/dev/pelmora-test-disk", media + "/LABELED");
        tmpfs("none", "/dev");
        close(open("/dev/pelmora-test-disk", O_CREAT | O_WRONLY, 0644));
        mkdir("/dev/disk", 0755);
        mkdir("/dev/disk/by-label", 0755);
        symlink("../../pelmora-test-disk", "/dev/disk/by-label/My\\x20Disk");

        setenv("USER", "pelmtest", 1);
        setenv(envName(reserved[0]).c_str(), "/reserved", 1);
        std::string lines;
        for (char letter = 'A'; letter <= 'E'; ++letter) {
            if (std::optional<std::string> folder = driveFolder(letter)) {
                lines += std::string(1, letter) + "=" + *folder + "|" +
                         GetVolumeInformation(letter).value_or("?") + "\n";
            }
        }
        report(lines);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (output.rfind("SKIP ", 0) == 0) {
        why = output.substr(5);
        return std::nullopt;
    }
    return output;
}

// True when something is mounted on /mnt or directly below it (it would take letters first).
bool mntInUse() {
    std::string table = test::readFile("/proc/self/mountinfo");
    std::size_t at = 0;
    while ((at = table.find(" /mnt", at)) != std::string::npos) {
        std::size_t end = table.find(' ', at + 1);
        std::string folder = table.substr(at + 1, end - at - 1);
        if (folder == "/mnt" ||
            (folder.rfind("/mnt/", 0) == 0 && folder.find('/', 5) == std::string::npos)) {
            return true;
        }
        at = end;
    }
    return false;
}

TEST_F(DrivesTest, MountedMediaTakeFreeLettersInMountOrder) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting test media needs root";
    }
    if (mntInUse()) {
        GTEST_SKIP() << "this machine has media mounted at /mnt already";
    }
    std::string why;
    // B is claimed by a variable, so the media move on to the next free letters.
    std::optional<std::string> map = mediaMapInChild("B", why);
    if (!map) {
        GTEST_SKIP() << why;
    }
    EXPECT_EQ(*map, "A=/run/media/pelmtest/DISK1|DISK1\n"
                    "B=/reserved|reserved\n"
                    "C=/mnt|mnt\n"
                    "D=/run/media/pelmtest/LABELED|My Disk\n");
}

} // namespace
} // namespace pelmora
