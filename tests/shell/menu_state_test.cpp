#include "resources/command_ids.h"
#include "resources/menus.h"
#include "shell_fixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>

namespace pelmora::test {
namespace {

class MenuStateTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=67\n");
        start();
    }
    QMenu* barMenu(int position) { return window_->menuBar()->actions().at(position)->menu(); }
};

TEST_F(MenuStateTest, ZoomIsGrayedButShownPressedForOneLabel) {
    setView(ONE_LABEL, 1);
    window_->updateMenuState();
    EXPECT_FALSE(window_->commandAction(CMD_ZOOM)->isEnabled());
    QList<QAction*> tools = window_->toolBarWidget()->actions();
    auto zoom = std::find_if(tools.begin(), tools.end(),
                             [](QAction* a) { return a->toolTip().startsWith("Zoom In/Out"); });
    ASSERT_NE(zoom, tools.end());
    EXPECT_FALSE((*zoom)->isEnabled());
    EXPECT_TRUE((*zoom)->isChecked());
    EXPECT_EQ((*zoom)->toolTip().toStdString(), "Zoom In/Out (disabled when only one label)");

    setView(FOUR_LABELS, 0);
    window_->updateMenuState();
    EXPECT_TRUE(window_->commandAction(CMD_ZOOM)->isEnabled());
    EXPECT_FALSE(window_->commandAction(CMD_ZOOM)->isChecked());
    EXPECT_TRUE((*zoom)->isEnabled());
    EXPECT_FALSE((*zoom)->isChecked());
    EXPECT_TRUE(window_->commandAction(CMD_FORMAT_FOUR)->isChecked());
    EXPECT_FALSE(window_->commandAction(CMD_FORMAT_ONE)->isChecked());
}

TEST_F(MenuStateTest, ObjectMenusAreGrayedWithoutASelectionExceptInsert) {
    for (int position : {3, 4}) {
        QList<QAction*> items = barMenu(position)->actions();
        EXPECT_TRUE(items[0]->isEnabled());
        for (qsizetype i = 1; i < items.size(); ++i) {
            EXPECT_FALSE(items[i]->isEnabled()) << items[i]->text().toStdString();
        }
    }
    placeObject(OBJECT_STRING, {10, -10, 100, -60}).layer = LAYER_BELOW;
    app_->currentLabel().objects[0].orientation = 180;
    app_->shell.selectedKind = SELECTED_STRING;
    window_->updateMenuState();
    EXPECT_FALSE(barMenu(3)->actions().at(2)->isEnabled());
    EXPECT_TRUE(barMenu(4)->actions().at(2)->isEnabled());
    QAction* below = nullptr;
    for (QAction* a : barMenu(4)->actions()) {
        if (a->text() == "&Below Label") {
            below = a;
        }
    }
    ASSERT_NE(below, nullptr);
    EXPECT_TRUE(below->isChecked());
    EXPECT_TRUE(window_->commandAction(CMD_ORIENTATION_180)->isChecked());
    EXPECT_FALSE(window_->commandAction(CMD_ORIENTATION_0)->isChecked());
}

TEST_F(MenuStateTest, BodyChecksFollowTheCurrentLabel) {
    VAROINFO& label = app_->currentLabel();
    label.columns = 5;
    label.sortMode = 3;
    label.direction = -1;
    label.showExt = 0;
    window_->updateMenuState();
    EXPECT_TRUE(window_->commandAction(CMD_COLUMNS_5)->isChecked());
    EXPECT_FALSE(window_->commandAction(CMD_COLUMNS_2)->isChecked());
    EXPECT_TRUE(window_->commandAction(CMD_SORT_SIZE)->isChecked());
    EXPECT_TRUE(window_->commandAction(CMD_SORT_DESCENDING)->isChecked());
    EXPECT_FALSE(window_->commandAction(CMD_SHOW_EXTENSIONS)->isChecked());
    // The body popup shows the same.
    QMenu* popup = window_->popup(kPopupBody);
    ASSERT_NE(popup, nullptr);
    bool found = false;
    for (QAction* a : popup->findChildren<QAction*>()) {
        if (a->text().startsWith("&Size")) {
            EXPECT_TRUE(a->isChecked());
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(MenuStateTest, RecentItemsShowFileNamesOrNone) {
    app_->settings.recentFiles[0] = "/home/user/labels/disk one.PMB";
    app_->settings.recentFiles[1] = "loose.PMB";
    app_->settings.recentFiles[3] = "/tmp/Tom & Jerry.PMB";
    window_->rebuildRecentMenu();
    // The '&' shows as itself rather than underlining the next letter.
    EXPECT_EQ(window_->commandAction(CMD_RECENT_4)->text().toStdString(), "Tom && Jerry.PMB");
    EXPECT_EQ(window_->commandAction(CMD_RECENT_1)->text().toStdString(), "disk one.PMB");
    EXPECT_EQ(window_->commandAction(CMD_RECENT_2)->text().toStdString(), "loose.PMB");
    EXPECT_EQ(window_->commandAction(CMD_RECENT_3)->text().toStdString(), "(None)");
}

TEST_F(MenuStateTest, HighlightedItemsShowTheirHintInTheStatusBar) {
    window_->commandAction(CMD_SELECT_DRIVE)->hover();
    EXPECT_EQ(window_->statusText(), "Choose the drive letter you wish to catalog");
    window_->commandAction(CMD_PAGE_TWO)->hover();
    EXPECT_EQ(window_->statusText(), "");
}

} // namespace
} // namespace pelmora::test
