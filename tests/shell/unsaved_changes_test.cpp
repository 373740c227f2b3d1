// Unsaved changes: the "*" in the title, the question before edits are thrown away and Save
// from that question, per label; what Open, Save As and Write Template File do with files
// they cannot read or write. Real label files in a temporary folder.

#include "resources/command_ids.h"
#include "shell_fixture.h"
#include "storage/label_file.h"
#include "storage/template_file.h"
#include "tests/support/jpeg_writer.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::test {
namespace {

constexpr int kSave = 0, kDiscard = 1, kCancel = 2;

class UnsavedChangesTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=67\n");
        start();
        setView(ONE_LABEL, 1);
        for (const char* name : {"REPORT.DOC", "NOTES.TXT"}) {
            FileEntry entry;
            std::strcpy(entry.name, name);
            app_->currentLabel().entries.push_back(entry);
        }
        ASSERT_TRUE(saveLabelFile(saved_, app_->currentLabel()));
        // Questions get `choice_`; file dialogs get `path_`, an empty one cancels them.
        answer_ = [this](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
            const bool file =
                request.kind == ui::ModalKind::OpenFile || request.kind == ui::ModalKind::SaveFile;
            if (request.buttons.empty() && !file) {
                return ui::ModalAnswer{reply_, {}};
            }
            return ui::ModalAnswer{request.buttons.empty() ? int(!path_.empty()) : choice_, path_};
        };
    }

    void run(int id) {
        window_->sendCommand(id);
        processEvents();
    }
    void edit() { run(CMD_SHOW_SIZES); }
    std::string title() const { return window_->windowTitle().toStdString(); }
    std::size_t entries() { return app_->currentLabel().entries.size(); }
    // File dialogs of `kind`, or questions with buttons of their own.
    int asked(ui::ModalKind kind, bool question = false) const {
        return static_cast<int>(std::count_if(requests_.begin(), requests_.end(), [&](auto& r) {
            return r.kind == kind && r.buttons.empty() != question;
        }));
    }

    // Messages (no buttons of their own) and what they were.
    std::vector<ui::ModalRequest> messages() const {
        std::vector<ui::ModalRequest> found;
        std::copy_if(requests_.begin(), requests_.end(), std::back_inserter(found),
                     [](auto& r) { return r.kind == ui::ModalKind::Message && r.buttons.empty(); });
        return found;
    }
    void pressCtrlS() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, "s");
        QApplication::sendEvent(window_.get(), &press);
        processEvents();
    }

    std::string saved_ = dir_.file("saved.PMB");
    int choice_ = kCancel;
    int reply_ = IDOK;
    std::string path_;
};

TEST_F(UnsavedChangesTest, TheTitleMarksEditsUntilTheLabelsAreSaved) {
    for (int id : {CMD_ZOOM, CMD_FORMAT_QUAD, CMD_MOVE_RIGHT, CMD_LEVELS_2, CMD_PRINT,
                   CMD_FORMAT_ONE, CMD_WINDOW_SCALE_75, CMD_ABOUT}) {
        run(id);
    }
    EXPECT_EQ(title().find('*'), std::string::npos) << "viewing and printing change nothing";
    edit();
    EXPECT_EQ(title().rfind("default* - Pelmora", 0), 0u) << title();
    path_ = dir_.file("mine");
    run(CMD_SAVE_AS);
    EXPECT_EQ(title().rfind("mine - Pelmora", 0), 0u) << title();

    // Dragging a placed object is an edit too; Save then rewrites the file without asking.
    PlacedObject& object = placeObject(OBJECT_STRING, {100, -100, 200, -200});
    drag(faceToWindow(0, 1, {150, -150}), faceToWindow(0, 1, {250, -150}));
    EXPECT_EQ(title().rfind("mine* - ", 0), 0u) << title();
    run(CMD_SAVE);
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), 1);
    EXPECT_EQ(title().find('*'), std::string::npos);
    VAROINFO reread;
    ASSERT_EQ(loadLabelFile(dir_.file("mine.PMB"), reread).status, LabelFileStatus::Loaded);
    ASSERT_EQ(reread.objects.size(), 1u);
    EXPECT_EQ(reread.objects[0].left, object.left);
}

