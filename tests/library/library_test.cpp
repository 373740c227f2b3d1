// The label library: adding and refreshing label files, searching them, duplicates, and the
// files it must refuse or leave alone.

#include "library/library.h"
#include "library/regex_filter.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>

namespace pelmora {
namespace {

using library::AddStatus;
using library::FindQuery;
using library::Hit;
using library::Library;
using library::OpenResult;
using test::quoted;

test::CommandRun runCli(const std::string& arguments) {
    return test::runCapturing(std::string("PELMORA_TODAY=2001-02-03 LC_ALL=C ") + PELMORA_CLI_PATH +
                              " " + arguments);
}

// "VOLUME:folder/name" of each hit, sorted.
std::set<std::string> where(const std::vector<Hit>& hits) {
    std::set<std::string> found;
    for (const Hit& hit : hits) {
        found.insert(hit.volume + ":" + (hit.folder.empty() ? "" : hit.folder + "/") + hit.name);
    }
    return found;
}

class LibraryTest : public ::testing::Test {
protected:
    // Scans `folder` (archives read) into the label file `label` with the program's writer.
    void scanLabel(const std::string& folder, const std::string& label) {
        std::filesystem::create_directories(std::filesystem::path(label).parent_path());
        const test::CommandRun run =
            runCli("scan " + quoted(folder) + " --archives -o " + quoted(label));
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    // Two disks: ALPHA with a folder, a ZIP and a non-ASCII name; BETA sharing one file.
    void makeDisks() {
        dir_.writeText("ALPHA/Docs/Report2024.txt", "report");
        dir_.writeFile("ALPHA/Docs/old/draft.TXT", 10);
        dir_.writeFile("ALPHA/photo.JPG", 5000);
        dir_.writeFile("ALPHA/caf\xC3\xA9.txt", 7);
        dir_.writeFile("ALPHA/big.iso", 70000);
        dir_.writeFile("ALPHA/100%_done.txt", 1);
        ASSERT_EQ(
            test::runCommand("cd " + quoted(dir_.file("ALPHA")) + " && zip -q -r Backup.zip Docs"),
            0);
        dir_.writeFile("BETA/photo.JPG", 5000);
        dir_.writeFile("BETA/notes.md", 3);
        dir_.writeFile("BETA/big.iso", 70001);
        scanLabel(dir_.file("ALPHA"), dir_.file("labels/alpha.PMB"));
        scanLabel(dir_.file("BETA"), dir_.file("labels/sub/beta.pmb"));
    }

    std::string libraryPath() const { return dir_.file("library.sqlite"); }

    test::TempDir dir_;
};

TEST_F(LibraryTest, AddsAFolderOfLabelsSkippingWhatIsNoLabelAndKeepingWhatADamagedOneHolds) {
    makeDisks();
    // A text file with the label extension, and a label cut off in its catalog.
    dir_.writeText("labels/notes.PMB", "shopping list\n");
    const std::string whole = test::readFile(dir_.file("labels/alpha.PMB"));
    dir_.writeText("labels/cut.Pmb", whole.substr(0, whole.find("photo.JPG")));

    const test::CommandRun add = runCli("library add " + quoted(dir_.file("labels")) +
                                        " --library " + quoted(libraryPath()));
    EXPECT_EQ(add.exitCode, 0) << add.err;
    EXPECT_NE(add.err.find("skipped " + dir_.file("labels/notes.PMB") + ": not a label file"),
              std::string::npos)
        << add.err;
    EXPECT_NE(add.err.find("3 added, 0 refreshed, 0 unchanged, 1 skipped"), std::string::npos)
        << add.err;

    Library lib;
    ASSERT_EQ(lib.open(libraryPath(), true), OpenResult::Opened) << lib.problem();
    const auto labels = lib.labels();
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0].path, dir_.file("labels/alpha.PMB"));
    EXPECT_EQ(labels[0].volume, "ALPHA");
    EXPECT_FALSE(labels[0].damaged);
    EXPECT_EQ(labels[1].path, dir_.file("labels/cut.Pmb"));
    EXPECT_TRUE(labels[1].damaged);
    EXPECT_EQ(labels[2].path, dir_.file("labels/sub/beta.pmb"));

