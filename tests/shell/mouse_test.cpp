#include "render/geometry.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "shell/commands.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace pelmora::test {
namespace {

class MouseTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=67\n");
        start();
    }
    QPoint onFace(int index, int position, int x, int y) {
        return faceToWindow(index, position, POINT{x, y});
    }
};

TEST_F(MouseTest, ClickingBesideTheZoomedFaceTurnsThePage) {
    setView(QUAD_LABEL, 1, 0, 1);
    click(onFace(0, 1, 380, -100));
    EXPECT_EQ(app_->view.position, 2); // page 1 always goes up
    click(onFace(0, 2, 380, 10));      // above the middle: up
    EXPECT_EQ(app_->view.position, 3);
    click(onFace(0, 3, 380, -340)); // below it: down
    EXPECT_EQ(app_->view.position, 2);
    click(onFace(0, 2, 100, -100)); // on the body: no page turn
    EXPECT_EQ(app_->view.position, 2);

    setView(TWO_FOLD_OUT, 1, 1, 1);
    click(onFace(1, 1, 380, -100));
    EXPECT_EQ(app_->view.position, 2);
    click(onFace(1, 2, -15, -100));
    EXPECT_EQ(app_->view.position, 1);
    EXPECT_EQ(app_->labels.currentLabelIndex, 1);

    // One label and the overviews have no pages to turn.
    setView(FOUR_LABELS, 1, 2, 1);
    click(onFace(2, 1, 380, -100));
    EXPECT_EQ(app_->view.position, 1);
    EXPECT_EQ(app_->labels.currentLabelIndex, 2);
}

TEST_F(MouseTest, TheOverviewResolvesLabelAndPageUnderThePointer) {
    setView(FOUR_LABELS, 0, 0, 1);
    for (int label : {3, 1, 2, 0}) {
        click(onFace(label, 1, 178, -215));
        EXPECT_EQ(app_->labels.currentLabelIndex, label);
        EXPECT_EQ(app_->view.position, 1);
    }
    setView(QUAD_LABEL, 0, 0, 1);
    for (int page : {3, 2, 4, 1}) {
        click(onFace(0, page, 178, -175));
        EXPECT_EQ(app_->view.position, page);
        EXPECT_EQ(app_->labels.currentLabelIndex, 0);
    }
    for (LabelFormat format : {TWO_FOLD_AROUND, TWO_FOLD_OUT}) {
        setView(format, 0, 0, 1);
        for (auto [label, page] : {std::pair{1, 2}, {0, 1}, {1, 1}, {0, 2}}) {
            click(onFace(label, page, 178, -175));
            EXPECT_EQ(app_->labels.currentLabelIndex, label) << format;
            EXPECT_EQ(app_->view.position, page) << format;
            click(onFace(label, page == 1 ? 2 : 1, 178, -175), Qt::RightButton);
            EXPECT_EQ(app_->view.position, page == 1 ? 2 : 1) << format << " right button";
        }
    }
}

TEST_F(MouseTest, ClickAndReleaseWithoutMovingOnlyRefreshesTheOutline) {
    setView(ONE_LABEL, 1);
    PlacedObject& object = placeObject(OBJECT_IMAGE, {50, -50, 150, -150});
    const int before = window_->labelAreaInvalidations();
    click(onFace(0, 1, 100, -100));
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_IMAGE);
    EXPECT_EQ(app_->shell.drag.mode, DRAG_NONE);
    EXPECT_EQ(object.left, 50);
    EXPECT_EQ(object.top, -50);
    EXPECT_EQ(object.right, 150);
    EXPECT_EQ(object.bottom, -150);
    EXPECT_EQ(window_->labelAreaInvalidations(), before);
    EXPECT_EQ(window_->statusText(), "Position: 0.50\", 0.50\"     Size: 1.00\" x 1.00\"");

    click(onFace(0, 1, 300, -300)); // empty body: selection dropped
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_NONE);
    EXPECT_EQ(window_->statusText(), "Ready");
}

