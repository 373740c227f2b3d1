#include "setup/desktop_entry.h"
#include "setup/installation.h"
#include "tests/setup/install_fixture.h"
#include "uninstall/uninstall_program.h"

#include <filesystem>
#include <sys/stat.h>

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

class UninstallTest : public InstallFixture {
protected:
    void SetUp() override {
        InstallFixture::SetUp();
        layOutInstallation();
    }

    // What Setup and the label program leave: the files, the ini file, the record, the menu
    // entries and the document handlers.
    void layOutInstallation() {
        folder_ = home() + "/.local/opt/Pelmora";
        dir_.writeText("home/.local/opt/Pelmora/Pelmora", "program");
        for (const std::string& file : helpBookFiles()) {
            dir_.writeText("home/.local/opt/Pelmora/help/" + file, "help");
        }
        for (const char* name : {"Readme.txt", "Qantlink", "Uninstal"}) {
            dir_.writeText("home/.local/opt/Pelmora/" + std::string(name), name);
        }
        dir_.writeText("windows/Pelmora.ini",
                       "[Install]\nInstallPath=" + folder_ + "\n\n[vexo]\nDrive=65\n");
        dir_.writeText("home/.local/share/pelmora/uninstall.ini",
                       "[Uninstall]\nDisplayName=Pelmora 4.1\n");
        for (const MenuEntry& entry : menuEntriesFor("Pelmora", folder_)) {
            dir_.writeText(fs::relative(menuEntryPath("Pelmora", entry.name), dir_.path()),
                           menuEntryText(entry));
        }
        dir_.writeText("home/.local/share/applications/Pelmora/Pelmora v2.0.desktop", "old");
        // The label program's handlers: this installation's, and another copy's template one.
        dir_.writeText("home/.local/share/applications/pelmora-label.desktop",
                       "[Desktop Entry]\nExec=" + folder_ + "/Pelmora -label %f\n");
        dir_.writeText("home/.local/share/applications/pelmora-template.desktop",
                       "[Desktop Entry]\nExec=/opt/other/Pelmora -template %f\n");
    }

    // Every file of the temporary home, relative to it, but the desktop's cache of handlers.
    std::vector<std::string> homeFiles() const {
        std::vector<std::string> files = filesBelow(dir_.path());
        std::erase(files, "home/.local/share/applications/mimeinfo.cache");
        return files;
    }

    std::string folder_;
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
// removed is named to the user after the wait, and the run ends with exit code 1.
TEST_F(UninstallTest, SecondRunRemovesTheFolderOrNamesWhatStays) {
    EXPECT_EQ(runUninstall("Pelmora", "killemall", "/nowhere/Uninstal"), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Uninstallation Succeded: Pelmora Uninstallation Completed!"});
    EXPECT_FALSE(fs::exists(folder_));
    EXPECT_EQ(homeFiles(),
              std::vector<std::string>{"home/.local/share/applications/pelmora-template.desktop"});
    EXPECT_TRUE(started_.empty()); // not a temporary copy: nothing to remove afterwards

    layOutInstallation();
    requests_.clear();
    fs::remove(folder_ + "/Uninstal");
    dir_.writeText("home/.local/opt/Pelmora/Uninstal/held", "x");
    int pauses = 0;
    EXPECT_EQ(runUninstall("Pelmora", "killemall", "/nowhere/Uninstal",
                           UninstallWait{3, [&] { ++pauses; }}),
              1);
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Uninstallation Incomplete: Can't remove \"" + folder_ +
                                       "/Uninstal\", Please Remove It Manually"});
    EXPECT_EQ(filesBelow(folder_), std::vector<std::string>{"Uninstal/held"});
    EXPECT_FALSE(fs::exists(iniPath()));
}

// The real program, started twice as the user would: the first run confirms, removes the
// entries and starts its temporary copy, which removes the files, the ini file and finally
// itself; a file of the user's own keeps the folder.
TEST_F(UninstallTest, TwoRunsAsSeparateProcessesRemoveTheInstallation) {
    fs::copy_file(std::string(PELMORA_DIST_DIR) + "/Uninstal", folder_ + "/Uninstal",
                  fs::copy_options::overwrite_existing);
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

} // namespace
} // namespace pelmora::test