// One rule for the name in the title, one for commands that empty labels, and only a change
// marks the document; the Open dialog lists label files whatever the case of their extension.
TEST_F(UnsavedChangesTest, OneRuleForTheNameAndOnlyAChangeMarksTheTitle) {
    path_ = saved_;
    run(CMD_OPEN);
    const std::string opened = title();
    EXPECT_EQ(opened.rfind("saved - Pelmora", 0), 0u) << opened;
    ASSERT_EQ(asked(ui::ModalKind::OpenFile), 1);
    const auto open = std::find_if(requests_.begin(), requests_.end(),
                                   [](const auto& r) { return r.kind == ui::ModalKind::OpenFile; });
    EXPECT_NE(open->filter.find("*.PMB"), std::string::npos) << open->filter;
    EXPECT_NE(open->filter.find("*.pmb"), std::string::npos) << open->filter;
    app_->settings.recentFiles[0] = saved_;
    run(CMD_RECENT_1);
    EXPECT_EQ(title(), opened) << "Open Recent names the document as Open does";

    // Dialogs cancelled: nothing changed, no "*".
    path_.clear();
    reply_ = 0; // every chooser and dialog cancelled
    for (int id : {CMD_EDIT_COMMENT, CMD_FONTS_AND_COLORS, CMD_BODY_BACK_COLOR, CMD_EDIT_SPINE_TEXT,
                   CMD_SPINE_FONT, CMD_SPINE_COLOR, CMD_INSERT_IMAGE, CMD_EDIT_FILES}) {
        run(id);
        EXPECT_FALSE(app_->document().changed) << id;
        EXPECT_EQ(title(), opened) << id;
    }
    reply_ = IDOK;
    edit();
    EXPECT_EQ(title().rfind("saved* - Pelmora", 0), 0u) << title();

    // New and Clear All Labels: the question first, then a new document without "*".
    choice_ = kDiscard;
    for (int id : {CMD_CLEAR_ALL_LABELS, CMD_NEW}) {
        run(id);
        EXPECT_EQ(title().rfind("default - Pelmora", 0), 0u) << id << " " << title();
        EXPECT_TRUE(app_->document().currentFilePath.empty()) << id;
        edit();
    }
}

TEST_F(UnsavedChangesTest, NewForgetsTheFileSoTheNextSaveAsksForAName) {
    path_ = saved_;
    run(CMD_OPEN);
    const std::string before = readFile(saved_);
    run(CMD_NEW);
    path_.clear();
    run(CMD_SAVE);
    EXPECT_EQ(app_->document().documentName, "default");
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), 1) << "Save asks for a name after New";
    EXPECT_EQ(readFile(saved_), before) << "the last file is not replaced by the empty label";
}

TEST_F(UnsavedChangesTest, CancelStopsAndDiscardGoesOnForEveryActionThatDropsTheLabels) {
    app_->settings.recentFiles[0] = saved_;
    path_ = saved_;
    for (int id : {CMD_NEW, CMD_OPEN, CMD_RECENT_1, CMD_CLEAR_ALL_LABELS, CMD_EXIT}) {
        SCOPED_TRACE(id);
        requests_.clear();
        edit();
        choice_ = kCancel;
        run(id);
        EXPECT_TRUE(entries() == 2u && window_->isVisible());
        ASSERT_EQ(asked(ui::ModalKind::Message, true), 1);
        EXPECT_EQ(requests_[0].text, "Save changes to " + app_->document().documentName + "?");
        EXPECT_EQ(requests_[0].buttons, (std::vector<std::string>{"&Save", "&Discard", "Cancel"}));

        choice_ = kDiscard;
        run(id);
        EXPECT_EQ(asked(ui::ModalKind::Message, true), 2) << "Exit's close does not ask again";
        EXPECT_EQ(window_->isVisible(), id != CMD_EXIT);
        if (id == CMD_NEW || id == CMD_CLEAR_ALL_LABELS) {
            EXPECT_EQ(entries(), 0u);
            ASSERT_EQ(loadLabelFile(saved_, app_->currentLabel()).status, LabelFileStatus::Loaded);
        } else if (id != CMD_EXIT) {
            EXPECT_EQ(asked(ui::ModalKind::OpenFile), id == CMD_OPEN ? 1 : 0);
            EXPECT_FALSE(app_->document().changed) << "a loaded label has no changes";
        }
    }
}

TEST_F(UnsavedChangesTest, SaveFromTheQuestionWritesTheLabelOrStopsTheAction) {
    edit();
    choice_ = kSave;
    EXPECT_FALSE(window_->close()) << "no name given: the Save As was cancelled";
    run(CMD_SAVE);
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), 2) << "still no file: Save asks for a name";

    const std::string kept = dir_.file("kept.PMB");
    path_ = dir_.file("kept");
    const int edited = app_->currentLabel().showSize;
    run(CMD_NEW);
    VAROINFO reread;
    ASSERT_EQ(loadLabelFile(kept, reread).status, LabelFileStatus::Loaded);
    EXPECT_TRUE(reread.entries.size() == 2u && reread.showSize == edited && entries() == 0u);

    // A save that fails (the name now taken by a folder) keeps the window and the mark.
    edit();
    std::filesystem::remove(kept);
    std::filesystem::create_directory(kept);
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(app_->document().changed);

    // With a file already named, Save rewrites it without a dialog, then the window closes.
    choice_ = kDiscard;
    path_ = saved_;
    run(CMD_OPEN);
    edit();
    choice_ = kSave;
    const int shown = app_->currentLabel().showSize;
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), 4);
    ASSERT_EQ(loadLabelFile(saved_, reread).status, LabelFileStatus::Loaded);
    EXPECT_EQ(reread.showSize, shown);
}

