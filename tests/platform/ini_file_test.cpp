#include "platform/core/ini_file.h"
#include "platform/core/profile.h"
#include "tests/support/test_support.h"

#include <cctype>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

// Test names from the cases' descriptions.
const auto caseName = [](const auto& info) { return test::caseNameOf(info.param.what); };

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// --- writing single keys -----------------------------------------------------------------------

struct WriteCase {
    const char* what;
    std::optional<std::string> before; // nullopt: no file
    const char* section;
    const char* key;
    std::optional<std::string_view> value; // nullopt: remove the key
    std::optional<std::string> after;      // nullopt: still no file
};
void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.what;
}

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    TempDir dir;
    std::string path = dir.file("Pelmora.ini");
    if (c.before) {
        dir.writeText("Pelmora.ini", *c.before);
    }
    ASSERT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, path));
    if (c.after) {
        EXPECT_EQ(readFile(path), *c.after);
    } else {
        EXPECT_FALSE(fs::exists(path));
    }
    EXPECT_EQ(namesIn(dir.path()).size(), c.after ? 1u : 0u) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(
        WriteCase{"creates file and section", std::nullopt, "vexo", "Drive", "67",
                  "[vexo]\nDrive=67\n"},
        WriteCase{"replaces in place, any case, keeps the stored spelling",
                  "[vexo]\nA=1\n  drive = 66 \nB=2\n", "VEXO", "Drive", "67",
                  "[vexo]\nA=1\ndrive=67\nB=2\n"},
        WriteCase{"appends after the section's last key", "[vexo]\nA=1\n\n; next\n[Other]\nX=1\n",
                  "vexo", "B", "2", "[vexo]\nA=1\nB=2\n\n; next\n[Other]\nX=1\n"},
        WriteCase{"fills an empty section", "[vexo]\n[Other]\n", "vexo", "A", "1",
                  "[vexo]\nA=1\n[Other]\n"},
        WriteCase{"adds a missing section at the end", "[Install]\nInstallPath=/opt/p\n", "vexo",
                  "Drive", "67", "[Install]\nInstallPath=/opt/p\n\n[vexo]\nDrive=67\n"},
        WriteCase{"first of two same-named sections", "[vexo]\nA=1\n[VEXO]\nB=1\n", "vexo", "B",
                  "2", "[vexo]\nA=1\nB=2\n[VEXO]\nB=1\n"},
        WriteCase{"keeps CR LF line ends", "[vexo]\r\nA=1\r\n", "vexo", "B", "2",
                  "[vexo]\r\nA=1\r\nB=2\r\n"},
        WriteCase{"keeps comments and odd lines", "; top\n[vexo]\nnot an entry\n;A=0\nA=1", "vexo",
                  "A", "a=b ", "; top\n[vexo]\nnot an entry\n;A=0\nA=a=b \n"},
        WriteCase{"changes the first of two same keys", "[vexo]\nA=1\na=2\n", "vexo", "A", "3",
                  "[vexo]\nA=3\na=2\n"},
        WriteCase{"removes a key", "[vexo]\nA=1\nb=2\nC=3\n", "vexo", "B", std::nullopt,
                  "[vexo]\nA=1\nC=3\n"},
        WriteCase{"removing from no file creates none", std::nullopt, "vexo", "A", std::nullopt,
                  std::nullopt},
        WriteCase{"an empty value is a value", "[vexo]\nA=1\n", "vexo", "A", "", "[vexo]\nA=\n"}),
    caseName);

TEST(ProfileWriteRefused, ValuesAndNamesThatCannotBeOneLine) {
    TempDir dir;
    const std::string before = "[vexo]\nA=1\n";
    std::string path = dir.writeText("Pelmora.ini", before);
    struct Refused {
        const char* section;
        const char* key;
        const char* value;
    };
    for (const Refused& r :
         {Refused{"vexo", "A", "two\nlines"}, Refused{"vexo", "A", "cr\r"},
          Refused{"vexo", "B=C", "1"}, Refused{"vexo", " ", "1"}, Refused{"vexo", "[B]", "1"},
          Refused{"vexo", ";B", "1"}, Refused{"ve]xo", "B", "1"}, Refused{"ve\nxo", "B", "1"}}) {
        EXPECT_FALSE(WritePrivateProfileString(r.section, r.key, r.value, path)) << r.key;
    }
    EXPECT_EQ(readFile(path), before);
}

