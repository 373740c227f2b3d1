#include "platform/core/drives.h"
#include "tests/support/test_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <functional>
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

// Runs `work` in a child process with a private mount namespace, where the tests may mount
// media that only the child sees: /run is an empty tmpfs there and the user is "pelmtest", so
// the machine's own media do not count. `work` returns its findings as text, or "SKIP why"
// through `skip`. Returns nullopt with `why` set when this machine cannot do it.
using ChildWork = std::function<std::string(const std::function<void(const std::string&)>& skip)>;

std::optional<std::string> inPrivateMounts(const ChildWork& work, std::string& why) {
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
        if (mount("none", "/run", "tmpfs", 0, nullptr) != 0) {
            report("SKIP cannot mount tmpfs on /run");
        }
        mkdir("/run/media", 0755);
        mkdir("/run/media/pelmtest", 0755);
        setenv("USER", "pelmtest", 1);
        report(work([&](const std::string& why) { report("SKIP " + why); }));
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

const std::string kMedia = "/run/media/pelmtest";

TEST_F(DrivesTest, MountedMediaTakeFreeLettersInMountOrder) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting test media needs root";
    }
    if (mntInUse()) {
        GTEST_SKIP() << "this machine has media mounted at /mnt already";
    }
    std::string why;
    // B is claimed by a variable, so the media move on to the next free letters.
    std::optional<std::string> map = inPrivateMounts(
        [](const auto& skip) {
            auto tmpfs = [&](const std::string& source, const std::string& where) {
                if (mount(source.c_str(), where.c_str(), "tmpfs", 0, nullptr) != 0) {
                    skip("cannot mount tmpfs on " + where);
                }
            };
            for (const char* name : {"DISK1", "LABELED", "notmounted"}) {
                mkdir((kMedia + "/" + name).c_str(), 0755);
            }
            tmpfs("none", kMedia + "/DISK1");
            mkdir((kMedia + "/DISK1/inner").c_str(), 0755);
            tmpfs("none", kMedia + "/DISK1/inner"); // not directly below the root: no letter
            tmpfs("none", kMedia + "/DISK1");       // stacked on the same folder: still one letter
            tmpfs("none", "/mnt");
            tmpfs("/dev/pelmora-test-disk", kMedia + "/LABELED");
            // /dev is replaced in this namespace only, so nothing real is touched.
            tmpfs("none", "/dev");
            close(open("/dev/pelmora-test-disk", O_CREAT | O_WRONLY, 0644));
            mkdir("/dev/disk", 0755);
            mkdir("/dev/disk/by-label", 0755);
            symlink("../../pelmora-test-disk", "/dev/disk/by-label/My\\x20Disk");

            setenv(envName('B').c_str(), "/reserved", 1);
            std::string lines;
            for (char letter = 'A'; letter <= 'E'; ++letter) {
                if (std::optional<std::string> folder = driveFolder(letter)) {
                    lines += std::string(1, letter) + "=" + *folder + "|" +
                             GetVolumeInformation(letter).value_or("?") + "\n";
                }
            }
            return lines;
        },
        why);
    if (!map) {
        GTEST_SKIP() << why;
    }
    EXPECT_EQ(*map, "A=/run/media/pelmtest/DISK1|DISK1\n"
                    "B=/reserved|reserved\n"
                    "C=/mnt|mnt\n"
                    "D=/run/media/pelmtest/LABELED|My Disk\n");
}

TEST_F(DrivesTest, FirstRunStartsFromTheFirstMediumElseTheFirstFolderElseZ) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting test media needs root";
    }
    if (mntInUse()) {
        GTEST_SKIP() << "this machine has media mounted at /mnt already";
    }
    const std::string d = folders_.makeDir("d");
    const std::string f = folders_.makeDir("f");
    std::string why;
    // One letter per situation, in the order they are set up below.
    std::optional<std::string> letters = inPrivateMounts(
        [&](const auto& skip) {
            std::string found;
            setenv(envName('F').c_str(), f.c_str(), 1);
            setenv(envName('D').c_str(), d.c_str(), 1);
            setenv(envName('B').c_str(), folders_.file("gone").c_str(), 1); // no such folder
            found += firstRunDriveLetter(); // no medium: the first existing folder, D

            unsetenv(envName('D').c_str());
            unsetenv(envName('F').c_str());
            setenv(envName('Z').c_str(), folders_.file("gone").c_str(), 1);
            found += firstRunDriveLetter(); // nothing exists at all: Z

            mkdir((kMedia + "/USB").c_str(), 0755);
            if (mount("none", (kMedia + "/USB").c_str(), "tmpfs", 0, nullptr) != 0) {
                skip("cannot mount tmpfs");
            }
            setenv(envName('A').c_str(), d.c_str(), 1);
            found += firstRunDriveLetter(); // the medium, on C after A and B, before A's folder
            found += "=" + driveFolder('C').value_or("?");
            return found;
        },
        why);
    if (!letters) {
        GTEST_SKIP() << why;
    }
    EXPECT_EQ(*letters, "DZC=" + kMedia + "/USB");
}

} // namespace
} // namespace pelmora
