// Open, Save, Save As and the recent files below their dialogs: the names, the remembered
// folder, the recent list and the messages.

#include "storage/document.h"
#include "storage/label_file.h"
#include "tests/support/test_support.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

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
    EXPECT_EQ(request.filters[0].description, "Pelmora Bodies (*.PMB) (*.PMB *.pmb)");
    EXPECT_EQ(request.filters[0].pattern, "*.PMB *.pmb");
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
    document_.documentName = "previous";
    beginOpen(document_, settings_);
    const LabelFileLoad missing =
        finishOpen(document_, settings_, target, dir_.file("missing.PMB"));
    EXPECT_EQ(missing.status, LabelFileStatus::CannotOpen);
    EXPECT_TRUE(messages_.saw("Disk Error", "Error Loading Body"));
    EXPECT_STREQ(target.volumeName, "UNTOUCHED");
    EXPECT_EQ(settings_.recentFiles[0], "") << "a file that is no label is not remembered";
    EXPECT_EQ(document_.documentName, "default");
    EXPECT_EQ(document_.currentFilePath, "");

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

TEST_F(DocumentTest, FailedSaveAsKeepsTheOldName) {
    const std::string chosen = dir_.file("gone/x.PMB");
    document_.documentName = "old";
    document_.currentFilePath = dir_.file("old.PMB");
    EXPECT_FALSE(finishSaveAs(document_, settings_, label_, chosen));
    ASSERT_EQ(messages_.messages().size(), 1u);
    EXPECT_EQ(messages_.messages()[0].caption, "Disk Error");
    EXPECT_EQ(messages_.messages()[0].text.rfind("Error Saving Body", 0), 0u);
    EXPECT_NE(messages_.messages()[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(document_.currentFilePath, dir_.file("old.PMB"));
    EXPECT_EQ(document_.documentName, "old");
    EXPECT_EQ(settings_.recentFiles[0], "");
    EXPECT_EQ(settings_.labelPath, "");
}

TEST_F(DocumentTest, RecentFileLoadsMovesToFrontAndIsNamedAsOpenNamesIt) {
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
    EXPECT_EQ(document_.documentName, "a");
    EXPECT_EQ(document_.currentFilePath, a);
    EXPECT_EQ(settings_.labelPath, "/kept/");
    EXPECT_EQ(settings_.recentFiles[0], a);
    EXPECT_EQ(settings_.recentFiles[1], b);
    EXPECT_EQ(settings_.recentFiles[2], "");
    EXPECT_FALSE(document_.fileDialogShown);
}

TEST_F(DocumentTest, FailedRecentFileLeavesTheListAndTheDocumentUntitled) {
    const std::string gone = dir_.file("gone.PMB");
    settings_.recentFiles = {"x", "y", gone, "", ""};
    document_.currentFilePath = dir_.file("previous.PMB");
    VAROINFO target;
    EXPECT_EQ(openRecentFile(document_, settings_, target, 3), RecentOpenResult::Failed);
    EXPECT_TRUE(messages_.saw("Disk Error", "Error Loading Body"));
    EXPECT_EQ(settings_.recentFiles[0], "x");
    EXPECT_EQ(settings_.recentFiles[1], "y");
    EXPECT_EQ(settings_.recentFiles[2], gone);
    EXPECT_EQ(document_.currentFilePath, "");
    EXPECT_EQ(document_.documentName, "default");
}

// ---- damaged files ---------------------------------------------------------------------

// A saved label with a nested catalog, a string and a 2 x 2 picture, the picture last.
class DamagedDocumentTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        FileEntry folder;
        std::strcpy(folder.name, "DOCS");
        std::strcpy(folder.sizeText, "[dir]");
        folder.hasChild = 1;
        folder.open = 1;
        folder.child = std::make_unique<VAROINFO>();
        FileEntry inner;
        std::strcpy(inner.name, "LETTER.DOC");
        std::strcpy(inner.sizeText, "2K");
        inner.size = 2048;
        folder.child->entries.push_back(inner);
        label_.entries.push_back(std::move(folder));

        PlacedObject text;
        text.kind = OBJECT_STRING;
        std::strcpy(text.text, "Backup 1998");
        PlacedObject image;
        image.kind = OBJECT_IMAGE;
        image.dib.assign(56, 0);
        image.dib[0] = 40; // BITMAPINFOHEADER: 2 x 2, one plane, 24 bits
        image.dib[4] = 2;
        image.dib[8] = 2;
        image.dib[12] = 1;
        image.dib[14] = 24;
        image.fileHeader = {kBitmapFileType, 70, 0, 0, 54};
        label_.objects.push_back(std::move(text));
        label_.objects.push_back(std::move(image));
    }

    // Opens `path` as the file "previous.PMB" was open before.
    LabelFileLoad openAfterAnotherFile(const std::string& path, VAROINFO& target) {
        document_.currentFilePath = dir_.file("previous.PMB");
        document_.documentName = "previous";
        messages_.clear();
        beginOpen(document_, settings_);
        return finishOpen(document_, settings_, target, path);
    }

    // The one warning a damaged load shows, with the path and the byte it stopped at.
    void expectDamageWarning(const std::string& path, const LabelFileLoad& load,
                             const std::string& what) {
        ASSERT_EQ(messages_.messages().size(), 1u) << what;
        const Message& warning = messages_.messages()[0];
        EXPECT_EQ(warning.caption, "Damaged Label File") << what;
        EXPECT_EQ(warning.flags & MB_ICONWARNING, MB_ICONWARNING) << what;
        EXPECT_NE(warning.text.find("\"" + path + "\""), std::string::npos) << what;
        if (!load.complete) {
            EXPECT_NE(warning.text.find("reading stopped at byte " +
                                        std::to_string(load.problemOffset) + " (" + load.problem +
                                        ")"),
                      std::string::npos)
                << what << ": " << warning.text;
        }
        EXPECT_NE(warning.text.find("Save it under a new name"), std::string::npos) << what;
    }

    // The damaged file is not the document's: Save must ask for a name.
    void expectUntitled(const std::string& what) {
        EXPECT_EQ(document_.documentName, "default") << what;
        EXPECT_EQ(document_.currentFilePath, "") << what;
        EXPECT_TRUE(saveNeedsDialog(document_)) << what;
    }
};