TEST_F(UnsavedChangesTest, PrintingFromTheCommandLineNeverAsks) {
    edit();
    app_->shell.commandLine = "-printlabel " + saved_;
    run(CMD_CMDLINE_PRINT);
    EXPECT_EQ(asked(ui::ModalKind::Print), 1);
    EXPECT_EQ(asked(ui::ModalKind::Message, true), 0);
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(UnsavedChangesTest, AFileThatIsNoLabelLeavesTheDocumentUntitledAndIsNeverWrittenTo) {
    const std::string jpeg = dir_.writeText("photo.jpg", greyJpeg(16, 16, 128));
    const std::string newer = dir_.writeText("newer.PMB", "42\n.FROM A NEWER PROGRAM\n");
    for (const std::string& foreign : {jpeg, newer}) {
        SCOPED_TRACE(foreign);
        const std::string bytes = readFile(foreign);
        path_ = saved_;
        run(CMD_OPEN); // a label with a file, so that a stale name would show
        ASSERT_EQ(app_->document().currentFilePath, saved_);
        const auto recent = app_->settings.recentFiles;

        requests_.clear();
        path_ = foreign;
        run(CMD_OPEN);
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].title, "Disk Error");
        EXPECT_EQ(messages()[0].text, "Error Loading Body");
        EXPECT_EQ(title().rfind("default - Pelmora", 0), 0u) << title();
        EXPECT_EQ(app_->document().currentFilePath, "");
        EXPECT_EQ(app_->settings.recentFiles, recent) << "the failed file is not remembered";

        path_.clear(); // the name asked for is refused: nothing is written anywhere
        pressCtrlS();
        EXPECT_EQ(asked(ui::ModalKind::SaveFile), 1) << "Ctrl+S asks for a name";
        EXPECT_EQ(readFile(foreign), bytes);

        // The same file from the recent list: still untitled, the list as it was.
        app_->settings.recentFiles[2] = foreign;
        const auto listed = app_->settings.recentFiles;
        run(CMD_RECENT_3);
        EXPECT_EQ(app_->document().documentName, "default");
        EXPECT_EQ(app_->settings.recentFiles, listed);
        pressCtrlS();
        EXPECT_EQ(asked(ui::ModalKind::SaveFile), 2);
        EXPECT_EQ(readFile(foreign), bytes);
    }

    // A template named on the command line becomes the file path, but no Save writes a label
    // over it unasked, also after a Save As that was cancelled.
    const std::string pmt = dir_.writeText("Pelmora.PMT", "Pelmora - Version 4.0\r\n");
    app_->shell.commandLine = "-template " + pmt;
    run(CMD_CMDLINE_TEMPLATE);
    requests_.clear();
    run(CMD_SAVE_AS);
    pressCtrlS();
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), 2);
    EXPECT_EQ(readFile(pmt), "Pelmora - Version 4.0\r\n");
}

TEST_F(UnsavedChangesTest, SaveAsAsksAboutTheNameWithItsExtensionAndRenamesOnlyAfterWriting) {
    const std::string backup = dir_.writeText("backup.PMB", "precious");
    path_ = dir_.file("backup"); // ".PMB" is appended: the dialog asked about "backup"
    reply_ = IDNO;
    run(CMD_SAVE_AS);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "\"backup.PMB\" already exists.\nDo you want to replace it?");
    EXPECT_EQ(messages()[0].title, "Save Pelmora Body...");
    EXPECT_EQ(messages()[0].flags, unsigned{MB_YESNO | MB_ICONWARNING});
    EXPECT_EQ(readFile(backup), "precious");
    EXPECT_EQ(app_->document().documentName, "default");
    EXPECT_EQ(app_->settings.recentFiles[0], "");

    reply_ = IDYES;
    run(CMD_SAVE_AS);
    EXPECT_EQ(messages().size(), 2u);
    VAROINFO reread;
    ASSERT_EQ(loadLabelFile(backup, reread).status, LabelFileStatus::Loaded);
    EXPECT_EQ(reread.entries.size(), 2u);
    EXPECT_EQ(title().rfind("backup - Pelmora", 0), 0u) << title();
    path_ = backup; // the name as typed: the dialog asked, the program does not ask again
    run(CMD_SAVE_AS);
    EXPECT_EQ(messages().size(), 2u);

    // A folder that does not exist: the system's reason, and nothing renamed.
    const std::string folder = app_->settings.labelPath;
    const auto recent = app_->settings.recentFiles;
    path_ = dir_.file("no/such/folder/other");
    edit();
    run(CMD_SAVE_AS);
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[2].title, "Disk Error");
    EXPECT_EQ(messages()[2].text.rfind("Error Saving Body", 0), 0u);
    EXPECT_NE(messages()[2].text.find("No such file or directory"), std::string::npos)
        << messages()[2].text;
    EXPECT_EQ(title().rfind("backup* - Pelmora", 0), 0u) << title();
    EXPECT_EQ(app_->settings.labelPath, folder);
    EXPECT_EQ(app_->settings.recentFiles, recent);
    // Save still writes where the label lives, without a dialog.
    const int saveDialogs = asked(ui::ModalKind::SaveFile);
    run(CMD_SAVE);
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), saveDialogs);
    ASSERT_EQ(loadLabelFile(backup, reread).status, LabelFileStatus::Loaded);
    EXPECT_EQ(reread.showSize, app_->currentLabel().showSize);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("no")));
}

