#include "platform/core/profile.h"
#include "tests/support/test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace pelmora {
namespace {

using test::TempDir;

// Saves the variables a test changes and puts them back afterwards.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    ~EnvironmentGuard() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// --- the Windows folder -----------------------------------------------------------------------

TEST(ProfileFolder, PelmoraWindirThenXdgConfigThenHomeConfig) {
    EnvironmentGuard guard({"PELMORA_WINDIR", "XDG_CONFIG_HOME", "HOME"});
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    setenv("PELMORA_WINDIR", "/win", 1);
    EXPECT_EQ(windowsFolder(), "/win");
    EXPECT_EQ(profilePath("Pelmora.ini"), "/win/Pelmora.ini");

    setenv("PELMORA_WINDIR", "", 1); // set but empty counts as unset
    EXPECT_EQ(windowsFolder(), "/xdg");
    unsetenv("PELMORA_WINDIR");
    EXPECT_EQ(windowsFolder(), "/xdg");

    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(windowsFolder(), "/home/someone/.config");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(profilePath("x.ini"), "/home/someone/.config/x.ini");
}

// --- reading values ---------------------------------------------------------------------------

class ProfileRead : public ::testing::Test {
protected:
    std::string write(const std::string& text) { return dir_.writeText("test.ini", text); }
    std::string read(const std::string& section, const std::string& key,
                     std::size_t capacity = 255) {
        return GetPrivateProfileString(section, key, "DEFAULT", capacity, dir_.file("test.ini"));
    }

    TempDir dir_;
};

TEST_F(ProfileRead, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(read("vexo", "Drive"), "DEFAULT");
    write("[vexo]\nDrive=A\n[Other]\nWidth=3\n");
    EXPECT_EQ(read("Missing", "Drive"), "DEFAULT");
    EXPECT_EQ(read("vexo", "Missing"), "DEFAULT");
    // A key of a later section does not belong to the one before it.
    EXPECT_EQ(read("vexo", "Width"), "DEFAULT");
    EXPECT_EQ(read("Other", "Drive"), "DEFAULT");
}

TEST_F(ProfileRead, NamesCompareWithoutCaseAndBlanksAreTrimmed) {
    write("  [ Vexo ]  \n   DriveLetter   =   B:\\  \nEmpty=\n\tTabbed\t=\tvalue with  inner  "
          "spaces\t\n");
    EXPECT_EQ(read("VEXO", "driveletter"), "B:\\");
    EXPECT_EQ(read("vexo", "DRIVELETTER"), "B:\\");
    EXPECT_EQ(read("vexo", "Tabbed"), "value with  inner  spaces");
    // An empty value is a value, not a missing key.
    EXPECT_EQ(read("vexo", "Empty"), "");
}

TEST_F(ProfileRead, ErrorTextIsReturnedAsStored) {
    write("[vexo]\nFont=error\n");
    EXPECT_EQ(GetPrivateProfileString("vexo", "Font", "error", 255, dir_.file("test.ini")),
              "error");
    EXPECT_EQ(read("vexo", "Font"), "error");
}

TEST_F(ProfileRead, CommentsLineEndsAndOddLines) {
    write("; Drive=commented\r\n[vexo]\r\n;Drive=Z\r\nnot an entry\r\nDrive=C\r\n"
          "Path=a=b=c\r\n[broken\r\nLast=no newline");
    EXPECT_EQ(read("vexo", "Drive"), "C");
    EXPECT_EQ(read("vexo", ";Drive"), "DEFAULT");
    EXPECT_EQ(read("vexo", "Path"), "a=b=c");
    // "[broken" is no section header, so its lines still belong to [vexo].
    EXPECT_EQ(read("vexo", "Last"), "no newline");
}

TEST_F(ProfileRead, FirstSectionAndFirstKeyWin) {
    write("[vexo]\nKey=first\nkey=second\n[VEXO]\nKey=third\nOnlyLater=x\n");
    EXPECT_EQ(read("vexo", "key"), "first");
    EXPECT_EQ(read("vexo", "OnlyLater"), "DEFAULT");
}

TEST_F(ProfileRead, ResultIsCutToCapacityLessOne) {
    write("[s]\nk=abcdefgh\nu=ab\xC3\xA9\n");
    EXPECT_EQ(read("s", "k", 5), "abcd");
    EXPECT_EQ(read("s", "k", 9), "abcdefgh");
    EXPECT_EQ(read("s", "k", 1), "");
    EXPECT_EQ(read("s", "k", 0), "");
    EXPECT_EQ(read("s", "missing", 4), "DEF"); // the default is cut the same way
    // A cut never leaves half a UTF-8 character behind.
    EXPECT_EQ(read("s", "u", 4), "ab");
    EXPECT_EQ(read("s", "u", 5), "ab\xC3\xA9");
}

} // namespace
} // namespace pelmora
