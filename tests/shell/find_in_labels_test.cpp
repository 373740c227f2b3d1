// The label library from the window: Open, Save and Save As keep it current, and Find in
// Labels adds a folder, finds a name and opens its label at the page that lists it.

#include "library/library.h"
#include "resources/command_ids.h"
#include "shell/find_dialog.h"
#include "shell_fixture.h"
#include "storage/label_file.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

namespace pelmora::test {
namespace {

constexpr int kDiscard = 1;

class FindInLabelsTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        if (const char* previous = std::getenv("PELMORA_LIBRARY")) {
            previousLibrary_ = previous;
        }
        ::setenv("PELMORA_LIBRARY", libraryPath_.c_str(), 1);
        writeIni("[vexo]\nDrive=67\n");
        start();
    }
    void TearDown() override {
        if (previousLibrary_) {
            ::setenv("PELMORA_LIBRARY", previousLibrary_->c_str(), 1);
        } else {
            ::unsetenv("PELMORA_LIBRARY");
        }
        ShellFixture::TearDown();
    }

    void run(int id) {
        window_->sendCommand(id);
        processEvents();
    }
    static void addEntry(VAROINFO& label, const char* name, std::uint64_t size) {
        FileEntry entry;
        std::strcpy(entry.name, name);
        std::snprintf(entry.sizeText, sizeof entry.sizeText, "%llu",
                      static_cast<unsigned long long>(size));
        entry.size = size;
        label.entries.push_back(entry);
    }
    // Label files in the library, and where a name is found.
    std::set<std::string> labelsInLibrary() {
        library::Library lib;
        std::set<std::string> paths;
        if (lib.open(libraryPath_, true) == library::OpenResult::Opened) {
            for (const auto& record : lib.labels()) {
                paths.insert(record.path);
            }
        }
        return paths;
    }
    std::set<std::string> labelsHolding(const std::string& pattern) {
        library::Library lib;
        std::set<std::string> paths;
        if (lib.open(libraryPath_, true) == library::OpenResult::Opened) {
            for (const auto& hit : lib.find({.pattern = pattern})) {
                paths.insert(hit.labelPath);
            }
        }
        return paths;
    }

    std::string libraryPath_ = dir_.file("library/library.sqlite");
    std::optional<std::string> previousLibrary_;
    std::string path_; // what the file dialogs answer
};

TEST_F(FindInLabelsTest, OpenRecentSaveAndSaveAsKeepTheLibraryCurrent) {
    answer_ = [this](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind == ui::ModalKind::OpenFile || request.kind == ui::ModalKind::SaveFile) {
            return ui::ModalAnswer{1, path_};
        }
        return std::nullopt;
    };
    addEntry(app_->currentLabel(), "QUARTERLY.XLS", 1234);
    path_ = dir_.file("first.PMB");
    run(CMD_SAVE_AS);
    EXPECT_EQ(labelsHolding("quarterly"), (std::set<std::string>{path_}));

    // An edit saved in place is found; what it replaced is not.
    std::strcpy(app_->currentLabel().entries[0].name, "ANNUAL.XLS");
    run(CMD_SAVE);
    EXPECT_TRUE(labelsHolding("quarterly").empty());
    EXPECT_EQ(labelsHolding("annual"), (std::set<std::string>{path_}));

    // A label file written elsewhere joins the library when it is opened.
    VAROINFO other;
    resetFormat(other);
    std::strcpy(other.volumeName, "OTHER");
    addEntry(other, "Holiday.mov", 99);
    const std::string otherPath = dir_.file("elsewhere/other.pmb");
    std::filesystem::create_directories(dir_.file("elsewhere"));
    ASSERT_TRUE(saveLabelFile(otherPath, other));
    path_ = otherPath;
    run(CMD_OPEN);
    EXPECT_EQ(labelsInLibrary(), (std::set<std::string>{dir_.file("first.PMB"), otherPath}));
    EXPECT_EQ(labelsHolding("holiday"), (std::set<std::string>{otherPath}));

    // So does one reopened from the recent files after it changed on disk.
    std::strcpy(other.entries[0].name, "Wedding.mov");
    ASSERT_TRUE(saveLabelFile(otherPath, other));
    run(CMD_RECENT_1);
    EXPECT_EQ(labelsHolding("wedding"), (std::set<std::string>{otherPath}));
    EXPECT_TRUE(labelsHolding("holiday").empty());
}

TEST_F(FindInLabelsTest, TheDialogAddsAFolderAndOpensAHitsLabelAtItsPage) {
    // A long list on a quad-length label: the last name is on the last face.
    VAROINFO disk;
    resetFormat(disk);
    std::strcpy(disk.volumeName, "ARCHIVE7");
    for (int i = 0; i < 600; ++i) {
        addEntry(disk, ("file" + std::to_string(1000 + i) + ".dat").c_str(), 10);
    }
    addEntry(disk, "zz-wanted.iso", 4700000);
    std::filesystem::create_directories(dir_.file("labels/deep"));
    ASSERT_TRUE(saveLabelFile(dir_.file("labels/deep/archive7.PMB"), disk));
    dir_.writeText("labels/readme.pmb", "not a label\n");

    setView(QUAD_LABEL, 1);
    addEntry(app_->currentLabel(), "UNSAVED.TXT", 1);
    run(CMD_SHOW_SIZES); // an edit: opening another label asks first

    std::string progress, count;
    int rows = 0;
    int questions = 0;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (!request.buttons.empty()) {
            ++questions;
            return ui::ModalAnswer{kDiscard, {}};
        }
        if (request.kind == ui::ModalKind::OpenFile && request.title == "Add Folder") {
            return ui::ModalAnswer{1, dir_.file("labels")};
        }
        auto* dialog = dynamic_cast<FindDialog*>(request.dialog);
        if (request.kind != ui::ModalKind::Dialog || !dialog) {
            return std::nullopt;
        }
        dialog->findChild<QPushButton*>("addFolderButton")->click();
        dialog->waitForAdding();
        progress = dialog->findChild<QLabel*>("progressLine")->text().toStdString();
        dialog->findChild<QLineEdit*>("findEdit")->setText("WANTED");
        dialog->waitForResults();
        count = dialog->findChild<QLabel*>("hitCount")->text().toStdString();
        rows = dialog->findChild<QTableWidget*>("resultTable")->rowCount();
        return ui::ModalAnswer{QDialog::Accepted, {}};
    };
    run(CMD_FIND_IN_LABELS);

    EXPECT_EQ(progress, "1 label files added, 1 skipped");
    EXPECT_EQ(count, "1 hit");
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(questions, 1);
    EXPECT_STREQ(app_->currentLabel().volumeName, "ARCHIVE7");
    EXPECT_EQ(app_->document().currentFilePath, dir_.file("labels/deep/archive7.PMB"));
    EXPECT_EQ(app_->view.position, 4);
    EXPECT_NE(window_->windowTitle().toStdString().find("archive7"), std::string::npos);
    EXPECT_NE(app_->settings.position(WindowName::Find).x, 0) << "FindWindow remembered";

    // Cancelled, the dialog opens nothing and asks nothing.
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind == ui::ModalKind::Dialog) {
            return ui::ModalAnswer{QDialog::Rejected, {}};
        }
        return std::nullopt;
    };
    setView(QUAD_LABEL, 1, 0, 1);
    run(CMD_FIND_IN_LABELS);
    EXPECT_EQ(app_->view.position, 1);
}

} // namespace
} // namespace pelmora::test