TEST_F(UnsavedChangesTest, EachLabelKeepsItsChangesAndItsFile) {
    setView(FOUR_LABELS, 1);
    path_ = saved_;
    run(CMD_OPEN); // label 1 comes from saved.PMB
    edit();
    window_->setCurrentLabel(1, 1);
    EXPECT_EQ(title().rfind("default - Pelmora - Label 2", 0), 0u) << title();
    std::strcpy(app_->currentLabel().volumeName, "SECOND");
    run(CMD_DUPLICATE_FORMAT); // labels 3 and 4 hold nothing: only a copied format

    // New throws away label 2 only, so it asks about label 2 only, in the one-label words.
    requests_.clear();
    choice_ = kCancel;
    run(CMD_NEW);
    ASSERT_EQ(asked(ui::ModalKind::Message, true), 1);
    EXPECT_EQ(requests_[0].text, "Save changes to default?");
    EXPECT_STREQ(app_->currentLabel().volumeName, "SECOND");

    // Exit would lose both: the question names them.
    requests_.clear();
    EXPECT_FALSE(window_->close());
    ASSERT_EQ(asked(ui::ModalKind::Message, true), 1);
    EXPECT_EQ(requests_[0].text, "Save changes to 2 labels?\n\nLabel 1: saved\nLabel 2: default");

    // Ctrl+S on label 2 never writes label 1's file.
    const std::string before = readFile(saved_);
    path_.clear();
    pressCtrlS();
    EXPECT_EQ(readFile(saved_), before);

    // "&Save" writes each label to its own file, asking for a name where there is none.
    requests_.clear();
    choice_ = kSave;
    path_ = dir_.file("second");
    const int firstShown = app_->labels.labels[0].showSize;
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(asked(ui::ModalKind::SaveFile), 1) << "label 1 has its file, label 2 has none";
    VAROINFO first, second;
    ASSERT_EQ(loadLabelFile(saved_, first).status, LabelFileStatus::Loaded);
    ASSERT_EQ(loadLabelFile(dir_.file("second.PMB"), second).status, LabelFileStatus::Loaded);
    EXPECT_EQ(first.showSize, firstShown);
    EXPECT_EQ(first.entries.size(), 2u);
    EXPECT_STREQ(second.volumeName, "SECOND");
    EXPECT_TRUE(second.entries.empty());
}

TEST_F(UnsavedChangesTest, WriteTemplateFileSaysWhyItCouldNotWrite) {
    const std::string disk = dir_.makeDir("disk");
    DriveMapping drive('C', disk);
    run(CMD_WRITE_TEMPLATE);
    EXPECT_TRUE(messages().empty());
    const std::string written = readFile(disk + "/Pelmora.PMT");
    EXPECT_EQ(written, encodeTemplate(app_->currentLabel()));

    // A "disk" below a regular file, and (where permissions hold) a read-only one.
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir_.writeText("plain", "x") + "/disk", "Not a directory"}};
    if (geteuid() != 0) {
        chmod(disk.c_str(), 0555);
        cases.push_back({disk, "Permission denied"});
    }
    for (const auto& [folder, reason] : cases) {
        SCOPED_TRACE(folder);
        requests_.clear();
        DriveMapping unwritable('C', folder);
        edit();
        run(CMD_WRITE_TEMPLATE);
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].title, "Template Error");
        EXPECT_EQ(messages()[0].flags & MB_ICONERROR, unsigned{MB_ICONERROR});
        EXPECT_NE(messages()[0].text.find(folder + "/Pelmora.PMT"), std::string::npos);
        EXPECT_NE(messages()[0].text.find(reason), std::string::npos) << messages()[0].text;
    }
    chmod(disk.c_str(), 0755);
    EXPECT_EQ(readFile(disk + "/Pelmora.PMT"), written) << "the old template stays";
}

} // namespace
} // namespace pelmora::test
