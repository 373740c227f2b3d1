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

// `cmake --install` puts the program, the CLI, the help book, the desktop's files and the
// manual pages in the usual places, and the desktop then knows a label file.
TEST(PackageTest, InstallsIntoTheUsualPlaces) {
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

    // The manual pages, the completion, the AppStream data with its screenshot, and the
    // package's copyright and change log.
    for (const char* path :
         {"share/man/man1/pelmora.1.gz", "share/man/man1/pelmora-cli.1.gz",
          "share/bash-completion/completions/pelmora-cli",
          "share/metainfo/org.example.pelmora.metainfo.xml",
          "share/pelmora/screenshots/pelmora-window.png", "share/doc/pelmora/copyright",
          "share/doc/pelmora/changelog.Debian.gz", "share/lintian/overrides/pelmora"}) {
        EXPECT_TRUE(fs::is_regular_file(prefix + "/" + path)) << path;
    }
}

// Runs `command` and returns its standard output when it exits with 0, with its error output
// in the failure message otherwise.
std::string outputOf(const std::string& command) {
    const CommandRun run = runCapturing(command);
    EXPECT_EQ(run.exitCode, 0) << command << "\n" << run.out << run.err;
    return run.out;
}

// The package as a distribution builds it: an optimised build with the hardening flags (the
// test build is sanitized instead), of the two programs and the manual pages only, in its own
// folder beside the test build, then `cpack -G DEB`. lintian reports nothing above
// informational level, the AppStream data and the desktop entries validate, both programs
// are hardened, the manual pages render without a warning, and the programs name the
// release.
TEST(PackageTest, TheReleasePackagePassesTheDistributionChecks) {
    TempDir dir;
    const std::string source = PELMORA_SOURCE_DIR;
    const std::string release = std::string(PELMORA_BUILD_DIR) + "/package-release";
    std::string launcher;
    if (std::string(PELMORA_COMPILER_LAUNCHER).size() > 0) {
        launcher = " -DCMAKE_CXX_COMPILER_LAUNCHER=" + quoted(PELMORA_COMPILER_LAUNCHER) +
                   " -DCMAKE_C_COMPILER_LAUNCHER=" + quoted(PELMORA_COMPILER_LAUNCHER);
    }
    ASSERT_EQ(runCommand("cmake -S " + quoted(source) + " -B " + quoted(release) +
                         " -G Ninja -DCMAKE_BUILD_TYPE=Release"
                         " '-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG'"
                         " '-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG'"
                         " -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON"
                         " -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON" +
                         launcher + " >" + quoted(dir.file("configure.log")) + " 2>&1"),
              0)
        << readFile(dir.file("configure.log"));
    ASSERT_EQ(runCommand("cmake --build " + quoted(release) +
                         " -j2 --target Pelmora pelmora-cli pelmora_manuals >" +
                         quoted(dir.file("build.log")) + " 2>&1"),
              0)
        << readFile(dir.file("build.log"));

    const std::string packages = dir.file("packages");
    ASSERT_EQ(runCommand("cd " + quoted(release) + " && cpack -G DEB -B " + quoted(packages) +
                         " >/dev/null"),
              0);
    std::string deb;
    for (const auto& entry : fs::directory_iterator(packages)) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    const std::string version = PELMORA_VERSION;
    ASSERT_TRUE(fs::path(deb).filename().string().starts_with("pelmora_" + version + "-1_")) << deb;
    const std::string package = test::quoted(deb);
    const std::string listing = runCapturing("dpkg-deb -c " + package).out;
    for (const char* path :
         {" ./usr/lib/pelmora/Pelmora\n", " ./usr/bin/pelmora -> ../lib/pelmora/Pelmora\n",
          " ./usr/bin/pelmora-cli\n", " ./usr/share/mime/packages/pelmora.xml\n",
          " ./usr/share/applications/pelmora.desktop\n",
          " ./usr/share/applications/pelmora-label.desktop\n",
          " ./usr/share/pelmora/help/index.html\n", " ./usr/share/man/man1/pelmora.1.gz\n",
          " ./usr/share/man/man1/pelmora-cli.1.gz\n",
          " ./usr/share/bash-completion/completions/pelmora-cli\n",
          " ./usr/share/metainfo/org.example.pelmora.metainfo.xml\n",
          " ./usr/share/doc/pelmora/copyright\n",
          " ./usr/share/doc/pelmora/changelog.Debian.gz\n"}) {
        EXPECT_NE(listing.find(path), std::string::npos) << path << listing;
    }
    const std::string depends = runCapturing("dpkg-deb -f " + package + " Depends").out;
    EXPECT_NE(depends.find("libqt6widgets6"), std::string::npos) << depends;
    EXPECT_NE(depends.find("fonts-liberation"), std::string::npos) << depends;

    // Errors and warnings fail lintian's run; informational tags are allowed.
    const CommandRun lintian = runCapturing("lintian --fail-on error,warning " + package);
    EXPECT_EQ(lintian.exitCode, 0) << lintian.out << lintian.err;
    EXPECT_EQ(lintian.out.find("E: "), std::string::npos) << lintian.out;
    EXPECT_EQ(lintian.out.find("W: "), std::string::npos) << lintian.out;

    const std::string root = dir.makeDir("root");
    ASSERT_EQ(runCommand("dpkg-deb -x " + package + " " + quoted(root)), 0);
    const std::string usr = root + "/usr";
    const std::string appstream =
        outputOf("appstreamcli validate --no-net " +
                 quoted(usr + "/share/metainfo/org.example.pelmora.metainfo.xml") + " 2>&1");
    EXPECT_EQ(appstream.find("W:"), std::string::npos) << appstream;
    EXPECT_EQ(outputOf("cd " + quoted(usr + "/share/applications") +
                       " && desktop-file-validate pelmora.desktop pelmora-label.desktop "
                       "pelmora-template.desktop 2>&1"),
              "");
    // Control-flow marking cannot reach a Debian 12 program: the C library's start files
    // carry no IBT/SHSTK property, so the linker drops it from every executable.
    for (const char* program : {"/lib/pelmora/Pelmora", "/bin/pelmora-cli"}) {
        const CommandRun hardening =
            runCapturing("hardening-check --nocfprotection " + quoted(usr + program));
        EXPECT_EQ(hardening.exitCode, 0) << hardening.out << hardening.err;
    }
    for (const char* page : {"pelmora.1.gz", "pelmora-cli.1.gz"}) {
        const CommandRun groff = runCapturing("zcat " + quoted(usr + "/share/man/man1/" + page) +
                                              " | groff -ww -z -man");
        EXPECT_EQ(groff.exitCode, 0) << page;
        EXPECT_EQ(groff.err, "") << page;
    }
    // The change log and the AppStream data name the release the programs print.
    EXPECT_EQ(runCapturing("zcat " + quoted(usr + "/share/doc/pelmora/changelog.Debian.gz") +
                           " | head -n 1")
                  .out.rfind("pelmora (" + version + "-1) ", 0),
              0u);
    EXPECT_NE(readFile(usr + "/share/metainfo/org.example.pelmora.metainfo.xml")
                  .find("<release version=\"" + version + "\""),
              std::string::npos);
    const std::string bare = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    EXPECT_EQ(outputOf(bare + quoted(usr + "/lib/pelmora/Pelmora") + " --version"),
              "Pelmora " + version + "\n");
    EXPECT_EQ(outputOf(bare + quoted(usr + "/bin/pelmora-cli") + " --version"),
              "Pelmora " + version + "\n");
}

} // namespace
} // namespace pelmora::test
