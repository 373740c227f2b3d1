// Open, Save, Save As and the recent files below their dialogs: the names, the remembered
// folder, the recent list and the messages.

#include "storage/document.h"
#include "storage/label_file.h"
#include "tests/support/test_support.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace pelmora {
namespace {

TEST(DocumentNameTest, SaveAddsTheExtensionOnlyWhenPmbAppearsNowhere) {
    struct Case {
        const char* chosen;
        const char* saved;
    };
    const Case cases[] = {
        {"/home/u/labels/backup", "/home/u/labels/backup.PMB"},
        {"/home/u/labels/backup.txt", "/home/u/labels/backup.txt.PMB"},
        {"/home/u/labels/my.pmb.txt", "/home/u/labels/my.pmb.txt"},
        {"/home/u/PmbFiles/backup", "/home/u/PmbFiles/backup"},
        {"/home/u/labels/disk.Pmb", "/home/u/labels/disk.Pmb"},
        {"/home/u/labels/shampmbo", "/home/u/labels/shampmbo"},
        {"backup", "backup.PMB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withLabelFileExtension(c.chosen), c.saved) << c.chosen;
    }
}

TEST(DocumentNameTest, NamesAndFoldersOfPaths) {
    EXPECT_EQ(documentNameFromPath("/a/b/disk.one.PMB"), "disk.one");
    EXPECT_EQ(documentNameFromPath("/a/b.d/noext"), "noext") << "a dot in a folder is no extension";
    EXPECT_EQ(documentNameFromPath("plain"), "plain");
    EXPECT_EQ(fileNameOfPath("/a/b/disk.one.PMB"), "disk.one.PMB");
    EXPECT_EQ(folderOfPath("/a/b/disk.PMB"), "/a/b/");
    EXPECT_EQ(folderOfPath("disk.PMB"), "");
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::strcpy(label_.volumeName, "SAVED DISK");
        FileEntry e;
        std::strcpy(e.name, "A.TXT");
        label_.entries.push_back(e);
    }

    std::string savedFile(const std::string& name) {
        const std::string path = dir_.file(name);
        EXPECT_TRUE(saveLabelFile(path, label_));
        return path;
    }

    test::TempDir dir_;
    test::MessageRecorder messages_;
    DocumentState document_;
    ProgramSettings settings_;
    VAROINFO label_;
};

TEST_F(DocumentTest, OpenAdoptsNameFolderAndRecentListThenLoads) {
    const std::string path = savedFile("disk.one.PMB");
    settings_.labelPath = "/somewhere/else/";
    document_.currentFilePath = "/old/file.PMB";

    const FileDialogRequest request = beginOpen(document_, settings_);
    EXPECT_EQ(request.title, "Load Pelmora Body...");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].description, "Pelmora Bodies (*.PMB)");
    EXPECT_EQ(request.filters[0].pattern, "*.PMB");
    EXPECT_EQ(request.filters[1].pattern, "*.*");
    EXPECT_EQ(request.initialFolder, "/somewhere/else/");
    EXPECT_EQ(request.initialName, "");
    EXPECT_FALSE(request.save);
    EXPECT_EQ(document_.currentFilePath, "") << "the dialog's empty name buffer";

    VAROINFO target;
    const LabelFileLoad load = finishOpen(document_, settings_, target, path);
    EXPECT_EQ(load.status, LabelFileStatus::Loaded);
    EXPECT_STREQ(target.volumeName, "SAVED DISK");
    EXPECT_EQ(document_.documentName, "disk.one");
    EXPECT_EQ(document_.currentFilePath, path);
    EXPECT_EQ(settings_.labelPath, dir_.path() + "/");
    EXPECT_EQ(settings_.recentFiles[0], path);
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(DocumentTest, OpenFailuresReportErrorLoadingBody) {
    VAROINFO target;
    std::strcpy(target.volumeName, "UNTOUCHED");
    beginOpen(document_, settings_);
    const LabelFileLoad missing =
        finishOpen(document_, settings_, target, dir_.file("missing.PMB"));
    EXPECT_EQ(missing.status, LabelFileStatus::CannotOpen);
    EXPECT_TRUE(messages_.saw("Disk Error", "Error Loading Body"));
    EXPECT_STREQ(target.volumeName, "UNTOUCHED");
    EXPECT_EQ(settings_.recentFiles[0], dir_.file("missing.PMB")) << "added before loading";

    messages_.clear();
    const std::string future = dir_.writeText("future.PMB", "42\n.NEW\n");
    EXPECT_EQ(finishOpen(document_, settings_, target, future).status,
              LabelFileStatus::VersionRefused);
    EXPECT_TRUE(messages_.saw("Disk Error", "Error Loading Body"));
    EXPECT_STREQ(target.volumeName, "") << "refused after the label was cleared";
}