    // The damaged label answers with the entries before the cut.
    FindQuery query;
    query.pattern = "report2024";
    EXPECT_EQ(where(lib.find(query)), (std::set<std::string>{"ALPHA:Backup.zip/Docs/Report2024.txt",
                                                             "ALPHA:Docs/Report2024.txt"}));
    query.labelPattern = "cut.pmb";
    EXPECT_EQ(lib.find(query).size(), 2u);
    query.pattern = "photo";
    EXPECT_TRUE(lib.find(query).empty());

    const test::CommandRun list = runCli("library list --library " + quoted(libraryPath()));
    EXPECT_NE(list.out.find("ALPHA  "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find(dir_.file("labels/cut.Pmb") + "  (damaged)\n"), std::string::npos)
        << list.out;
}

TEST_F(LibraryTest, RefreshReadsChangedLabelsSkipsUnchangedOnesAndDropsDeletedOnes) {
    makeDisks();
    Library lib;
    ASSERT_EQ(lib.open(libraryPath()), OpenResult::Opened) << lib.problem();
    EXPECT_EQ(lib.addLabelFile(dir_.file("labels/alpha.PMB")).status, AddStatus::Added);
    EXPECT_EQ(lib.addLabelFile(dir_.file("labels/sub/beta.pmb")).status, AddStatus::Added);
    EXPECT_EQ(lib.addLabelFile(dir_.file("labels/alpha.PMB")).status, AddStatus::Unchanged);

    // BETA is scanned again with another file; the label file is rewritten in place.
    dir_.writeFile("BETA/newcomer.bin", 12);
    std::filesystem::remove(dir_.file("BETA/notes.md"));
    scanLabel(dir_.file("BETA"), dir_.file("labels/sub/beta.pmb"));
    // The same bytes with a new time are no change.
    ASSERT_EQ(test::runCommand("touch -d '2020-01-01' " + quoted(dir_.file("labels/alpha.PMB"))),
              0);
    Library::RefreshCounts counts = lib.refresh();
    EXPECT_EQ(counts.refreshed, 1u);
    EXPECT_EQ(counts.unchanged, 1u);
    FindQuery query;
    query.pattern = "newcomer";
    EXPECT_EQ(where(lib.find(query)), (std::set<std::string>{"BETA:newcomer.bin"}));
    query.pattern = "notes";
    EXPECT_TRUE(lib.find(query).empty());

    std::filesystem::remove(dir_.file("labels/sub/beta.pmb"));
    counts = lib.refresh();
    EXPECT_EQ(counts.dropped, 1u);
    query.pattern = "photo";
    EXPECT_EQ(where(lib.find(query)), (std::set<std::string>{"ALPHA:photo.JPG"}));
    ASSERT_EQ(lib.labels().size(), 1u);

    EXPECT_EQ(lib.remove(dir_.file("labels")), 1u);
    EXPECT_TRUE(lib.labels().empty());
    query.pattern = "";
    EXPECT_TRUE(lib.find(query).empty());
}

TEST_F(LibraryTest, FindsBySubstringWildcardRegexExtensionSizeAndKind) {
    makeDisks();
    Library lib;
    ASSERT_EQ(lib.open(libraryPath()), OpenResult::Opened) << lib.problem();
    lib.addLabelFile(dir_.file("labels/alpha.PMB"));
    lib.addLabelFile(dir_.file("labels/sub/beta.pmb"));
    auto find = [&](FindQuery query) { return where(lib.find(query)); };

    // A-Z folded only: "É" is not "é".
    EXPECT_EQ(find({.pattern = "PHOTO.jpg"}),
              (std::set<std::string>{"ALPHA:photo.JPG", "BETA:photo.JPG"}));
    EXPECT_EQ(find({.pattern = "CAF\xC3\xA9"}), (std::set<std::string>{"ALPHA:caf\xC3\xA9.txt"}));
    EXPECT_TRUE(find({.pattern = "CAF\xC3\x89"}).empty());
    // Archive members are found under their archive; the archive is listed as one.
    EXPECT_EQ(
        find({.pattern = "draft"}),
        (std::set<std::string>{"ALPHA:Backup.zip/Docs/old/draft.TXT", "ALPHA:Docs/old/draft.TXT"}));
    const std::vector<Hit> archive = lib.find({.pattern = "backup"});
    ASSERT_EQ(archive.size(), 1u);
    EXPECT_EQ(archive[0].kind, library::EntryKind::Archive);
    // Wildcards, and patterns too short for the trigram index.
    EXPECT_EQ(find({.pattern = "rep*24.t?t"}),
              (std::set<std::string>{"ALPHA:Backup.zip/Docs/Report2024.txt",
                                     "ALPHA:Docs/Report2024.txt"}));
    EXPECT_EQ(find({.pattern = "md"}), (std::set<std::string>{"BETA:notes.md"}));
    EXPECT_EQ(find({.pattern = "caf?.txt"}), (std::set<std::string>{"ALPHA:caf\xC3\xA9.txt"}));
    // '%' and '_' are plain characters in a pattern.
    EXPECT_EQ(find({.pattern = "0%_dONE"}), (std::set<std::string>{"ALPHA:100%_done.txt"}));
    EXPECT_TRUE(find({.pattern = "100x_done"}).empty());
    EXPECT_TRUE(find({.pattern = "100%xdone"}).empty());
    // Extension, size bounds, kinds, label and limit.
    EXPECT_EQ(find({.extension = ".ISO", .minSize = 70001}),
              (std::set<std::string>{"BETA:big.iso"}));
    EXPECT_EQ(find({.pattern = "o", .minSize = 4000, .maxSize = 6000}),
              (std::set<std::string>{"ALPHA:photo.JPG", "BETA:photo.JPG"}));
    EXPECT_EQ(find({.pattern = "doc", .foldersOnly = true}),
              (std::set<std::string>{"ALPHA:Docs", "ALPHA:Backup.zip/Docs"}));
    EXPECT_TRUE(find({.pattern = "doc", .filesOnly = true}).empty());
    EXPECT_EQ(find({.pattern = "photo", .labelPattern = "BETA"}),
              (std::set<std::string>{"BETA:photo.JPG"}));
    EXPECT_EQ(lib.find({.pattern = "t", .limit = 2}).size(), 2u);

    library::RegexFilter regex = library::makeRegexFilter("^(report|notes)\\.(txt|md)$");
    ASSERT_TRUE(regex.matches);
    EXPECT_EQ(find({.nameFilter = regex.matches}), (std::set<std::string>{"BETA:notes.md"}));
    regex = library::makeRegexFilter("^report[0-9]+\\.txt$");
    EXPECT_EQ(find({.nameFilter = regex.matches}).size(), 2u);

    // The command line: one line per hit, the count on standard error, exit 1 for none, an
    // invalid expression with its position.
    const std::string lib_ = " --library " + quoted(libraryPath());
    test::CommandRun run = runCli("find notes" + lib_);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "BETA  notes.md  3  " + dir_.file("labels/sub/beta.pmb") + "\n");
    EXPECT_EQ(run.err, "1 match\n");
    run = runCli("find nothing-like-this" + lib_);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "0 matches\n");
    run = runCli("find --regex 'ab[c' " + lib_);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("invalid regular expression at position 4"), std::string::npos)
        << run.err;
}

