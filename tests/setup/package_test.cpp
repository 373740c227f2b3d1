#include "tests/support/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> execLines(const std::string& entry) {
    std::vector<std::string> lines;
    for (std::size_t at = entry.find("\nExec="); at != std::string::npos;
         at = entry.find("\nExec=", at + 1)) {
        lines.push_back(entry.substr(at + 6, entry.find('\n', at + 1) - at - 6));
    }
    return lines;
}

// `cmake --install` puts the program, the CLI, the help book and the desktop's files in the
// usual places, and the desktop then knows a label file; `cpack -G DEB` packages the same
// tree with the libraries it needs.
TEST(PackageTest, InstallsIntoTheUsualPlacesAndBuildsADebianPackage) {
    TempDir dir;
    const std::string build = PELMORA_BUILD_DIR;
    const std::string prefix = dir.file("prefix");
    ASSERT_EQ(runCommand("cmake --install " + quoted(build) + " --prefix " + quoted(prefix) +
                         " >/dev/null"),
              0);
    EXPECT_TRUE(fs::is_symlink(prefix + "/bin/pelmora"));
    EXPECT_EQ(fs::canonical(prefix + "/bin/pelmora"), fs::path(prefix + "/lib/pelmora/Pelmora"));
    EXPECT_TRUE(fs::exists(prefix + "/bin/pelmora-cli"));
    EXPECT_EQ(readFile(prefix + "/lib/pelmora/help/index.html"),
              readFile(std::string(PELMORA_SOURCE_DIR) + "/resources/help/index.html"));
    EXPECT_TRUE(fs::is_regular_file(prefix + "/share/pelmora/help/index.html"));
    EXPECT_TRUE(fs::is_regular_file(prefix + "/share/doc/pelmora/Readme.txt"));

    const std::string applications = prefix + "/share/applications/";
    EXPECT_EQ(execLines(readFile(applications + "pelmora.desktop")),
              std::vector<std::string>{"pelmora"});
    EXPECT_EQ(execLines(readFile(applications + "pelmora-label.desktop")),
              (std::vector<std::string>{"pelmora -label %f", "pelmora -printlabel %f"}));
    EXPECT_EQ(execLines(readFile(applications + "pelmora-template.desktop")),
              std::vector<std::string>{"pelmora -template %f"});
    for (const char* icon : {"apps/pelmora.png", "mimetypes/application-x-pelmora-label.png",
                             "mimetypes/application-x-pelmora-template.png"}) {
        EXPECT_TRUE(fs::is_regular_file(prefix + "/share/icons/hicolor/48x48/" + icon)) << icon;
    }
    if (runCommand("command -v desktop-file-validate >/dev/null") == 0) {
        EXPECT_EQ(runCommand("cd " + quoted(applications) +
                             " && desktop-file-validate pelmora.desktop pelmora-label.desktop "
                             "pelmora-template.desktop"),
                  0);
    }
    if (runCommand("command -v update-mime-database >/dev/null && command -v xdg-mime "
                   ">/dev/null") == 0) {
        ASSERT_EQ(runCommand("update-mime-database " + quoted(prefix + "/share/mime")), 0);
        const std::string label = dir.writeText("disk.PMB", "label");
        const CommandRun query = runCapturing("XDG_DATA_HOME=" + quoted(dir.makeDir("empty")) +
                                              " XDG_DATA_DIRS=" + quoted(prefix + "/share") +
                                              " xdg-mime query filetype " + quoted(label));
        EXPECT_EQ(query.out, "application/x-pelmora-label\n");
    }

    const std::string packages = dir.file("packages");
    ASSERT_EQ(runCommand("cd " + quoted(build) + " && cpack -G DEB -B " + quoted(packages) +
                         " >/dev/null"),
              0);
    std::string deb;
    for (const auto& entry : fs::directory_iterator(packages)) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    ASSERT_TRUE(fs::path(deb).filename().string().starts_with("pelmora_4.1_")) << deb;
    const std::string package = test::quoted(deb);
    const std::string listing = runCapturing("dpkg-deb -c " + package).out;
    for (const char* path :
         {" ./usr/lib/pelmora/Pelmora\n", " ./usr/bin/pelmora -> ../lib/pelmora/Pelmora\n",
          " ./usr/bin/pelmora-cli\n", " ./usr/share/mime/packages/pelmora.xml\n",
          " ./usr/share/applications/pelmora.desktop\n",
          " ./usr/share/applications/pelmora-label.desktop\n",
          " ./usr/share/pelmora/help/index.html\n"}) {
        EXPECT_NE(listing.find(path), std::string::npos) << path << listing;
    }
    const std::string depends = runCapturing("dpkg-deb -f " + package + " Depends").out;
    EXPECT_NE(depends.find("libqt6widgets6"), std::string::npos) << depends;
    EXPECT_NE(depends.find("fonts-liberation"), std::string::npos) << depends;
}

} // namespace
} // namespace pelmora::test