TEST_F(DocumentTest, SaveAsStartsFromTheDocumentNameAndAddsTheExtension) {
    FileDialogRequest request = beginSaveAs(document_, settings_);
    EXPECT_EQ(request.title, "Save Pelmora Body...");
    EXPECT_EQ(request.initialName, "default");
    EXPECT_TRUE(request.save);

    document_.documentName.clear();
    request = beginSaveAs(document_, settings_);
    EXPECT_EQ(request.initialName, "default.PMB");
    EXPECT_EQ(document_.currentFilePath, "default.PMB") << "a cancelled dialog leaves it there";

    const std::string chosen = dir_.file("backup");
    ASSERT_TRUE(finishSaveAs(document_, settings_, label_, chosen));
    EXPECT_EQ(document_.currentFilePath, chosen + ".PMB");
    EXPECT_EQ(document_.documentName, "backup");
    EXPECT_EQ(settings_.labelPath, dir_.path() + "/");
    EXPECT_EQ(settings_.recentFiles[0], chosen + ".PMB");
    VAROINFO read;
    EXPECT_EQ(loadLabelFile(chosen + ".PMB", read).status, LabelFileStatus::Loaded);
    EXPECT_STREQ(read.volumeName, "SAVED DISK");
}

TEST_F(DocumentTest, SaveGoesThroughSaveAsUntilADialogWasShown) {
    EXPECT_TRUE(saveNeedsDialog(document_));
    // A file named on the command line does not count: no dialog was shown.
    document_.currentFilePath = dir_.file("cmdline.PMB");
    EXPECT_TRUE(saveNeedsDialog(document_));

    beginSaveAs(document_, settings_);
    ASSERT_TRUE(finishSaveAs(document_, settings_, label_, dir_.file("first.PMB")));
    EXPECT_FALSE(saveNeedsDialog(document_));

    std::strcpy(label_.volumeName, "CHANGED");
    ASSERT_TRUE(saveCurrentFile(document_, label_));
    VAROINFO read;
    loadLabelFile(dir_.file("first.PMB"), read);
    EXPECT_STREQ(read.volumeName, "CHANGED");

    // An Open dialog that was cancelled leaves an empty path, so Save asks again.
    beginOpen(document_, settings_);
    EXPECT_TRUE(saveNeedsDialog(document_));
}

TEST_F(DocumentTest, FailedSaveAsStillAdoptsTheName) {
    const std::string chosen = dir_.file("gone/x.PMB");
    EXPECT_FALSE(finishSaveAs(document_, settings_, label_, chosen));
    EXPECT_TRUE(messages_.saw("Disk Error", "Error Saving Body"));
    EXPECT_EQ(document_.currentFilePath, chosen);
}

TEST_F(DocumentTest, RecentFileLoadsMovesToFrontAndKeepsTheExtensionInTheName) {
    const std::string a = savedFile("a.PMB");
    const std::string b = savedFile("b.PMB");
    settings_.recentFiles = {b, "", a, "", ""};
    settings_.labelPath = "/kept/";

    VAROINFO target;
    EXPECT_EQ(openRecentFile(document_, settings_, target, 2), RecentOpenResult::EmptyEntry);
    EXPECT_EQ(openRecentFile(document_, settings_, target, 0), RecentOpenResult::EmptyEntry);
    EXPECT_EQ(openRecentFile(document_, settings_, target, 6), RecentOpenResult::EmptyEntry);
    EXPECT_EQ(document_.documentName, "default");

    EXPECT_EQ(openRecentFile(document_, settings_, target, 3), RecentOpenResult::Loaded);
    EXPECT_STREQ(target.volumeName, "SAVED DISK");
    EXPECT_EQ(document_.documentName, "a.PMB");
    EXPECT_EQ(document_.currentFilePath, a);
    EXPECT_EQ(settings_.labelPath, "/kept/");
    EXPECT_EQ(settings_.recentFiles[0], a);
    EXPECT_EQ(settings_.recentFiles[1], b);
    EXPECT_EQ(settings_.recentFiles[2], "");
    EXPECT_FALSE(document_.fileDialogShown);
}

TEST_F(DocumentTest, FailedRecentFileStillMovesToFront) {
    const std::string gone = dir_.file("gone.PMB");
    settings_.recentFiles = {"x", "y", gone, "", ""};
    VAROINFO target;
    EXPECT_EQ(openRecentFile(document_, settings_, target, 3), RecentOpenResult::Failed);
    EXPECT_TRUE(messages_.saw("Disk Error", "Error Loading Body"));
    EXPECT_EQ(settings_.recentFiles[0], gone);
    EXPECT_EQ(settings_.recentFiles[1], "x");
    EXPECT_EQ(settings_.recentFiles[2], "y");
}

} // namespace
} // namespace pelmora