TEST_F(MouseTest, MovingAnObjectWiderThanTheFacePinsItsRightEdge) {
    setView(ONE_LABEL, 1);
    PlacedObject& object = placeObject(OBJECT_IMAGE, {0, -10, 500, -100});
    drag(onFace(0, 1, 100, -50), onFace(0, 1, 150, -60));
    EXPECT_EQ(object.right, kFaceWidth);
    EXPECT_EQ(object.left, kFaceWidth - 500);
    EXPECT_NEAR(object.top, -20, 2);
    EXPECT_EQ(object.top - object.bottom, 90);
    EXPECT_EQ(app_->shell.drag.mode, DRAG_NONE);

    // Dragged far up-left, it stays on the face's top edge.
    drag(onFace(0, 1, 20, -50), onFace(0, 1, -200, 200));
    EXPECT_EQ(object.top, 0);
}

TEST_F(MouseTest, ResizingKeepsTenUnits) {
    setView(ONE_LABEL, 1);
    PlacedObject& object = placeObject(OBJECT_IMAGE, {100, -100, 200, -200});
    drag(onFace(0, 1, 197, -197), onFace(0, 1, 20, -20));
    EXPECT_EQ(object.left, 100);
    EXPECT_EQ(object.top, -100);
    EXPECT_EQ(object.right, 110);
    EXPECT_EQ(object.bottom, -110);
    EXPECT_EQ(window_->statusText(), "Position: 1.00\", 1.00\"     Size: 0.10\" x 0.10\"");
}

TEST_F(MouseTest, ShiftMovesEvenFromAHandle) {
    setView(ONE_LABEL, 1);
    PlacedObject& object = placeObject(OBJECT_IMAGE, {100, -100, 200, -200});
    drag(onFace(0, 1, 197, -197), onFace(0, 1, 227, -197), Qt::ShiftModifier);
    EXPECT_EQ(object.right - object.left, 100);
    EXPECT_NEAR(object.left, 130, 2);
}

TEST_F(MouseTest, RightClickPicksThePopupByPlace) {
    setView(QUAD_LABEL, 1, 0, 1);
    click(onFace(0, 1, 100, -100), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupBody);
    click(onFace(0, 1, 100, -378), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupSpine);
    click(onFace(0, 1, 380, -100), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupFourPages);

    setView(TWO_FOLD_AROUND, 1, 0, 2);
    click(onFace(0, 2, 380, -100), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupTwoPages);
    click(onFace(0, 2, 100, -360), Qt::RightButton); // below the body, no spine on page 2
    EXPECT_EQ(window_->lastPopup(), kPopupTwoPages);
    click(onFace(0, 2, 100, -340), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupBody);

    setView(FOUR_LABELS, 1, 0, 1);
    click(onFace(0, 1, 380, -100), Qt::RightButton); // no pages: the body's popup
    EXPECT_EQ(window_->lastPopup(), kPopupBody);

    placeObject(OBJECT_STRING, {20, -20, 120, -80});
    placeObject(OBJECT_IMAGE, {200, -20, 300, -80});
    click(onFace(0, 1, 60, -50), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupString);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_STRING);
    click(onFace(0, 1, 250, -50), Qt::RightButton);
    EXPECT_EQ(window_->lastPopup(), kPopupImage);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_IMAGE);
}

// The press shows the popup; the context-menu event the system sends after it must not add
// a second menu (the main window's toolbar menu) whose one item hides the toolbar.
TEST_F(MouseTest, ARightClickShowsOnePopupAndLeavesTheToolbarWorking) {
    window_->setPopupsShown(true);
    window_->show();
    processEvents();
    setView(QUAD_LABEL, 1, 0, 1);
    auto shownMenus = [] {
        std::vector<QMenu*> menus;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible()) {
                menus.push_back(menu);
            }
        }
        return menus;
    };
    auto countItems = [](const MenuItem& menu) {
        return static_cast<qsizetype>(menu.children.size());
    };
    const struct {
        QPoint where;
        int resource;
    } cases[] = {{onFace(0, 1, 100, -100), kPopupBody},
                 {onFace(0, 1, 100, -378), kPopupSpine},
                 {onFace(0, 1, 380, -100), kPopupFourPages}};
    for (const auto& c : cases) {
        QTest::mousePress(window_.get(), Qt::RightButton, Qt::NoModifier, c.where);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, c.where,
                                    window_->mapToGlobal(c.where));
        QCoreApplication::sendEvent(window_.get(), &menuEvent);
        processEvents();
        std::vector<QMenu*> menus = shownMenus();
        ASSERT_EQ(menus.size(), 1u) << c.resource;
        EXPECT_EQ(menus[0], window_->popup(c.resource));
        EXPECT_EQ(menus[0]->actions().size(), countItems(popupMenu(c.resource)));
        EXPECT_FALSE(menus[0]->actions().front()->text().isEmpty());
        menus[0]->close();
        processEvents();
        EXPECT_TRUE(shownMenus().empty());
    }

    // The toolbar is still there and its buttons still work.
    QToolBar* toolBar = window_->toolBarWidget();
    ASSERT_TRUE(toolBar->isVisible());
    EXPECT_GT(toolBar->height(), 0);
    QAction* sizes = nullptr;
    for (QAction* action : toolBar->actions()) {
        if (action->toolTip() == QStringLiteral("Display File Sizes")) {
            sizes = action;
        }
    }
    ASSERT_NE(sizes, nullptr);
    auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(sizes));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    const int before = app_->currentLabel().showSize;
    QTest::mouseClick(button, Qt::LeftButton);
    processEvents();
    EXPECT_NE(app_->currentLabel().showSize, before);
}

