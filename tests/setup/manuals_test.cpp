#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <sstream>

namespace pelmora::test {
namespace {

// A program started the way a script or a package check starts it: no display, no Qt
// platform, and a settings folder of its own.
std::string bare(const TempDir& home) {
    return "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PELMORA_WINDIR=" +
           quoted(home.path()) + " ";
}

// --version and --help answer before any window or settings exist: both programs print the
// release and exit 0, the label program's help lists its switches, and nothing is written
// into the settings folder.
TEST(ManualsTest, VersionAndHelpNeedNoDisplayAndNoSettings) {
    TempDir home;
    const std::string version = std::string("Pelmora ") + PELMORA_VERSION + "\n";
    const CommandRun program = runCapturing(bare(home) + quoted(PELMORA_PROGRAM) + " --version");
    EXPECT_EQ(program.exitCode, 0) << program.err;
    EXPECT_EQ(program.out, version);
    const CommandRun cli = runCapturing(bare(home) + quoted(PELMORA_CLI) + " --version");
    EXPECT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(cli.out, version);

    const CommandRun help = runCapturing(bare(home) + quoted(PELMORA_PROGRAM) + " --help");
    EXPECT_EQ(help.exitCode, 0) << help.err;
    for (const char* line : {"\n  -label PATH\n", "\n  -template PATH\n", "\n  -printlabel PATH\n",
                             "\n  PELMORA_WINDIR\n", "\n  PELMORA_DRIVE_x\n"}) {
        EXPECT_NE(help.out.find(line), std::string::npos) << line << help.out;
    }
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(runCapturing("ls -A " + quoted(home.path())).out, "");
}

// Every option and command the --help texts name is in the rendered manual page, in the same
// words: the pages are written from the tables the help is printed from.
TEST(ManualsTest, TheManualPagesSayWhatTheHelpSays) {
    const std::string manuals = PELMORA_MANUALS_DIR;
    const auto rendered = [&](const std::string& page) {
        const CommandRun run = runCapturing("zcat " + quoted(manuals + "/" + page) +
                                            " | groff -ww -man -Tascii -P-cbou");
        EXPECT_EQ(run.exitCode, 0) << page;
        EXPECT_EQ(run.err, "") << page;
        return run.out;
    };
    const std::string cliPage = rendered("pelmora-cli.1.gz");
    const std::string programPage = rendered("pelmora.1.gz");
    // The option lines of the help ("  --levels 0|1|2|3|4|all", "  -label PATH") and the
    // heading of each command ("scan FOLDER").
    const auto headings = [](const std::string& help, bool commands) {
        std::vector<std::string> found;
        std::istringstream in(help);
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("  -")) {
                found.push_back(line.substr(2));
            } else if (commands && !line.empty() && line[0] >= 'a' && line[0] <= 'z' &&
                       line.find(':') == std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    };
    const std::string cliHelp = runCapturing(quoted(PELMORA_CLI) + " --help").out;
    const std::vector<std::string> cliHeadings = headings(cliHelp, true);
    EXPECT_GE(cliHeadings.size(), 25u) << cliHelp;
    for (const std::string& heading : cliHeadings) {
        EXPECT_NE(cliPage.find(heading), std::string::npos) << heading;
    }
    TempDir home;
    const std::string programHelp =
        runCapturing(bare(home) + quoted(PELMORA_PROGRAM) + " --help").out;
    const std::vector<std::string> switches = headings(programHelp, false);
    EXPECT_EQ(switches.size(), 5u) << programHelp;
    for (const std::string& heading : switches) {
        EXPECT_NE(programPage.find(heading), std::string::npos) << heading;
    }
}

// The bash completion, sourced into a real bash: commands, options, the fixed values of an
// option, and label or template files in any case of their extension (with folders to walk
// into) where a command expects one.
TEST(ManualsTest, BashCompletesCommandsOptionsValuesAndLabelFiles) {
    TempDir dir;
    dir.writeText("a.PMB", "");
    dir.writeText("b.pmb", "");
    dir.writeText("c.txt", "");
    dir.writeText("d.PMT", "");
    dir.makeDir("sub");
    const auto complete = [&](const std::string& words) {
        const std::string script = dir.writeText(
            "complete.sh",
            "source '" + std::string(PELMORA_MANUALS_DIR) + "/pelmora-cli'\n" + "COMP_WORDS=(" +
                words + ")\n" + "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n" + "_pelmora_cli\n" +
                "[ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\\n' \"${COMPREPLY[@]}\" | sort\n");
        return runCapturing("cd " + quoted(dir.path()) + " && bash " + quoted(script)).out;
    };
    EXPECT_EQ(complete("pelmora-cli d"), "dump\ndump-template\nduplicates\n");
    EXPECT_EQ(complete("pelmora-cli scan /tmp --levels ''"), "0\n1\n2\n3\n4\nall\n");
    EXPECT_EQ(complete("pelmora-cli print x.PMB --paper ''"), "a4\nletter\n");
    EXPECT_EQ(complete("pelmora-cli render x.PMB --s"), "--scale\n");
    EXPECT_EQ(complete("pelmora-cli dump ''"), "a.PMB\nb.pmb\nsub\n");
    EXPECT_EQ(complete("pelmora-cli dump-template ''"), "d.PMT\nsub\n");
    EXPECT_EQ(complete("pelmora-cli scan ''"), "sub\n");
    EXPECT_EQ(complete("pelmora-cli scan . --exclude ''"), "");
}

} // namespace
} // namespace pelmora::test
