#include "platform/core/profile.h"
#include "setup/folder_browser.h"
#include "setup/install_manifest.h"
#include "setup/installation.h"
#include "setup/setup_program.h"
#include "tests/setup/install_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

const SetupConfig kConfig{"Pelmora", "4.1", "July 17, 1998", "850"};

class SetupTest : public InstallFixture {
protected:
    void SetUp() override {
        InstallFixture::SetUp();
        writeSource();
    }

    void writeSource() {
        source_.writeText("Pelmora", "label program " + std::to_string(generation_));
        ::chmod(source_.file("Pelmora").c_str(), 0755);
        source_.writeText("help/index.html", "<h1>Contents</h1>");
        source_.writeText("help/topics.html", "<h1>Topics</h1>");
        source_.writeText("Readme.txt", "read me");
        source_.writeText("Uninstal", "uninstaller");
        source_.writeText("Qantlink", "#!/bin/sh\n");
    }

    // Runs Setup; the main dialog is handed to `fill` and then confirmed.
    int install(const std::function<void(const ui::ModalRequest&)>& fill = {}) {
        answerDialog_ = [&](const ui::ModalRequest& request) -> std::optional<int> {
            if (request.title != "Pelmora Setup") {
                return std::nullopt;
            }
            if (fill) {
                fill(request);
            }
            return QDialog::Accepted;
        };
        return runSetup(kConfig, source_.path());
    }

    static void setFolder(const ui::ModalRequest& request, const std::string& folder) {
        auto* edit = child<QLineEdit>(request, "installFolderEdit");
        edit->setText(QString::fromStdString(folder));
        emit edit->editingFinished();
    }

    static void uncheck(const ui::ModalRequest& request, const char* name) {
        child<QCheckBox>(request, name)->setChecked(false);
    }

    std::string defaultFolder() const { return home() + "/.local/opt/Pelmora"; }

    TempDir source_;
    int generation_ = 1;
};

// A file list with the manifest Setup adds to the program folder.
std::vector<std::string> withManifest(std::vector<std::string> files) {
    files.push_back("Install.manifest");
    std::sort(files.begin(), files.end());
    return files;
}

std::string menuEntry(const std::string& name) {
    return readFile(menuEntryPath("Pelmora", name));
}

// A first installation: the dialog shows the release and the real free space, every file is
// copied, and the installation is recorded for the program, Uninstall and the menu.
TEST_F(SetupTest, DefaultInstallCopiesEverythingAndRecordsIt) {
    fs::create_directories(menuFolder("Pelmora"));
    dir_.writeText("home/.local/share/applications/Pelmora/Pelmora v1.8.desktop", "old");

    std::string banner, folderShown, required, available;
    ASSERT_EQ(install([&](const ui::ModalRequest& request) {
                  banner = child<QLabel>(request, "banner")->text().toStdString();
                  folderShown =
                      child<QLineEdit>(request, "installFolderEdit")->text().toStdString();
                  required = child<QLabel>(request, "requiredSpace")->text().toStdString();
                  available = child<QLabel>(request, "availableSpace")->text().toStdString();
              }),
              0);

    EXPECT_EQ(banner, "Pelmora Version 4.1, Released July 17, 1998");
    EXPECT_EQ(folderShown, defaultFolder());
    EXPECT_EQ(required, "850kB");
    // The folder does not exist yet: its nearest parent's file system, counted in 64 bits
    // (other programs may write meanwhile, so within a margin).
    struct statvfs fs {};
    ASSERT_EQ(statvfs(home().c_str(), &fs), 0);
    const double freeKb = double(fs.f_bavail) * double(fs.f_frsize) / 1024;
    ASSERT_TRUE(available.ends_with("kB")) << available;
    EXPECT_NEAR(std::stod(available), freeKb, 65536 + freeKb / 100) << available;

    const std::string folder = defaultFolder();
    EXPECT_EQ(filesBelow(folder), withManifest(filesBelow(source_.path())));
    for (const std::string& file : filesBelow(source_.path())) {
        EXPECT_EQ(readFile(folder + "/" + file), readFile(source_.file(file))) << file;
    }
    EXPECT_EQ(fs::status(folder + "/Pelmora").permissions() & fs::perms::owner_exec,
              fs::perms::owner_exec);

    EXPECT_EQ(installPath(), folder);
    const std::string record = dataHome() + "/pelmora/uninstall.ini";
    EXPECT_EQ(GetPrivateProfileString("Uninstall", "DisplayName", "", 256, record), "Pelmora 4.1");
    EXPECT_EQ(GetPrivateProfileString("Uninstall", "UninstallString", "", 256, record),
              folder + "/Uninstal");

    EXPECT_EQ(filesBelow(menuFolder("Pelmora")),
              (std::vector<std::string>{"Pelmora Help.desktop", "Pelmora.desktop",
                                        "Read Me.desktop", "Uninstall Pelmora.desktop"}));
    EXPECT_NE(menuEntry("Pelmora").find("\nExec=" + folder + "/Pelmora\n"), std::string::npos);
    EXPECT_NE(menuEntry("Read Me").find("\nExec=xdg-open " + folder + "/Readme.txt\n"),
              std::string::npos);
    EXPECT_NE(menuEntry("Uninstall Pelmora").find("\nExec=" + folder + "/Uninstal\n"),
              std::string::npos);
    if (runCommand("command -v desktop-file-validate >/dev/null") == 0) {
        EXPECT_EQ(runCommand("desktop-file-validate " +
                             quoted(menuEntryPath("Pelmora", "Pelmora")) + " " +
                             quoted(menuEntryPath("Pelmora", "Pelmora Help"))),
                  0);
    }

    EXPECT_EQ(messages(),
              std::vector<std::string>{"Installation Succeded: Installation Completed!"});
    ASSERT_EQ(started_.size(), 2u);
    EXPECT_EQ(started_[0].program, folder + "/Pelmora");
    EXPECT_EQ(started_[0].workingFolder, folder);
    EXPECT_EQ(started_[1].program, "xdg-open");
    EXPECT_EQ(started_[1].arguments, std::vector<std::string>{folder + "/Readme.txt"});
}