TEST_F(MouseTest, RightClickIsIgnoredWhileDragging) {
    setView(ONE_LABEL, 1);
    placeObject(OBJECT_IMAGE, {50, -50, 150, -150});
    QTest::mousePress(window_.get(), Qt::LeftButton, Qt::NoModifier, onFace(0, 1, 100, -100));
    ASSERT_EQ(app_->shell.drag.mode, DRAG_MOVE);
    QTest::mousePress(window_.get(), Qt::RightButton, Qt::NoModifier, onFace(0, 1, 300, -300));
    EXPECT_EQ(window_->lastPopup(), 0);
    QTest::mouseRelease(window_.get(), Qt::LeftButton, Qt::NoModifier, onFace(0, 1, 100, -100));
    EXPECT_EQ(app_->shell.drag.mode, DRAG_NONE);
}

// Double-clicks: the body reads the disk, the comment line above the body's bottom edge edits
// the comment, the spine (or Shift anywhere) edits the spine text, a string edits its text.
TEST_F(MouseTest, DoubleClicksReadTheDiskOrEditTheCommentSpineOrString) {
    TempDir disk;
    DriveMapping mapping('C', disk.path());
    std::vector<int> ran;
    CommandObserver previous = setCommandObserver([&ran](int id) { ran.push_back(id); });
    auto doubleClick = [&](QPoint where, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ran.clear();
        QTest::mouseDClick(window_.get(), Qt::LeftButton, modifiers, where);
        processEvents();
        return ran.empty() ? 0 : ran.back();
    };

    setView(ONE_LABEL, 1);
    VAROINFO& label = app_->currentLabel();
    label.showComment = 1;
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -150)), CMD_READ_DISK);
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -355)), CMD_EDIT_COMMENT);
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -378)), CMD_EDIT_SPINE_TEXT);
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -150), Qt::ShiftModifier), CMD_EDIT_SPINE_TEXT);
    label.showComment = 0;
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -355)), CMD_READ_DISK) << "no comment line shown";

    placeObject(OBJECT_STRING, {20, -20, 120, -80});
    click(onFace(0, 1, 60, -50)); // the first press of a double-click selects the string
    EXPECT_EQ(doubleClick(onFace(0, 1, 60, -50)), CMD_MODIFY_TEXT);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_STRING);
    label.objects.clear();
    app_->shell.selectedKind = SELECTED_NONE;

    // The half-size overview: the same places at half size, on the face under the pointer.
    setView(QUAD_LABEL, 0, 0, 1);
    label.showComment = 1;
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -150)), CMD_READ_DISK);
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -355)), CMD_EDIT_COMMENT);
    EXPECT_EQ(doubleClick(onFace(0, 1, 178, -378)), CMD_EDIT_SPINE_TEXT);
    // Beside the zoomed face of a paged format: nothing.
    setView(QUAD_LABEL, 1, 0, 2);
    EXPECT_EQ(doubleClick(onFace(0, 2, 380, -100)), 0);
    setCommandObserver(previous);
}

} // namespace
} // namespace pelmora::test
