// Unsaved changes: the "*" in the title, the question before edits are thrown away and Save
// from that question, with real label files in a temporary folder.

#include "resources/command_ids.h"
#include "shell_fixture.h"
#include "storage/label_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

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
                return std::nullopt;
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

    std::string saved_ = dir_.file("saved.PMB");
    int choice_ = kCancel;
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
    for (int id : {CMD_EDIT_COMMENT, CMD_FONTS_AND_COLORS, CMD_BODY_BACK_COLOR, CMD_EDIT_SPINE_TEXT,
                   CMD_SPINE_FONT, CMD_SPINE_COLOR, CMD_INSERT_IMAGE, CMD_EDIT_FILES}) {
        run(id);
        EXPECT_FALSE(app_->document.changed) << id;
        EXPECT_EQ(title(), opened) << id;
    }
    edit();
    EXPECT_EQ(title().rfind("saved* - Pelmora", 0), 0u) << title();

    // New and Clear All Labels: the question first, then a new document without "*".
    choice_ = kDiscard;
    for (int id : {CMD_CLEAR_ALL_LABELS, CMD_NEW}) {
        run(id);
        EXPECT_EQ(title().rfind("default - Pelmora", 0), 0u) << id << " " << title();
        EXPECT_TRUE(app_->document.currentFilePath.empty()) << id;
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
    EXPECT_EQ(app_->document.documentName, "default");
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
        EXPECT_EQ(requests_[0].text, "Save changes to " + app_->document.documentName + "?");
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
            EXPECT_FALSE(app_->document.changed) << "a loaded label has no changes";
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
    EXPECT_TRUE(app_->document.changed);

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

} // namespace
} // namespace pelmora::test