// A second installation goes where the first one went and replaces every file; the options
// left off start nothing and add no menu entries.
TEST_F(SetupTest, ReinstallUsesTheRecordedFolderAndOverwritesEveryFile) {
    const std::string recorded = home() + "/My Programs/Pelmora";
    fs::create_directories(windowsFolder());
    dir_.writeText("windows/Pelmora.ini", "[Install]\nInstallPath=" + recorded + "\n");
    ASSERT_EQ(install([](const ui::ModalRequest& request) {
                  uncheck(request, "startAfterCheck");
                  uncheck(request, "viewReadmeCheck");
              }),
              0);
    EXPECT_NE(menuEntry("Pelmora").find("\nExec=\"" + recorded + "/Pelmora\"\n"),
              std::string::npos);

    generation_ = 2;
    writeSource();
    std::string folderShown;
    ASSERT_EQ(install([&](const ui::ModalRequest& request) {
                  folderShown =
                      child<QLineEdit>(request, "installFolderEdit")->text().toStdString();
                  uncheck(request, "startAfterCheck");
                  uncheck(request, "viewReadmeCheck");
              }),
              0);
    EXPECT_EQ(folderShown, recorded);
    EXPECT_EQ(readFile(recorded + "/Pelmora"), "label program 2");
    for (const std::string& file : filesBelow(source_.path())) {
        EXPECT_EQ(readFile(recorded + "/" + file), readFile(source_.file(file))) << file;
    }
    EXPECT_TRUE(started_.empty());
    EXPECT_FALSE(fs::exists(defaultFolder()));
}

// A folder that cannot be made, and a file that cannot be copied, end Setup with exit code 1
// and the message; what was done before stays.
TEST_F(SetupTest, FailuresAbortWithExitOneAndKeepWhatWasDone) {
    const std::string blocked = dir_.writeText("home/plain file", "x") + "/Pelmora";
    EXPECT_EQ(install([&](const ui::ModalRequest& request) { setFolder(request, blocked); }), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{"Installation Aborted: Unable to install:  "
                                                   "Can't make path \"" +
                                                   blocked + "\""});
    EXPECT_EQ(installPath(), blocked);
    EXPECT_FALSE(fs::exists(dataHome() + "/pelmora/uninstall.ini"));

    requests_.clear();
    fs::remove(source_.file("Uninstal"));
    const std::string folder = home() + "/elsewhere";
    EXPECT_EQ(install([&](const ui::ModalRequest& request) { setFolder(request, folder); }), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{"Installation Aborted: Unable to install:  "
                                                   "Can't copy file \"" +
                                                   source_.file("Uninstal") + "\""});
    // The manifest lists what was copied, so Uninstall can remove it.
    EXPECT_EQ(filesBelow(folder),
              (std::vector<std::string>{"Install.manifest", "Pelmora", "Readme.txt",
                                        "help/index.html", "help/topics.html"}));
    EXPECT_FALSE(fs::exists(menuFolder("Pelmora")));
    EXPECT_TRUE(started_.empty());
}

