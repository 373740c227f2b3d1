#include "resources/command_ids.h"
#include "setup/desktop_entry.h"
#include "shell/document_types.h"
#include "shell/web_page.h"
#include "shell_fixture.h"
#include "storage/label_file.h"

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace pelmora::test {
namespace {

namespace fs = std::filesystem;

std::string execLines(const std::string& desktopEntry) {
    std::string lines;
    std::size_t at = 0;
    while ((at = desktopEntry.find("Exec=", at)) != std::string::npos) {
        const std::size_t end = desktopEntry.find('\n', at);
        lines += desktopEntry.substr(at + 5, end - at - 5) + "|";
        at = end;
    }
    return lines;
}

// The document types land under the data folder with the program's command lines; a second
// start writes nothing, and the desktop's MIME database then knows a .PMB file.
TEST(DocumentTypesTest, WrittenOnceWithTheSwitchesAndKnownToTheDesktop) {
    TempDir data;
    EXPECT_EQ(RecordDocumentTypes(data.path(), "/opt/PM"), 12);
    EXPECT_EQ(execLines(readFile(data.file("applications/pelmora-label.desktop"))),
              "/opt/PM/Pelmora -label %f|/opt/PM/Pelmora -printlabel %f|");
    EXPECT_EQ(execLines(readFile(data.file("applications/pelmora-template.desktop"))),
              "/opt/PM/Pelmora -template %f|");
    EXPECT_NE(readFile(data.file("mime/packages/pelmora.xml")).find("<glob pattern=\"*.PMB\"/>"),
              std::string::npos);
    EXPECT_GT(fs::file_size(data.file("icons/hicolor/48x48/mimetypes/"
                                      "application-x-pelmora-label.png")),
              100u);
    const auto written = fs::last_write_time(data.file("applications/pelmora-label.desktop"));
    EXPECT_EQ(RecordDocumentTypes(data.path(), "/opt/PM"), 0);
    EXPECT_EQ(fs::last_write_time(data.file("applications/pelmora-label.desktop")), written);

    // A folder with blanks is quoted as the desktop entry format needs.
    EXPECT_EQ(RecordDocumentTypes(data.path(), "/home/me/My Programs"), 2);
    EXPECT_EQ(execLines(readFile(data.file("applications/pelmora-template.desktop"))),
              "\"/home/me/My Programs/Pelmora\" -template %f|");

    if (runCommand("command -v xdg-mime >/dev/null && command -v mimetype >/dev/null && "
                   "command -v update-mime-database >/dev/null") != 0) {
        GTEST_SKIP() << "xdg-utils, libfile-mimeinfo-perl or shared-mime-info not installed";
    }
    const std::string label = data.writeFile("disk.PMB", 10);
    const CommandRun query = runCapturing("XDG_DATA_HOME=" + quoted(data.path()) +
                                          " xdg-mime query filetype " + quoted(label));
    EXPECT_EQ(query.out, "application/x-pelmora-label\n");
}

// The lines of a file that start with `key` "=".
std::vector<std::string> linesWith(const std::string& text, const std::string& key) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        if (text.compare(at, key.size() + 1, key + "=") == 0) {
            lines.push_back(text.substr(at, end - at));
        }
        at = end + 1;
    }
    return lines;
}