TEST_F(LibraryTest, DuplicatesAreSameNameAndSizeOnTwoDisksBiggestFirst) {
    makeDisks();
    dir_.writeFile("GAMMA/BIG.ISO", 70000); // same name in other letters, same size
    dir_.writeFile("GAMMA/PHOTO.JPG", 4999);
    scanLabel(dir_.file("GAMMA"), dir_.file("labels/gamma.PMB"));
    Library lib;
    ASSERT_EQ(lib.open(libraryPath()), OpenResult::Opened);
    for (const char* label : {"labels/alpha.PMB", "labels/sub/beta.pmb", "labels/gamma.PMB"}) {
        lib.addLabelFile(dir_.file(label));
    }
    const auto groups = lib.duplicates(1);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].size, 70000u);
    EXPECT_EQ(where(groups[0].copies), (std::set<std::string>{"ALPHA:big.iso", "GAMMA:Big.Iso"}));
    EXPECT_EQ(groups[1].size, 5000u);
    EXPECT_EQ(where(groups[1].copies),
              (std::set<std::string>{"ALPHA:photo.JPG", "BETA:photo.JPG"}));
    // The two copies of a file inside and outside an archive on one disk are no duplicate.
    EXPECT_TRUE(lib.duplicates(71000).empty());
}

TEST_F(LibraryTest, AForeignOrNewerLibraryIsRefusedUntouchedAndRebuildMovesItAside) {
    makeDisks();
    const std::string label = quoted(dir_.file("labels/alpha.PMB"));
    // Some other program's database.
    const std::string foreign = dir_.file("foreign.sqlite");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(x); INSERT INTO notes VALUES(1);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    // A library a newer program wrote.
    const std::string newer = dir_.file("newer.sqlite");
    {
        Library lib;
        ASSERT_EQ(lib.open(newer), OpenResult::Opened);
    }
    ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=2;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string text = dir_.writeText("text.sqlite", "not a database at all\n");

    for (const std::string& path : {foreign, newer, text}) {
        const std::string before = test::readFile(path);
        Library lib;
        EXPECT_EQ(lib.open(path), path == newer ? OpenResult::NewerSchema : OpenResult::NotLibrary)
            << path;
        const test::CommandRun add = runCli("library add " + label + " --library " + quoted(path));
        EXPECT_EQ(add.exitCode, 2) << path;
        EXPECT_NE(add.err.find(path == newer ? "newer Pelmora" : "not a Pelmora library"),
                  std::string::npos)
            << add.err;
        EXPECT_EQ(runCli("find photo --library " + quoted(path)).exitCode, 2);
        EXPECT_EQ(test::readFile(path), before) << path;
        EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    }

    const std::string before = test::readFile(foreign);
    const test::CommandRun rebuild = runCli("library rebuild --library " + quoted(foreign));
    EXPECT_EQ(rebuild.exitCode, 0) << rebuild.err;
    EXPECT_EQ(test::readFile(foreign + ".old"), before);
    EXPECT_EQ(runCli("library add " + label + " --library " + quoted(foreign)).exitCode, 0);
    EXPECT_EQ(runCli("find photo --library " + quoted(foreign)).exitCode, 0);
}

