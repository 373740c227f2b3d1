#include "resources/command_ids.h"
#include "shell/view.h"
#include "shell_fixture.h"

#include <QTest>

namespace pelmora::test {
namespace {

struct Move {
    LabelFormat format;
    int zoomed;
    int index, position; // before
    int command;
    int toIndex, toPosition; // after
};

constexpr int R = CMD_MOVE_RIGHT, L = CMD_MOVE_LEFT, U = CMD_MOVE_UP, D = CMD_MOVE_DOWN;
constexpr int PU = CMD_PAGE_UP, PD = CMD_PAGE_DOWN;
constexpr int P1 = CMD_PAGE_ONE, P2 = CMD_PAGE_TWO, P3 = CMD_PAGE_THREE, P4 = CMD_PAGE_FOUR;

// Every row of the navigation table, with its edges.
const Move kMoves[] = {
    // Quad-length, zoomed: a stack of pages.
    {QUAD_LABEL, 1, 0, 1, R, 0, 2},
    {QUAD_LABEL, 1, 0, 4, R, 0, 4},
    {QUAD_LABEL, 1, 0, 3, U, 0, 4},
    {QUAD_LABEL, 1, 0, 4, PU, 0, 4},
    {QUAD_LABEL, 1, 0, 2, L, 0, 1},
    {QUAD_LABEL, 1, 0, 1, L, 0, 1},
    {QUAD_LABEL, 1, 0, 3, D, 0, 2},
    {QUAD_LABEL, 1, 0, 2, PD, 0, 1},
    {QUAD_LABEL, 1, 0, 3, P2, 0, 2},
    {QUAD_LABEL, 1, 0, 3, P1, 0, 1},
    {QUAD_LABEL, 1, 0, 1, P3, 0, 3},
    {QUAD_LABEL, 1, 0, 1, P4, 0, 4},
    // Quad-length overview: 3 2 above, 4 1 below.
    {QUAD_LABEL, 0, 0, 3, R, 0, 2},
    {QUAD_LABEL, 0, 0, 4, R, 0, 1},
    {QUAD_LABEL, 0, 0, 1, R, 0, 1},
    {QUAD_LABEL, 0, 0, 2, L, 0, 3},
    {QUAD_LABEL, 0, 0, 1, L, 0, 4},
    {QUAD_LABEL, 0, 0, 4, L, 0, 4},
    {QUAD_LABEL, 0, 0, 1, U, 0, 2},
    {QUAD_LABEL, 0, 0, 4, PU, 0, 3},
    {QUAD_LABEL, 0, 0, 2, U, 0, 2},
    {QUAD_LABEL, 0, 0, 2, D, 0, 1},
    {QUAD_LABEL, 0, 0, 3, PD, 0, 4},
    {QUAD_LABEL, 0, 0, 4, D, 0, 4},
    {QUAD_LABEL, 0, 0, 4, P2, 0, 2},
    // Two labels, zoomed.
    {TWO_FOLD_AROUND, 1, 0, 2, R, 1, 2},
    {TWO_FOLD_AROUND, 1, 1, 2, R, 1, 2},
    {TWO_FOLD_OUT, 1, 1, 1, L, 0, 1},
    {TWO_FOLD_OUT, 1, 0, 1, L, 0, 1},
    {TWO_FOLD_AROUND, 1, 0, 1, U, 0, 2},
    {TWO_FOLD_AROUND, 1, 1, 2, U, 1, 2},
    {TWO_FOLD_OUT, 1, 1, 2, D, 1, 1},
    {TWO_FOLD_OUT, 1, 0, 1, PD, 0, 1},
    {TWO_FOLD_AROUND, 1, 1, 1, P2, 1, 2},
    {TWO_FOLD_AROUND, 1, 1, 2, P1, 1, 1},
    {TWO_FOLD_AROUND, 1, 0, 1, P3, 0, 1},
    {TWO_FOLD_OUT, 1, 0, 1, P4, 0, 1},
    // Two labels, overview: fold-around shows page 1 on top, fold-out page 2.
    {TWO_FOLD_AROUND, 0, 0, 2, U, 0, 1},
    {TWO_FOLD_AROUND, 0, 0, 1, U, 0, 1},
    {TWO_FOLD_AROUND, 0, 1, 1, D, 1, 2},
    {TWO_FOLD_OUT, 0, 0, 1, U, 0, 2},
    {TWO_FOLD_OUT, 0, 1, 2, PD, 1, 1},
    {TWO_FOLD_OUT, 0, 1, 1, D, 1, 1},
    {TWO_FOLD_OUT, 0, 0, 2, R, 1, 2},
    {TWO_FOLD_OUT, 0, 0, 1, P2, 0, 2},
    {TWO_FOLD_AROUND, 0, 0, 1, P1, 0, 2},
    // Four labels, zoomed: one after the other.
    {FOUR_LABELS, 1, 0, 1, R, 1, 1},
    {FOUR_LABELS, 1, 3, 1, R, 3, 1},
    {FOUR_LABELS, 1, 2, 1, D, 3, 1},
    {FOUR_LABELS, 1, 3, 1, PD, 3, 1},
    {FOUR_LABELS, 1, 2, 1, L, 1, 1},
    {FOUR_LABELS, 1, 0, 1, L, 0, 1},
    {FOUR_LABELS, 1, 1, 1, U, 0, 1},
    {FOUR_LABELS, 1, 0, 1, PU, 0, 1},
    {FOUR_LABELS, 1, 1, 1, P2, 0, 1},
    {FOUR_LABELS, 1, 1, 1, P1, 2, 1},
    {FOUR_LABELS, 1, 1, 1, P3, 1, 1},
    // Four labels, overview: the grid 0 1 / 2 3.
    {FOUR_LABELS, 0, 2, 1, R, 3, 1},
    {FOUR_LABELS, 0, 1, 1, R, 1, 1},
    {FOUR_LABELS, 0, 3, 1, L, 2, 1},
    {FOUR_LABELS, 0, 1, 1, D, 3, 1},
    {FOUR_LABELS, 0, 2, 1, PD, 2, 1},
    {FOUR_LABELS, 0, 3, 1, U, 1, 1},
    {FOUR_LABELS, 0, 0, 1, PU, 0, 1},
    {FOUR_LABELS, 0, 2, 1, P2, 0, 1},
    {FOUR_LABELS, 0, 0, 1, P1, 2, 1},
    {FOUR_LABELS, 0, 0, 1, P4, 0, 1},
    // One label: nothing moves.
    {ONE_LABEL, 1, 0, 1, R, 0, 1},
    {ONE_LABEL, 1, 0, 1, U, 0, 1},
    {ONE_LABEL, 1, 0, 1, P2, 0, 1},
};

class NavigationTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=67\n");
        start();
    }
};