// Folder names with a line break, a quote or a '$': the program's document handlers and
// Setup's menu entries name the program in that folder in one escaped Exec word and pass
// desktop-file-validate; a name with a line break, which no Exec line can hold, writes no
// entry at all (so none of its lines can become a command the desktop runs), with a warning.
TEST(DesktopEntryTest, FolderNamesWithALineBreakAQuoteOrADollarWriteValidEntriesOrNone) {
    if (runCommand("command -v desktop-file-validate >/dev/null") != 0) {
        GTEST_SKIP() << "desktop-file-utils not installed";
    }
    struct Case {
        std::string folder;
        std::string escaped; // the folder inside an Exec word; empty: nothing is written
        bool quoted;
    };
    const Case cases[] = {
        {"/opt/PM\nExec=touch /tmp/pelmora-injected\n[Desktop Action Print]", "", false},
        {"/opt/PM\rX", "", false},
        {"/opt/Caf\xE9", "", false}, // not UTF-8
        {R"(/home/me/Joe's "labels")", R"(/home/me/Joe's \\"labels\\")", true},
        {R"(/home/me/$HOME `id` 100% \x)", R"(/home/me/\\$HOME \\`id\\` 100%% \\\\x)", true},
        {"/opt/Caf\xC3\xA9", "/opt/Caf\xC3\xA9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        TempDir data;
        MessageRecorder messages;
        RecordDocumentTypes(data.path(), c.folder);
        std::vector<std::string> written;
        for (const char* name : {"pelmora-label.desktop", "pelmora-template.desktop"}) {
            const std::string path = data.file(std::string("applications/") + name);
            if (fs::exists(path)) {
                written.push_back(path);
            }
        }
        for (const MenuEntry& entry : menuEntriesFor("Pelmora", c.folder)) {
            written.push_back(
                data.writeText("menu/" + entry.name + ".desktop", menuEntryText(entry)));
        }

        if (c.escaped.empty()) {
            EXPECT_EQ(written, std::vector<std::string>());
            const std::string shown = desktopRefusedPathShown(c.folder);
            EXPECT_EQ(shown.find_first_of("\r\n"), std::string::npos);
            EXPECT_EQ(messages.messages().size(), 2u);
            EXPECT_TRUE(messages.saw(kDocumentTypesCaption,
                                     "The document types were not recorded: a desktop entry "
                                     "cannot name the program folder \"" +
                                         shown + "\"."));
            EXPECT_TRUE(messages.saw(kMenuEntriesCaption,
                                     "The menu entries were not written: a desktop entry cannot "
                                     "name the folder \"" +
                                         shown + "\"."));
            continue;
        }
        EXPECT_EQ(messages.messages().size(), 0u);
        ASSERT_EQ(written.size(), 6u);
        const std::string opening = c.quoted ? "\"" : "";
        for (const std::string& path : written) {
            const CommandRun validation = runCapturing("desktop-file-validate " + quoted(path));
            EXPECT_EQ(validation.exitCode, 0) << path;
            EXPECT_EQ(validation.out + validation.err, "") << path;
            for (const std::string& exec : linesWith(readFile(path), "Exec")) {
                EXPECT_NE(exec.find(opening + c.escaped + "/"), std::string::npos) << exec;
            }
        }
        const std::string program = opening + c.escaped + "/Pelmora" + opening;
        EXPECT_EQ(linesWith(readFile(written[0]), "Exec"),
                  (std::vector<std::string>{"Exec=" + program + " -label %f",
                                            "Exec=" + program + " -printlabel %f"}));
    }
}

using DesktopStartTest = ShellFixture;

// Every start records the types before the settings are read, pointing at "InstallPath",
// else at the running program's folder (never the folder it was started from).
TEST_F(DesktopStartTest, StartPointsTheTypesAtTheInstallFolderOrTheProgramsOwn) {
    TempDir data;
    const QByteArray previousData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path()));
    const fs::path previousDirectory = fs::current_path();
    TempDir here;
    fs::current_path(here.path());

    start();
    EXPECT_EQ(execLines(readFile(data.file("applications/pelmora-template.desktop"))),
              QCoreApplication::applicationDirPath().toStdString() + "/Pelmora -template %f|");

    window_.reset();
    app_.reset();
    writeIni("[Install]\nInstallPath=/opt/Pelmora\n[vexo]\nDrive=67\n");
    start();
    EXPECT_EQ(execLines(readFile(data.file("applications/pelmora-template.desktop"))),
              "/opt/Pelmora/Pelmora -template %f|");

    fs::current_path(previousDirectory);
    qputenv("XDG_DATA_HOME", previousData);
}

// The switches are matched on the start of the joined command line: a path with blanks stays
// whole, and "-labelX" takes the label branch with the path after the X.
TEST_F(DesktopStartTest, CommandLineSwitchesAndPathsWithBlanks) {
    const char* argv[] = {"Pelmora", "-label", "/a b/x.PMB"};
    EXPECT_EQ(commandLineOf(3, argv), "-label /a b/x.PMB");

    start();
    TempDir files;
    fs::create_directories(files.file("my labels"));
    const std::string path = files.file("my labels/cmd.PMB");
    FileEntry entry;
    std::strcpy(entry.name, "kept.txt");
    app_->currentLabel().entries.push_back(entry);
    ASSERT_TRUE(saveLabelFile(path, app_->currentLabel()));
    clearLabel(app_->currentLabel());

    app_->shell.commandLine = "-label " + path;
    window_->sendCommand(CMD_CMDLINE_LABEL);
    EXPECT_EQ(app_->currentLabel().entryCount(), 1);

    clearLabel(app_->currentLabel());
    app_->shell.commandLine = "-labelX" + path;
    window_->sendCommand(CMD_CMDLINE_LABEL);
    EXPECT_EQ(app_->currentLabel().entryCount(), 1);
}

TEST(BrowserCommandTest, PlaceholderCutRules) {
    EXPECT_EQ(browserCommandLine("/usr/bin/firefox \"%1\"", "http://x/"),
              "/usr/bin/firefox  http://x/");
    EXPECT_EQ(browserCommandLine("browser -new %1 -end", "http://x/"), "browser -new  http://x/");
    EXPECT_EQ(browserCommandLine("/usr/bin/chromium %U", "http://x/"),
              "/usr/bin/chromium  http://x/");
    EXPECT_EQ(browserCommandLine("lynx", "http://x/"), "lynx http://x/");
}

} // namespace
} // namespace pelmora::test
