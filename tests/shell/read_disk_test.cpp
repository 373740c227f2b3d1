#include "catalog/archive_reader.h"
#include "catalog/read_disk.h"
#include "render/file_list.h"
#include "resources/command_ids.h"
#include "shell/scan_wait.h"
#include "shell_fixture.h"
#include "tests/catalog/zip_builder.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace pelmora::test {
namespace {

class ReadDiskTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=75\n");
        start();
        app_->catalog.driveLetter = 'K';
        app_->catalog.scanLevels = kAllLevels;
    }

    TempDir disk_;
    DriveMapping mapping_{'K', disk_.path()};
};

// Reading an empty disk releases the old catalog while "No files found" is up; the window
// repaints from inside the message, and must lay out the new (empty) catalog, never the old.
TEST_F(ReadDiskTest, PaintDuringTheEmptyDiskMessageUsesNoReleasedEntries) {
    for (int i = 0; i < 40; ++i) {
        disk_.writeFile("Folder/file" + std::to_string(i) + ".txt", 10);
    }
    window_->sendCommand(CMD_READ_DISK);
    VAROINFO& label = app_->currentLabel();
    ASSERT_EQ(label.entryCount(), 1);
    EXPECT_TRUE(app_->document().changed) << "a freshly read disk is unsaved work";
    window_->renderLabelArea(); // display lines now point into the catalog
    ASSERT_GT(label.lineCount, 1);

    std::filesystem::remove_all(disk_.file("Folder"));
    std::int32_t linesWhilePainting = -1;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.title == "Disk Warning") {
            window_->renderLabelArea();
            linesWhilePainting = label.lineCount;
        }
        ui::ModalAnswer ok;
        ok.result = IDOK;
        return ok;
    };
    window_->sendCommand(CMD_READ_DISK);
    EXPECT_EQ(linesWhilePainting, 0);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].text, "Warning:  No files found on disk \"K:\\\"");
}

// While a disk is read the window holds back input: Esc cancels the read, other keys and
// commands wait, and the commands sent meanwhile run once the read is over.
TEST_F(ReadDiskTest, EscCancelsAndCommandsWaitForTheRead) {
    ScanProgress progress;
    QCoreApplication::postEvent(window_.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(window_.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
    const int positionBefore = app_->view.position;
    bool sentDuringRead = true;
    waitForScan(*window_, 'K', progress, [&] {
        if (progress.cancel) {
            // What a command sent during the read does: nothing yet.
            sentDuringRead = window_->sendCommand(CMD_FORMAT_QUAD);
            return true;
        }
        return false;
    });
    EXPECT_TRUE(progress.cancel);
    EXPECT_FALSE(sentDuringRead);
    EXPECT_EQ(app_->view.position, positionBefore);
    EXPECT_NE(app_->view.format, QUAD_LABEL);
    processEvents();
    EXPECT_EQ(app_->view.format, QUAD_LABEL);
}

// An archive past the member cap says in the status bar how many members the label leaves out.
TEST_F(ReadDiskTest, StatusBarCountsArchiveMembersLeftOut) {
    std::vector<ZipMember> members;
    for (int i = 0; i < 7; ++i) {
        members.push_back({"m" + std::to_string(i) + ".txt", false, 1});
    }
    disk_.writeText("many.zip", zipBytes(members));
    app_->catalog.scanArchives = 1;
    const std::uint64_t defaultCap = replaceArchiveMemberCap(4);
    window_->sendCommand(CMD_READ_DISK);
    replaceArchiveMemberCap(defaultCap);
    EXPECT_EQ(window_->statusText(),
              "3 archive members left out (an archive lists at most 1,000,000)");
    EXPECT_EQ(app_->currentLabel().entries[0].child->entryCount(), 4);
}

// Folders that cannot be read are counted in the status bar; the rest of the disk is read.
TEST_F(ReadDiskTest, StatusBarCountsUnreadableFolders) {
    disk_.writeFile("Open/a.txt", 1);
    disk_.writeFile("Shut/b.txt", 1);
    for (const char* readable : {"", "Open", "Open/a.txt"}) {
        chmod(disk_.file(readable).c_str(), 0755);
    }
    chmod(disk_.file("Shut").c_str(), 0);
    const std::string result = runUnprivileged([&] {
        window_->sendCommand(CMD_READ_DISK);
        return window_->statusText() + "|" + std::to_string(app_->currentLabel().entryCount());
    });
    chmod(disk_.file("Shut").c_str(), 0755);
    EXPECT_EQ(result, "1 folder could not be read (listed without contents)|2");
}

} // namespace
} // namespace pelmora::test
