// The Drive Selection dialog on real folders mapped to letters, answered through the modal
// layer.

#include "catalog/dialogs/drive_dialog.h"
#include "platform/ui/dialogs.h"
#include "tests/support/test_support.h"

#include <QComboBox>
#include <QDialog>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

TEST(DriveSelectionTest, LinesShowTheFoldersAndTheCurrentDriveIsPreselected) {
    test::TempDir dir;
    const std::string usb = dir.makeDir("usb0");
    const std::string backup = dir.makeDir("My Backup");
    test::DriveMapping b('B', usb);
    test::DriveMapping d('D', backup);
    CatalogSettings catalog;
    catalog.driveLetter = 'D';
    POINT position{0, 0};

    std::vector<std::string> lines;
    std::string preselected;
    int pick = -1; // the line chosen before OK
    ui::DialogAnswerer previous = ui::setDialogAnswerer([&](const ui::ModalRequest& request) {
        auto* box = request.dialog->findChild<QComboBox*>("driveList");
        lines.clear();
        for (int i = 0; i < box->count(); ++i) {
            lines.push_back(box->itemText(i).toStdString());
        }
        preselected = box->currentText().toStdString();
        if (pick >= 0) {
            box->setCurrentIndex(pick);
        }
        ui::ModalAnswer answer;
        answer.result = QDialog::Accepted;
        return std::optional<ui::ModalAnswer>(answer);
    });

    EXPECT_EQ(SelectDrive(nullptr, catalog, position), 1);
    ASSERT_GE(lines.size(), 3u);
    const std::vector<std::string> mapped = {"B:\\  " + usb, "D:\\  " + backup};
    EXPECT_NE(std::find(lines.begin(), lines.end(), mapped[0]), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), mapped[1]), lines.end());
    EXPECT_EQ(lines.back(), "Z:\\  /");
    EXPECT_EQ(preselected, mapped[1]);
    EXPECT_EQ(catalog.driveLetter, 'D') << "OK on the preselected line keeps the drive";

    pick = static_cast<int>(std::find(lines.begin(), lines.end(), mapped[0]) - lines.begin());
    EXPECT_EQ(SelectDrive(nullptr, catalog, position), 1);
    EXPECT_EQ(catalog.driveLetter, 'B') << "the letter of the line picked";
    ui::setDialogAnswerer(previous);
}

} // namespace
} // namespace pelmora