// Below shell level 4 the default folder is in the home folder, and neither an uninstall
// record nor menu entries are written (the Program Manager finds no server).
TEST_F(SetupTest, ShellLevelZeroWritesNoRecordAndNoEntries) {
    setShellLevelOverride(0);
    EXPECT_EQ(install(), 0);
    setShellLevelOverride(std::nullopt);
    EXPECT_EQ(installPath(), home() + "/Pelmora");
    EXPECT_EQ(filesBelow(home() + "/Pelmora"), withManifest(filesBelow(source_.path())));
    EXPECT_FALSE(fs::exists(dataHome() + "/pelmora"));
    EXPECT_FALSE(fs::exists(menuFolder("Pelmora")));
}

// The folder browser walks up to "/" and no further, goes into sub-folders, and hands the
// chosen folder back to the main dialog; Cancel keeps the folder typed before.
TEST_F(SetupTest, FolderBrowserMovesBetweenFolders) {
    dir_.makeDir("home/Apps/Tools");
    const auto activate = [](QListWidget* list, const char* text) {
        const auto items = list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text;
        emit list->itemActivated(items.front());
    };
    std::vector<std::string> shown;
    bool cancel = false;
    answerDialog_ = [&](const ui::ModalRequest& request) -> std::optional<int> {
        if (request.title == "Select Installation Directory") {
            auto* list = child<QListWidget>(request, "folderList");
            auto* current = child<QLabel>(request, "currentFolder");
            EXPECT_EQ(list->item(0)->text(), "[..]");
            activate(list, "[Apps]");
            shown.push_back(current->text().toStdString());
            activate(list, "[Tools]");
            shown.push_back(current->text().toStdString());
            for (int i = 0; i < 64 && current->text() != "/"; ++i) {
                activate(list, "[..]");
            }
            activate(list, "[..]");
            shown.push_back(current->text().toStdString());
            return cancel ? QDialog::Rejected : QDialog::Accepted;
        }
        auto* edit = child<QLineEdit>(request, "installFolderEdit");
        edit->setText(QString::fromStdString(home()));
        child<QPushButton>(request, "browseButton")->click();
        shown.push_back(edit->text().toStdString());
        edit->setText(QString::fromStdString(home()));
        cancel = true;
        child<QPushButton>(request, "browseButton")->click();
        shown.push_back(edit->text().toStdString());
        return QDialog::Rejected;
    };
    EXPECT_EQ(runSetup(kConfig, source_.path()), 0);
    EXPECT_EQ(shown,
              (std::vector<std::string>{home() + "/Apps", home() + "/Apps/Tools", "/", "/",
                                        home() + "/Apps", home() + "/Apps/Tools", "/", home()}));
    EXPECT_EQ(parentFolder("/opt/"), "/");
    // Cancelling the main dialog changes nothing.
    EXPECT_EQ(installPath(), "error");
    EXPECT_FALSE(fs::exists(home() + "/.local/opt"));
}