TEST_F(LibraryTest, AReadOnlyLibraryAnswersAndAFullDiskRollsBackOnlyThatLabel) {
    makeDisks();
    // A label big enough to need many pages.
    for (int i = 0; i < 400; ++i) {
        dir_.writeFile("HUGE/a-rather-long-file-name-number-" + std::to_string(i) + ".dat", 1);
    }
    scanLabel(dir_.file("HUGE"), dir_.file("labels/huge.PMB"));
    {
        Library lib;
        ASSERT_EQ(lib.open(libraryPath()), OpenResult::Opened);
        ASSERT_EQ(lib.addLabelFile(dir_.file("labels/alpha.PMB")).status, AddStatus::Added);
        // Room for a few pages more only: the disk fills in the middle of the label.
        lib.limitGrowth(2);
        const library::AddResult full = lib.addLabelFile(dir_.file("labels/huge.PMB"));
        EXPECT_EQ(full.status, AddStatus::Failed);
        EXPECT_TRUE(full.diskFull) << full.problem;
        ASSERT_EQ(lib.labels().size(), 1u);
        EXPECT_TRUE(lib.find({.pattern = "rather-long"}).empty());
        EXPECT_EQ(lib.find({.pattern = "photo"}).size(), 1u);
    }
    // The command line says so and keeps the library as it was before that label.
    const test::CommandRun add = runCli("library add " + quoted(dir_.file("labels/huge.PMB")) +
                                        " --library " + quoted(libraryPath()));
    EXPECT_EQ(add.exitCode, 0) << add.err; // without the limit it fits

    ASSERT_EQ(::chmod(libraryPath().c_str(), 0444), 0);
    Library lib;
    EXPECT_EQ(lib.open(libraryPath()), OpenResult::ReadOnly) << lib.problem();
    EXPECT_EQ(lib.find({.pattern = "rather-long", .limit = 5}).size(), 5u);
    EXPECT_EQ(lib.addLabelFile(dir_.file("labels/sub/beta.pmb")).status, AddStatus::Failed);
    const test::CommandRun find = runCli("find photo --library " + quoted(libraryPath()));
    EXPECT_EQ(find.exitCode, 0) << find.err;
    const test::CommandRun refused =
        runCli("library add " + quoted(dir_.file("labels/sub/beta.pmb")) + " --library " +
               quoted(libraryPath()));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("read-only"), std::string::npos) << refused.err;
}

} // namespace
} // namespace pelmora
