#include "platform/core/profile.h"
#include "resources/toolbar.h"
#include "setup/desktop_entry.h"
#include "setup/install_manifest.h"
#include "setup/install_steps.h"
#include "setup/installation.h"
#include "shell/document_types.h"
#include "tests/setup/install_fixture.h"
#include "uninstall/uninstall_program.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

const SetupConfig kConfig{"Pelmora", "4.1", "July 17, 1998", "850"};

class UninstallTest : public InstallFixture {
protected:
    void SetUp() override {
        InstallFixture::SetUp();
        source_.writeText("Pelmora", "program");
        for (const char* page : {"index.html", "styling.html", "images/logo.png"}) {
            source_.writeText("help/" + std::string(page), "help page " + std::string(page));
        }
        for (const char* name : {"Readme.txt", "Qantlink"}) {
            source_.writeText(name, name);
        }
        fs::copy_file(std::string(PELMORA_DIST_DIR) + "/Uninstal", source_.file("Uninstal"));
        layOutInstallation();
    }

    // Setup's installation of the source into `folder`, without starting anything.
    int installInto(const std::string& folder) {
        SetupState state;
        state.installFolder = folder;
        state.sourceFolder = source_.path();
        state.startAfter = state.viewReadme = false;
        return installProduct(state, kConfig);
    }

    // What Setup and the label program leave: the files with their manifest, the ini file, the
    // record, the menu entries and the document handlers.
    void layOutInstallation() {
        folder_ = home() + "/.local/opt/Pelmora";
        ASSERT_EQ(installInto(folder_), 0);
        WritePrivateProfileString("vexo", "Drive", "65", iniPath());
        dir_.writeText("home/.local/share/applications/Pelmora/Pelmora v2.0.desktop", "old");
        // The label program's handlers: this installation's, and another copy's template one.
        dir_.writeText("home/.local/share/applications/pelmora-label.desktop",
                       "[Desktop Entry]\nExec=" + folder_ + "/Pelmora -label %f\n");
        dir_.writeText("home/.local/share/applications/pelmora-template.desktop",
                       "[Desktop Entry]\nExec=/opt/other/Pelmora -template %f\n");
        requests_.clear();
    }

    // Every file of the temporary home, relative to it, but the desktop's caches (of handlers,
    // the MIME database built from the packages) and the temporary folder.
    std::vector<std::string> homeFiles() const {
        std::vector<std::string> files = filesBelow(dir_.path());
        std::erase_if(files, [](const std::string& file) {
            return file == "home/.local/share/applications/mimeinfo.cache" ||
                   file.starts_with("tmp/") ||
                   (file.starts_with("home/.local/share/mime/") &&
                    !file.starts_with("home/.local/share/mime/packages/"));
        });
        return files;
    }

    std::string folder_;
    TempDir source_;
};

// Without a recorded folder, and when the user does not answer Yes (also to "KILLEMALL",
// which is a first run), nothing is removed.
TEST_F(UninstallTest, NothingIsRemovedWithoutFolderOrConfirmation) {
    const auto everything = homeFiles();
    for (const char* ini : {"[Install]\nInstallPath=error\n", "[Install]\nInstallPath=opt/P\n"}) {
        dir_.writeText("windows/Pelmora.ini", ini);
        EXPECT_EQ(runUninstall("Pelmora", "", "/nowhere/Uninstal"), 1);
        EXPECT_EQ(messages(), std::vector<std::string>{"Can't Uninstall...: Can't Find "
                                                       "Installation Path, Please Remove "
                                                       "Manually"});
        requests_.clear();
    }
    dir_.writeText("windows/Pelmora.ini",
                   "[Install]\nInstallPath=" + folder_ + "\n\n[vexo]\nDrive=65\n");
    messageAnswer_ = IDNO;
    for (const char* commandLine : {"", "KILLEMALL", "killemall now"}) {
        EXPECT_EQ(runUninstall("Pelmora", commandLine, "/nowhere/Uninstal"), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{"Last Chance...: Really Uninstall Pelmora?"})
            << commandLine;
        requests_.clear();
    }
    EXPECT_EQ(homeFiles(), everything);
    EXPECT_TRUE(started_.empty());
}