TEST(ProfileWriteRead, WhatIsWrittenReadsBack) {
    TempDir dir;
    std::string path = dir.file("Pelmora.ini");
    ASSERT_TRUE(WritePrivateProfileString("vexo", "Path", "/media/disk/a=b", path));
    ASSERT_TRUE(WritePrivateProfileString("Install", "InstallPath", "/opt/p", path));
    ASSERT_TRUE(WritePrivateProfileString("vexo", "PATH", "/other", path));
    EXPECT_EQ(GetPrivateProfileString("vexo", "path", "none", 255, path), "/other");
    EXPECT_EQ(GetPrivateProfileString("install", "installpath", "none", 255, path), "/opt/p");
}

// --- many keys at once -------------------------------------------------------------------------

TEST(IniFileBatch, ManyKeysInOneSaveKeepTheirOrder) {
    TempDir dir;
    std::string path = dir.writeText("Pelmora.ini", "[Install]\nInstallPath=/opt/p\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    for (int i = 0; i < 400; ++i) {
        ASSERT_TRUE(ini.set(i % 2 == 0 ? "vexo" : "Second", "Key" + std::to_string(i),
                            std::to_string(i * 7)));
    }
    ASSERT_TRUE(ini.set("vexo", "key0", "changed"));
    ASSERT_TRUE(ini.save(path));

    IniFile back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.text(), ini.text());
    EXPECT_EQ(back.get("vexo", "Key0"), "changed");
    EXPECT_EQ(back.get("second", "KEY399"), std::to_string(399 * 7));
    EXPECT_EQ(back.get("vexo", "Key1"), std::nullopt);
    EXPECT_EQ(back.get("Install", "InstallPath"), "/opt/p");
    // Each section lists its keys in the order they were first set.
    std::string text = back.text();
    EXPECT_LT(text.find("Key0="), text.find("Key2="));
    EXPECT_LT(text.find("Key2="), text.find("Key398="));
    EXPECT_LT(text.find("Key398="), text.find("[Second]"));
}

// --- saving never destroys the previous file -----------------------------------------------------

class IniSave : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.writeText("Pelmora.ini", kOld);
        ini_.load(path_);
        for (int i = 0; i < 200; ++i) {
            ini_.set("vexo", "Key" + std::to_string(i), std::string(40, 'v'));
        }
    }
    void expectOldFileAlone() {
        EXPECT_EQ(readFile(path_), kOld);
        EXPECT_EQ(namesIn(dir_.path()), std::vector<std::string>{"Pelmora.ini"});
    }

    static constexpr const char* kOld = "[vexo]\nDrive=67\n";
    TempDir dir_;
    std::string path_;
    IniFile ini_;
};

TEST_F(IniSave, ReadOnlyFolder) {
    ASSERT_EQ(chmod(dir_.path().c_str(), 0555), 0);
    std::string result = test::runUnprivileged([&] {
        return std::string(ini_.save(path_) ? "saved" : "refused") +
               (WritePrivateProfileString("vexo", "Drive", "68", path_) ? " saved" : " refused");
    });
    chmod(dir_.path().c_str(), 0755);
    EXPECT_EQ(result, "refused refused");
    expectOldFileAlone();
}

TEST_F(IniSave, ReadOnlyFileInWritableFolder) {
    ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    std::string result =
        test::runUnprivileged([&] { return std::string(ini_.save(path_) ? "saved" : "refused"); });
    EXPECT_EQ(result, "refused");
    expectOldFileAlone();
}

TEST_F(IniSave, UnreadableFileIsNotReplacedByOneKey) {
    ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(path_.c_str(), 0222), 0);
    std::string result = test::runUnprivileged([&] {
        return std::string(WritePrivateProfileString("vexo", "Zoom", "1", path_) ? "saved"
                                                                                 : "refused");
    });
    chmod(path_.c_str(), 0644);
    EXPECT_EQ(result, "refused");
    expectOldFileAlone();
}

TEST_F(IniSave, FullDisk) {
    // A file-size limit makes the writes fail part-way, as a full disk does.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ini_.save(path_) ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    expectOldFileAlone();
}

TEST_F(IniSave, ReplacedFileKeepsModeAndSymbolicLink) {
    ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
    std::string link = dir_.file("link.ini");
    fs::create_symlink(path_, link);
    ASSERT_TRUE(ini_.save(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(path_), ini_.text());
    struct stat info {};
    ASSERT_EQ(stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(IniLoad, MissingFileIsEmptyButAFolderIsAnError) {
    TempDir dir;
    IniFile ini;
    EXPECT_TRUE(ini.load(dir.file("none.ini")));
    EXPECT_EQ(ini.text(), "");
    EXPECT_FALSE(ini.load(dir.path()));
    // Writing into a file that is a folder fails instead of replacing the folder.
    EXPECT_FALSE(WritePrivateProfileString("vexo", "A", "1", dir.makeDir("sub.ini")));
    EXPECT_TRUE(fs::is_directory(dir.file("sub.ini")));
}

} // namespace
} // namespace pelmora