TEST_F(DamagedDocumentTest, EveryTruncationOpensWhatPrecedesItUntitledWithAWarning) {
    const std::string path = savedFile("cut.PMB");
    const std::string full = test::readFile(path);
    ASSERT_GT(full.size(), 2u * 8308u) << "both object records and the pixels are in the file";

    // Cut from the end down to one byte: every point inside the text, the records and the
    // pixels. (Length 0 has no version number and is refused as before.)
    for (std::size_t length = full.size() - 1; length > 0; --length) {
        ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(length)), 0);
        VAROINFO target;
        const LabelFileLoad load = openAfterAnotherFile(path, target);
        const std::string what = "cut at " + std::to_string(length);
        ASSERT_EQ(load.status, LabelFileStatus::Loaded) << what;
        ASSERT_FALSE(load.complete) << what;
        ASSERT_LE(load.problemOffset, length) << what;
        expectDamageWarning(path, load, what);
        expectUntitled(what);
        ASSERT_EQ(settings_.recentFiles[0], path) << what << ": it can be opened again";
        ASSERT_LE(target.objects.size(), 2u) << what;
        if (HasFatalFailure()) {
            return;
        }
    }
    EXPECT_EQ(test::readFile(path), full.substr(0, 1)) << "the damaged file is never written";
}

TEST_F(DamagedDocumentTest, BitFlipsThatHideDataOpenUntitledThroughOpenAndRecentFiles) {
    const std::string intact = encodeLabelFile(label_);
    const std::size_t records = intact.size() - 56 - 2 * 8308;
    ASSERT_EQ(intact.substr(records - 2, 2), "2\n") << "the object count before the records";

    struct Flip {
        const char* what;
        std::size_t at;
        std::uint8_t mask;
        std::size_t objectsRead;
    };
    const Flip flips[] = {
        // "2" becomes "0": the records after the count would be dropped by the next save.
        {"object count", records - 2, 0x02, 0},
        // Kind 2 (string) becomes 6, a kind no program wrote: that object is left out.
        {"object kind", records, 0x04, 1},
    };
    for (const Flip& flip : flips) {
        std::string bytes = intact;
        bytes[flip.at] = static_cast<char>(bytes[flip.at] ^ flip.mask);
        const std::string path = dir_.writeText(std::string(flip.what) + ".PMB", bytes);

        VAROINFO opened;
        const LabelFileLoad load = openAfterAnotherFile(path, opened);
        EXPECT_EQ(opened.objects.size(), flip.objectsRead) << flip.what;
        EXPECT_EQ(opened.entries.size(), 2u) << flip.what << ": the catalog was read";
        expectDamageWarning(path, load, flip.what);
        expectUntitled(flip.what);

        settings_.recentFiles = {"", path, "", "", ""};
        document_.currentFilePath = dir_.file("previous.PMB");
        messages_.clear();
        VAROINFO recent;
        EXPECT_EQ(openRecentFile(document_, settings_, recent, 2), RecentOpenResult::Loaded);
        expectDamageWarning(path, load, std::string(flip.what) + " (recent)");
        expectUntitled(std::string(flip.what) + " (recent)");
        EXPECT_EQ(settings_.recentFiles[0], path);
        EXPECT_EQ(test::readFile(path), bytes) << flip.what << ": the file stays as it was";
    }
}

} // namespace
} // namespace pelmora