// The second run removes the installation and its folder; an "Uninstal" that cannot be
// removed is named to the user after the wait, the run ends with exit code 1, and the ini
// file stays for a run that finishes the work.
TEST_F(UninstallTest, SecondRunRemovesTheFolderOrNamesWhatStays) {
    EXPECT_EQ(runUninstall("Pelmora", "killemall", "/nowhere/Uninstal"), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Uninstallation Succeded: Pelmora Uninstallation Completed!"});
    EXPECT_FALSE(fs::exists(folder_));
    EXPECT_EQ(homeFiles(),
              std::vector<std::string>{"home/.local/share/applications/pelmora-template.desktop"});
    EXPECT_TRUE(started_.empty()); // not a temporary copy: nothing to remove afterwards

    // An "Uninstal" that cannot be removed: immutable, which needs root and a file system that
    // keeps the flag.
    layOutInstallation();
    const std::string uninstaller = folder_ + "/Uninstal";
    if (geteuid() != 0 || runCommand("chattr +i " + quoted(uninstaller) + " 2>/dev/null") != 0) {
        GTEST_SKIP() << "an undeletable file needs root and chattr +i; not tested here";
    }
    int pauses = 0;
    const int incomplete = runUninstall("Pelmora", "killemall", "/nowhere/Uninstal",
                                        UninstallWait{3, [&] { ++pauses; }});
    runCommand("chattr -i " + quoted(uninstaller));
    EXPECT_EQ(incomplete, 1);
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Uninstallation Incomplete: Can't remove \"" + folder_ +
                                       "/Uninstal\", Please Remove It Manually"});
    // The list and the ini file stay, so the second run can be started again to finish.
    EXPECT_EQ(filesBelow(folder_), (std::vector<std::string>{"Install.manifest", "Uninstal"}));
    EXPECT_EQ(installPath(), folder_);
    requests_.clear();
    EXPECT_EQ(runUninstall("Pelmora", "killemall", "/nowhere/Uninstal"), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Uninstallation Succeded: Pelmora Uninstallation Completed!"});
    EXPECT_FALSE(fs::exists(folder_));
    EXPECT_FALSE(fs::exists(iniPath()));
}

// The real program, started twice as the user would: the first run confirms, removes the
// entries and starts its temporary copy, which removes the files, the ini file and finally
// itself; a file of the user's own keeps the folder.
TEST_F(UninstallTest, TwoRunsAsSeparateProcessesRemoveTheInstallation) {
    dir_.writeText("home/.local/opt/Pelmora/my notes.txt", "mine");

    const CommandRun run = runCapturing(
        "cd / && env HOME=" + quoted(home()) + " XDG_DATA_HOME=" + quoted(dataHome()) +
        " PELMORA_WINDIR=" + quoted(windowsFolder()) + " TMPDIR=" + quoted(temporaryFolder()) +
        " QT_QPA_PLATFORM=offscreen PELMORA_UNATTENDED=1 " + quoted(folder_ + "/Uninstal"));
    // The output closes only when the second run and the remover of its copy have ended.
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Last Chance...: Really Uninstall Pelmora?\n"
                       "Uninstallation Succeded: Pelmora Uninstallation Completed!\n");
    EXPECT_EQ(homeFiles(), (std::vector<std::string>{
                               "home/.local/opt/Pelmora/my notes.txt",
                               "home/.local/share/applications/pelmora-template.desktop"}));
    EXPECT_FALSE(fs::exists(menuFolder("Pelmora")));
    EXPECT_FALSE(fs::exists(dataHome() + "/pelmora"));
    // Qt may keep a runtime folder there; the copy and its folder are gone.
    for (const auto& entry : fs::directory_iterator(temporaryFolder())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("pelmora-uninstall-"))
            << entry.path();
    }
}

