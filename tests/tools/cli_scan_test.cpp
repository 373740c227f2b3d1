// pelmora-cli scan, run as a separate process on real folders.

#include "tests/support/test_support.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace pelmora {
namespace {

using CliRun = test::CommandRun;

CliRun runCli(const std::string& arguments, const std::string& cli = PELMORA_CLI_PATH) {
    return test::runCapturing(std::string("PELMORA_TODAY=1998-07-17 LC_ALL=C ") + cli + " " +
                              arguments);
}

using test::quoted;

class CliScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        disk_.writeFile("README.TXT", 1500);
        disk_.writeFile("b.dat", 10);
        disk_.writeFile("Docs/letter.doc", 2048);
        disk_.writeFile("Docs/Old/x.tmp", 1);
        disk_.makeDir("Empty");
    }
    test::TempDir disk_;
};

TEST_F(CliScanTest, PrintsTheIndentedCatalogAndTheFigures) {
    CliRun run = runCli("scan " + quoted(disk_.path()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::string expectedTree = "b.dat\t10\n"
                               "Docs\t[dir]\n"
                               "  letter.doc\t2K\n"
                               "  Old\t[dir]\n"
                               "    x.tmp\t1\n"
                               "Empty\t[dir]\n"
                               "  (Empty)\t\n"
                               "Readme.Txt\t1K\n";
    EXPECT_EQ(run.out.substr(0, expectedTree.size()), expectedTree);
    std::string tail = run.out.substr(expectedTree.size());
    EXPECT_NE(tail.find("Volume: "), std::string::npos);
    EXPECT_NE(tail.find("Files: 5\nFolders: 3\n"), std::string::npos) << tail;
    EXPECT_NE(tail.find("Comment: "), std::string::npos);
    EXPECT_NE(tail.find("used  (07/17/98)\n"), std::string::npos) << tail;
    EXPECT_EQ(run.err, "");
}

TEST_F(CliScanTest, OptionsSteerTheScan) {
    CliRun levels = runCli("scan " + quoted(disk_.path()) + " --levels 0 --sort size --descending");
    ASSERT_EQ(levels.exitCode, 0) << levels.err;
    EXPECT_EQ(levels.out.substr(0, levels.out.find("Volume:")),
              "Readme.Txt\t1K\nb.dat\t10\nEmpty\t[dir]\nDocs\t[dir]\n");

    CliRun dirs = runCli("scan " + quoted(disk_.path()) + " --dirs-only --dirinfo entries");
    EXPECT_EQ(dirs.out.substr(0, dirs.out.find("Volume:")), "Docs\t1\n  Old\t0\nEmpty\t0\n");

    CliRun excluded = runCli("scan " + quoted(disk_.path()) + " --exclude .tmp --exclude .DAT");
    EXPECT_EQ(excluded.out.find("x.tmp"), std::string::npos);
    EXPECT_EQ(excluded.out.find("b.dat"), std::string::npos);
    EXPECT_NE(excluded.out.find("letter.doc"), std::string::npos);

    CliRun included = runCli("scan " + quoted(disk_.path()) + " --include .doc --sort ext");
    EXPECT_EQ(included.out.substr(0, included.out.find("Volume:")),
              "Docs\t[dir]\n  Old\t[dir]\n  letter.doc\t2K\nEmpty\t[dir]\n  (Empty)\t\n");
}

TEST_F(CliScanTest, PatternsAndOutputNamesAreTakenAsTheProgramTakesThem) {
    disk_.writeFile("main.hpp", 5);
    disk_.writeFile("Docs/UTIL.HPP", 7);
    const auto catalog = [](const CliRun& run) {
        return run.out.substr(0, run.out.find("Volume:"));
    };

    // Typed as in the Exclude/Include dialog: the leading '*' goes, case does not matter.
    const CliRun included = runCli("scan " + quoted(disk_.path()) + " --include '*.hpp'");
    ASSERT_EQ(included.exitCode, 0) << included.err;
    EXPECT_EQ(catalog(included), "Docs\t[dir]\n  Old\t[dir]\n  Util.Hpp\t7\n"
                                 "Empty\t[dir]\n  (Empty)\t\nmain.hpp\t5\n");
    const CliRun excluded =
        runCli("scan " + quoted(disk_.path()) + " --exclude '*.HPP' --levels 0");
    EXPECT_EQ(catalog(excluded), "b.dat\t10\nDocs\t[dir]\nEmpty\t[dir]\nReadme.Txt\t1K\n");
    // "*" leaves no pattern, and an include list without patterns takes every file.
    const CliRun everything = runCli("scan " + quoted(disk_.path()) + " --include '*' --levels 0");
    EXPECT_EQ(catalog(everything),
              "b.dat\t10\nDocs\t[dir]\nEmpty\t[dir]\nmain.hpp\t5\nReadme.Txt\t1K\n");

    // -o adds ".PMB" as Save As does, unless "PMB" is in the name already.
    test::TempDir out;
    ASSERT_EQ(runCli("scan " + quoted(disk_.path()) + " -o " + quoted(out.file("backup"))).exitCode,
              0);
    ASSERT_EQ(
        runCli("scan " + quoted(disk_.path()) + " -o " + quoted(out.file("two.pmb"))).exitCode, 0);
    const auto exists = [&](const char* name) {
        struct stat st {};
        return stat(out.file(name).c_str(), &st) == 0;
    };
    EXPECT_TRUE(exists("backup.PMB"));
    EXPECT_FALSE(exists("backup"));
    EXPECT_TRUE(exists("two.pmb"));
    EXPECT_FALSE(exists("two.pmb.PMB"));
}

TEST(CliHelpTest, HelpPrintsTheUsageAndSucceeds) {
    for (const std::string arguments :
         {"--help", "-h", "scan --help", "scan /tmp -h", "dump --help", "render --help"}) {
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments << "\n" << run.err;
        EXPECT_EQ(run.out.rfind("usage: pelmora-cli scan FOLDER", 0), 0u) << arguments;
        EXPECT_EQ(run.err, "") << arguments;
    }
}

TEST_F(CliScanTest, ArchivesAreListedWithTheirMembers) {
    ASSERT_EQ(test::runCommand("cd " + quoted(disk_.path()) + " && zip -q pack.zip b.dat"), 0);
    CliRun run = runCli("scan " + quoted(disk_.path()) + " --levels 0 --archives");
    EXPECT_NE(run.out.find("pack.zip\t"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n  b.dat\t10\n"), std::string::npos) << run.out;
}

TEST(CliErrorsTest, UsageErrorsExitOneAndBadInputTwo) {
    CliRun noFolder = runCli("scan");
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_NE(noFolder.err.find("scan needs a FOLDER"), std::string::npos);

    EXPECT_EQ(runCli("frobnicate").exitCode, 1);
    EXPECT_EQ(runCli("scan /tmp --bogus").exitCode, 1);
    EXPECT_EQ(runCli("scan /tmp --levels").exitCode, 1);
    EXPECT_EQ(runCli("scan /tmp --include a --exclude b").exitCode, 1);

    CliRun badLevel = runCli("scan /tmp --levels 9");
    EXPECT_EQ(badLevel.exitCode, 2);
    EXPECT_EQ(badLevel.err, "pelmora-cli: --levels takes 0|1|2|3|4|all, not \"9\"\n");

    CliRun missing = runCli("scan /no/such/folder");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_NE(missing.err.find("/no/such/folder"), std::string::npos);
}

TEST(CliErrorsTest, UnreadableFolderIsBadInput) {
    test::TempDir disk;
    chmod(disk.path().c_str(), 0);
    // The build folder may not be reachable for an unprivileged user: run a copy.
    test::TempDir bin;
    chmod(bin.path().c_str(), 0755);
    std::string cli = bin.file("pelmora-cli");
    ASSERT_EQ(test::runCommand("cp '" + std::string(PELMORA_CLI_PATH) + "' '" + cli + "'"), 0);
    std::string result = test::runUnprivileged([&] {
        CliRun run = runCli("scan " + quoted(disk.path()), cli);
        return std::to_string(run.exitCode) + "|" + run.err;
    });
    EXPECT_EQ(result.substr(0, 2), "2|");
    EXPECT_NE(result.find("Permission denied"), std::string::npos) << result;
}

// -o without a file name would have written a hidden ".PMB": refused before anything is scanned.
TEST_F(CliScanTest, OutputWithoutAFileNameIsRefused) {
    test::TempDir out;
    out.makeDir("labels.pmb");
    for (const std::string& output :
         {std::string(), out.path() + "/", out.path(), out.path() + "/.", out.file("labels.pmb")}) {
        const CliRun run = runCli("scan " + quoted(disk_.path()) + " -o " + quoted(output));
        EXPECT_EQ(run.exitCode, 2) << output;
        EXPECT_NE(run.err.find("-o needs a file name"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << output;
    }
    const CliRun here = test::runCapturing("cd " + quoted(out.path()) + " && " + PELMORA_CLI_PATH +
                                           " scan " + quoted(disk_.path()) + " -o ''");
    EXPECT_EQ(here.exitCode, 2);
    EXPECT_EQ(test::runCommand("test -z \"$(ls -A " + quoted(out.path()) +
                               " | grep -v '^labels.pmb$')\""),
              0)
        << "nothing was written";
}

// Names with control characters reach a terminal as '?', like ls shows them; piped output keeps
// the bytes.
TEST_F(CliScanTest, ControlCharactersInNamesAreNotSentToATerminal) {
    disk_.writeFile("evil\x1b]2;owned\x07\x7f.txt", 3);
    const std::string command = std::string("PELMORA_TODAY=1998-07-17 LC_ALL=C ") +
                                PELMORA_CLI_PATH + " scan " + quoted(disk_.path()) + " --levels 0";
    const CliRun piped = test::runCapturing(command);
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_NE(piped.out.find("evil\x1b]2;owned\x07\x7f.txt\t3\n"), std::string::npos);

    if (test::runCommand("command -v script >/dev/null") != 0) {
        GTEST_SKIP() << "script(1) is needed to give the program a terminal";
    }
    const CliRun terminal =
        test::runCapturing("script -qec " + quoted(command) + " /dev/null </dev/null");
    ASSERT_EQ(terminal.exitCode, 0) << terminal.err;
    EXPECT_NE(terminal.out.find("evil?]2;owned??.txt\t3\r\n"), std::string::npos) << terminal.out;
    EXPECT_EQ(terminal.out.find_first_of("\x1b\x07\x7f"), std::string::npos);
}

} // namespace
} // namespace pelmora