// Setup replaces nothing it did not install and leaves no installation behind unasked: a
// relative folder with ".." is used and recorded in its normal form, "/" and the home folder
// are refused, files and links of the user's in the chosen folder stay unless the user agrees,
// and installing elsewhere moves the earlier installation only when the user agrees.
TEST_F(SetupTest, ReplacesAndMovesOnlyWhatTheUserAgreedTo) {
    const fs::path startFolder = fs::current_path();
    fs::current_path(home());
    const int relative = install([](const ui::ModalRequest& request) {
        setFolder(request, "rel dir/../inst");
        uncheck(request, "startAfterCheck");
        uncheck(request, "viewReadmeCheck");
    });
    fs::current_path(startFolder);
    const std::string first = home() + "/inst";
    ASSERT_EQ(relative, 0);
    EXPECT_EQ(installPath(), first);
    EXPECT_FALSE(fs::exists(home() + "/rel dir"));
    EXPECT_EQ(filesBelow(first), withManifest(filesBelow(source_.path())));
    const auto listed = readManifest(first);
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->createdParents, std::vector<std::string>{first});
    EXPECT_EQ(listed->files.size(), filesBelow(source_.path()).size());

    // "/" and the home folder (also written with "..") are refused before anything is written.
    for (const std::string& refused : {std::string("/"), home() + "/inst/.."}) {
        requests_.clear();
        EXPECT_EQ(install([&](const ui::ModalRequest& r) { setFolder(r, refused); }), 1);
        const std::string normal = refused == "/" ? "/" : home();
        EXPECT_EQ(messages(),
                  std::vector<std::string>{"Installation Aborted: Unable to install:  \"" + normal +
                                           "\" is " + (refused == "/" ? "the root" : "your home") +
                                           " folder; choose a folder for Pelmora alone"});
        EXPECT_EQ(installPath(), first);
    }
    // A name with a line break would add lines to Pelmora.ini and the menu entries.
    requests_.clear();
    const std::string broken = home() + "/two\nlines";
    EXPECT_EQ(install([&](const ui::ModalRequest& r) { setFolder(r, broken); }), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Installation Aborted: Unable to install:  the folder's name holds a "
                              "line break or another control character; choose a folder whose "
                              "name has none"});
    EXPECT_FALSE(fs::exists(broken));
    EXPECT_EQ(installPath(), first);
    EXPECT_FALSE(fs::exists(home() + "/Readme.txt"));

    // A second folder holding the user's own read-me and a "help" link to the user's documents.
    const std::string second = home() + "/second";
    dir_.writeText("home/second/Readme.txt", "my own notes");
    dir_.writeText("home/Documents/index.html", "my page");
    fs::create_directory_symlink(home() + "/Documents", second + "/help");
    dir_.writeText("home/Documents/notes.txt", "my notes");
    fs::create_symlink(home() + "/Documents/notes.txt", second + "/Install.manifest");
    const auto everything = filesBelow(dir_.path());
    const std::string moveQuestion = "Pelmora Setup: Pelmora is installed in \"" + first +
                                     "\".\n\nMove it to \"" + second +
                                     "\"? The files Setup put into \"" + first +
                                     "\" are removed; No ends Setup without changing anything.";
    const std::string replaceQuestion = "Pelmora Setup: \"" + second +
                                        "\" holds files that Pelmora Setup did not "
                                        "install:\n\nInstall.manifest\nhelp\nReadme.txt\n\nReplace "
                                        "them?";
    for (const int replace : {IDNO, IDYES}) {
        requests_.clear();
        answerMessage_ = [&](const ui::ModalRequest& request) {
            return request.text.starts_with("Pelmora is installed") ? IDYES : replace;
        };
        ASSERT_EQ(install([&](const ui::ModalRequest& request) {
                      setFolder(request, second);
                      uncheck(request, "startAfterCheck");
                      uncheck(request, "viewReadmeCheck");
                  }),
                  0);
        if (replace == IDNO) {
            EXPECT_EQ(messages(), (std::vector<std::string>{moveQuestion, replaceQuestion}));
            EXPECT_EQ(filesBelow(dir_.path()), everything);
            EXPECT_EQ(installPath(), first);
        }
    }
    // Moved: the earlier folder is gone, the user's page and notes stay as they were (the links
    // were replaced, not followed), and the read-me is now the installed one.
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(installPath(), second);
    EXPECT_EQ(readFile(home() + "/Documents/index.html"), "my page");
    EXPECT_EQ(readFile(home() + "/Documents/notes.txt"), "my notes");
    EXPECT_TRUE(readManifest(second));
    EXPECT_FALSE(fs::is_symlink(second + "/help"));
    EXPECT_EQ(filesBelow(second), withManifest(filesBelow(source_.path())));
    EXPECT_EQ(readFile(second + "/Readme.txt"), "read me");

    // Installing there again replaces its own files without asking.
    requests_.clear();
    answerMessage_ = {};
    messageAnswer_ = IDNO;
    generation_ = 2;
    writeSource();
    ASSERT_EQ(install([](const ui::ModalRequest& request) {
                  uncheck(request, "startAfterCheck");
                  uncheck(request, "viewReadmeCheck");
              }),
              0);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Installation Succeded: Installation Completed!"});
    EXPECT_EQ(readFile(second + "/Pelmora"), "label program 2");
}

} // namespace
} // namespace pelmora::test