// Only what Setup installed goes, and only while it is still what Setup wrote: "/", the home
// folder and a folder without a manifest are refused untouched; files of the user's with
// installed names, and files reached through symbolic links (even with the installed
// content), stay. A normal installation goes whole: its files, the folders Setup made on the
// way, and what the label program registered at its start, with the desktop's caches.
TEST_F(UninstallTest, RemovesOnlyWhatSetupInstalledAndStillMatches) {
    // The home folder with the user's own files of installed names, and even a copy of the
    // installation's manifest that lists them.
    dir_.writeText("home/Readme.txt", "my read-me");
    dir_.writeText("home/help/index.html", readFile(folder_ + "/help/index.html"));
    dir_.writeText("home/Pelmora", "program");
    fs::copy_file(folder_ + "/Install.manifest", home() + "/Install.manifest");
    dir_.makeDir("home/Documents");
    const auto everything = homeFiles();
    const std::pair<std::string, std::string> refusals[] = {
        {"/", "\"/\": It Is The Root Folder"},
        {home(), "\"" + home() + "\": It Is Your Home Folder"},
        {home() + "/.local/..", "\"" + home() + "\": It Is Your Home Folder"},
        {home() + "/Documents", "\"" + home() +
                                    "/Documents\": It Holds No List Of Installed Files "
                                    "(Install.manifest)"},
    };
    for (const auto& [recorded, problem] : refusals) {
        WritePrivateProfileString("Install", "InstallPath", recorded, iniPath());
        for (const char* commandLine : {"", "killemall"}) {
            requests_.clear();
            EXPECT_EQ(runUninstall("Pelmora", commandLine, "/nowhere/Uninstal"), 1);
            EXPECT_EQ(messages(), std::vector<std::string>{"Can't Uninstall...: Can't Uninstall "
                                                           "From " +
                                                           problem + ", Please Remove Manually"});
        }
        EXPECT_EQ(homeFiles(), everything) << recorded;
    }
    EXPECT_TRUE(started_.empty());

    // The installation's "help" now a link to the user's documents, which hold a page with the
    // installed content; "Qantlink" a link to a copy of it; the read-me the user's own (of the
    // installed size).
    WritePrivateProfileString("Install", "InstallPath", folder_, iniPath());
    const std::string page = readFile(folder_ + "/help/index.html");
    dir_.writeText("home/Documents/index.html", page);
    dir_.writeText("home/Documents/styling.html", "my styles");
    dir_.writeText("home/Documents/qantlink", readFile(folder_ + "/Qantlink"));
    fs::remove_all(folder_ + "/help");
    fs::create_directory_symlink(home() + "/Documents", folder_ + "/help");
    fs::remove(folder_ + "/Qantlink");
    fs::create_symlink(home() + "/Documents/qantlink", folder_ + "/Qantlink");
    dir_.writeText("home/.local/opt/Pelmora/Readme.txt", "my notes:)");
    requests_.clear();
    EXPECT_EQ(runUninstall("Pelmora", "killemall", "/nowhere/Uninstal"), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Uninstallation Succeded: Pelmora Uninstallation Completed!"});
    EXPECT_EQ(filesBelow(home() + "/Documents"),
              (std::vector<std::string>{"index.html", "qantlink", "styling.html"}));
    EXPECT_EQ(readFile(home() + "/Documents/index.html"), page);
    EXPECT_TRUE(fs::is_symlink(folder_ + "/help"));
    EXPECT_TRUE(fs::is_symlink(folder_ + "/Qantlink"));
    EXPECT_EQ(readFile(folder_ + "/Readme.txt"), "my notes:)");
    EXPECT_FALSE(fs::exists(folder_ + "/Pelmora"));
    EXPECT_FALSE(fs::exists(folder_ + "/Uninstal"));
    EXPECT_FALSE(fs::exists(folder_ + "/Install.manifest"));
    EXPECT_FALSE(fs::exists(iniPath()));

    // A normal installation into folders Setup makes, registered by the label program at its
    // start, then uninstalled by both runs (the first in-process up to starting the copy).
    fs::remove(dataHome() + "/applications/pelmora-template.desktop");
    const auto before = homeFiles();
    const std::string folder = home() + "/Apps/Tools/Pelmora";
    ASSERT_EQ(installInto(folder), 0);
    toolbarStrip(); // registers the embedded resources, as the program's window does
    EXPECT_EQ(RecordDocumentTypes(dataHome(), folder), 12);
    EXPECT_EQ(installPath(), folder);
    requests_.clear();
    messageAnswer_ = IDYES;
    EXPECT_EQ(runUninstall("Pelmora", "", "/nowhere/Uninstal"), 0);
    ASSERT_EQ(started_.size(), 1u);
    EXPECT_EQ(started_[0].arguments, std::vector<std::string>{"killemall"});
    EXPECT_EQ(runUninstall("Pelmora", "killemall", "/nowhere/Uninstal"), 0);
    EXPECT_FALSE(fs::exists(home() + "/Apps"));
    EXPECT_TRUE(fs::is_directory(home()));
    EXPECT_EQ(homeFiles(), before);
    EXPECT_FALSE(fs::exists(dataHome() + "/mime/packages/pelmora.xml"));
    if (runCommand("command -v update-mime-database >/dev/null") == 0) {
        // The desktop's MIME database no longer knows the label type.
        EXPECT_FALSE(fs::exists(dataHome() + "/mime/application/x-pelmora-label.xml"));
    }
}

} // namespace
} // namespace pelmora::test