TEST_F(NavigationTest, EveryRowOfTheTableThroughTheDispatcher) {
    for (const Move& m : kMoves) {
        setView(m.format, m.zoomed, m.index, m.position);
        window_->sendCommand(m.command);
        EXPECT_EQ(app_->labels.currentLabelIndex, m.toIndex)
            << "format " << m.format << " zoomed " << m.zoomed << " from " << m.index << "/"
            << m.position << " command " << m.command;
        EXPECT_EQ(app_->view.position, m.toPosition)
            << "format " << m.format << " zoomed " << m.zoomed << " from " << m.index << "/"
            << m.position << " command " << m.command;
    }
}

TEST_F(NavigationTest, TheTableAgreesWithTheWindow) {
    for (const Move& m : kMoves) {
        auto target = NavigationTarget(m.format, m.zoomed, m.index, m.position, m.command);
        LabelPage expected{m.toIndex, m.toPosition};
        LabelPage got = target.value_or(LabelPage{m.index, m.position});
        EXPECT_EQ(got, expected) << "format " << m.format << " zoomed " << m.zoomed << " from "
                                 << m.index << "/" << m.position << " command " << m.command;
    }
}

TEST_F(NavigationTest, MovesDropTheSelectionButStandstillsKeepIt) {
    setView(FOUR_LABELS, 0, 1, 1);
    placeObject(OBJECT_STRING, {10, -10, 100, -60});
    app_->shell.selectedKind = SELECTED_STRING;
    window_->sendCommand(CMD_MOVE_RIGHT); // label 1 stays, but four labels drop the selection
    EXPECT_EQ(app_->labels.currentLabelIndex, 1);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_NONE);

    setView(QUAD_LABEL, 1, 0, 4);
    app_->shell.selectedKind = SELECTED_STRING;
    window_->sendCommand(CMD_MOVE_UP); // already on the top page: nothing happens
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_STRING);
}

TEST_F(NavigationTest, ZoomTogglesExceptForOneLabel) {
    setView(ONE_LABEL, 1);
    window_->sendCommand(CMD_ZOOM);
    EXPECT_EQ(app_->view.zoomed, 1);
    setView(TWO_FOLD_OUT, 1, 1, 2);
    window_->sendCommand(CMD_ZOOM);
    EXPECT_EQ(app_->view.zoomed, 0);
    EXPECT_EQ(app_->labels.currentLabelIndex, 1);
    EXPECT_EQ(app_->view.position, 2);
    window_->sendCommand(CMD_ZOOM);
    EXPECT_EQ(app_->view.zoomed, 1);
}

TEST_F(NavigationTest, DigitKeysChooseLabelsTheFormatHas) {
    setView(FOUR_LABELS, 1, 0, 1);
    QTest::keyClicks(window_.get(), "3");
    EXPECT_EQ(app_->labels.currentLabelIndex, 2);
    setView(TWO_FOLD_AROUND, 1, 0, 2);
    QTest::keyClicks(window_.get(), "3");
    EXPECT_EQ(app_->labels.currentLabelIndex, 0);
    QTest::keyClicks(window_.get(), "2");
    EXPECT_EQ(app_->labels.currentLabelIndex, 1);
    EXPECT_EQ(app_->view.position, 1);
    setView(ONE_LABEL, 1, 0, 1);
    QTest::keyClicks(window_.get(), "2");
    EXPECT_EQ(app_->labels.currentLabelIndex, 0);
    setView(QUAD_LABEL, 1, 0, 3);
    QTest::keyClicks(window_.get(), "@"); // clamped to the only label
    EXPECT_EQ(app_->labels.currentLabelIndex, 0);
    EXPECT_EQ(app_->view.position, 1);
    setView(TWO_FOLD_OUT, 1, 1, 1);
    QTest::keyClicks(window_.get(), "#"); // four labels only
    EXPECT_EQ(app_->labels.currentLabelIndex, 1);
}

} // namespace
} // namespace pelmora::test
