#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "resources/command_ids.h"
#include "shell/view.h"
#include "shell_fixture.h"
#include "storage/settings_store.h"

#include <QComboBox>
#include <QDialog>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <set>
#include <sstream>

namespace pelmora::test {
namespace {

using StartupTest = ShellFixture;

std::set<std::string> iniKeys(const std::string& text) {
    std::set<std::string> keys;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t equals = line.find('=');
        if (!line.empty() && line[0] != '[' && equals != std::string::npos) {
            keys.insert(line.substr(0, equals));
        }
    }
    return keys;
}

TEST_F(StartupTest, WithoutSettingsTheUserIsAskedForADriveWithCPreselected) {
    DriveMapping c('C', dir_.makeDir("c"));
    std::string preselected;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.dialog && request.dialog->objectName() == "driveDialog") {
            auto* box = request.dialog->findChild<QComboBox*>("driveList");
            preselected = box->currentText().toStdString();
            box->setCurrentIndex(box->findText("C:\\", Qt::MatchStartsWith));
            return ui::ModalAnswer{QDialog::Accepted, {}, 0, {}};
        }
        return std::nullopt;
    };
    start();
    ASSERT_FALSE(requests_.empty());
    EXPECT_EQ(requests_[0].title, "LS-120 Drive Selection");
    EXPECT_EQ(preselected.substr(0, 3), "C:\\"); // then the folder C: stands for
    EXPECT_EQ(app_->catalog.driveLetter, 'C');
    // Then the offer to read the new drive, answered "Don't Scan Disk".
    ASSERT_GE(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].title, "Drive Modification Warning");
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(app_->shell.initialised);
}

TEST_F(StartupTest, RestoresFormatZoomScaleAndFontsFromTheSettings) {
    writeIni("[vexo]\nDrive=68\nLabels=22\nZoom=0\nWindScale=75\n"
             "Font1_lfHeight=-21\nFont1_lfWeight=700\nFont1_lfFaceName=Courier New\n"
             "MainWindowX=30\nMainWindowY=40\n");
    start();
    EXPECT_TRUE(requests_.empty()); // a drive is configured: no prompt
    EXPECT_EQ(app_->catalog.driveLetter, 'D');
    EXPECT_EQ(app_->view.format, FOUR_LABELS);
    EXPECT_EQ(app_->view.zoomed, 0);
    EXPECT_DOUBLE_EQ(app_->view.windowScale, 0.75);
    const VAROINFO& second = app_->labels.labels[1];
    EXPECT_EQ(second.fileFont.lfHeight, -21);
    EXPECT_EQ(second.fileFont.lfWeight, 700);
    EXPECT_STREQ(second.fileFont.lfFaceName, "Courier New");
    // Fonts not stored get the defaults for the screen at that scale.
    EXPECT_EQ(app_->labels.labels[0].fileFont, defaultPointFont(80, false, 0.75));
    EXPECT_EQ(app_->labels.labels[0].folderFont, defaultPointFont(80, true, 0.75));
    EXPECT_EQ(app_->labels.labels[0].spineFont, defaultPointFont(140, false, 0.75));
    EXPECT_EQ(window_->pos(), QPoint(30, 40));
    EXPECT_EQ(window_->windowTitle().toStdString(), "default - Pelmora");
}

TEST_F(StartupTest, TheCommandLineOptionIsPostedAfterStartUp) {
    writeIni("[vexo]\nDrive=67\n");
    app_ = std::make_unique<App>();
    app_->shell.commandLine = "-printlabel /tmp/x.PMB";
    window_ = std::make_unique<MainWindow>(*app_);
    EXPECT_FALSE(app_->shell.started); // the start-up step waits for the loop
    processEvents();
    EXPECT_TRUE(app_->shell.started);
    EXPECT_EQ(window_->statusText(), "Pelmora Version 4.1 - Ready");
}

TEST_F(StartupTest, TitleFollowsFormatZoomLabelAndPage) {
    EXPECT_EQ(WindowTitle("default", ONE_LABEL, 1, 0, 1), "default - Pelmora");
    EXPECT_EQ(WindowTitle("default", QUAD_LABEL, 1, 0, 3), "default - Pelmora - Page 3");
    EXPECT_EQ(WindowTitle("disk", TWO_FOLD_OUT, 1, 1, 2), "disk - Pelmora - Label 2");
    EXPECT_EQ(WindowTitle("disk", FOUR_LABELS, 1, 3, 1), "disk - Pelmora - Label 4");
    EXPECT_EQ(WindowTitle("a\\b\\disk", FOUR_LABELS, 0, 3, 1), "disk - Pelmora");
    EXPECT_EQ(WindowTitle("disk", QUAD_LABEL, 0, 0, 3), "disk - Pelmora");

    writeIni("[vexo]\nDrive=67\nLabels=11\nZoom=1\n");
    start();
    window_->sendCommand(CMD_PAGE_THREE);
    EXPECT_EQ(window_->windowTitle().toStdString(), "default - Pelmora - Page 3");
    window_->sendCommand(CMD_ZOOM);
    EXPECT_EQ(window_->windowTitle().toStdString(), "default - Pelmora");
}

TEST_F(StartupTest, WindowSizeFollowsTheScale) {
    writeIni("[vexo]\nDrive=67\n");
    start();
    const struct {
        int command;
        double scale;
        int baseHeight; // label units
    } scales[] = {{CMD_WINDOW_SCALE_50, 0.5, 510},
                  {CMD_WINDOW_SCALE_75, 0.75, 490},
                  {CMD_WINDOW_SCALE_100, 1.0, 480},
                  {CMD_WINDOW_SCALE_125, 1.25, 480},
                  {CMD_WINDOW_SCALE_150, 1.5, 480}};
    for (const auto& s : scales) {
        window_->sendCommand(s.command);
        processEvents(); // lays the bars out
        EXPECT_DOUBLE_EQ(app_->view.windowScale, s.scale);
        // 416 x H label units at the scale, 96 dpi: 0.96 pixels a unit.
        const int width = static_cast<int>(416 * 96 / 100.0 * s.scale);
        const int height = static_cast<int>(s.baseHeight * 96 / 100.0 * s.scale);
        // Below 100 % the window is as wide as its menu bar and toolbar need.
        if (s.scale >= 1.0) {
            EXPECT_NEAR(window_->width(), width, 1) << s.scale;
        } else {
            EXPECT_GE(window_->width(), width - 1) << s.scale;
        }
        EXPECT_NEAR(window_->labelArea().height(), height, 1) << s.scale;
        // The bars grow the window: the band runs from the toolbar to the status bar.
        EXPECT_EQ(window_->statusBar()->geometry().top(), window_->labelArea().bottom() + 1);
        EXPECT_EQ(window_->statusBar()->geometry().bottom(), window_->height() - 1);
        // The label band starts below the toolbar, and the view origin with it.
        EXPECT_EQ(window_->labelArea().top(), window_->toolBarWidget()->geometry().bottom() + 1);
        POINT origin{kViewOriginX, app_->view.viewOriginY + 6};
        EXPECT_NEAR(toWindow(origin).y(), window_->labelArea().top(), 2) << s.scale;
    }
}

// At every window scale each menu of the menu bar and each toolbar button is in view and can be
// clicked: none is pushed behind an extension button.
TEST_F(StartupTest, EveryMenuAndToolbarButtonIsReachableAtEveryScale) {
    writeIni("[vexo]\nDrive=67\n");
    start();
    window_->show();
    for (int command :
         {CMD_WINDOW_SCALE_50, CMD_WINDOW_SCALE_75, CMD_WINDOW_SCALE_100, CMD_WINDOW_SCALE_150}) {
        window_->sendCommand(command);
        processEvents();
        QMenuBar* bar = window_->menuBar();
        const QList<QAction*> menus = bar->actions();
        ASSERT_EQ(menus.size(), 6) << command;
        for (QAction* menu : menus) {
            const QRect place = bar->actionGeometry(menu);
            EXPECT_FALSE(place.isEmpty()) << command << menu->text().toStdString();
            EXPECT_TRUE(bar->rect().contains(place)) << command << menu->text().toStdString();
            EXPECT_EQ(bar->actionAt(place.center()), menu) << command;
        }
        QToolBar* toolBar = window_->toolBarWidget();
        int buttons = 0;
        for (QAction* action : toolBar->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            ++buttons;
            QWidget* button = toolBar->widgetForAction(action);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->isVisible()) << command << action->text().toStdString();
            EXPECT_TRUE(toolBar->rect().contains(button->geometry())) << command;
        }
        EXPECT_EQ(buttons, 14);
        for (auto* extension : window_->findChildren<QToolButton*>()) {
            if (extension->objectName().endsWith(QStringLiteral("ext_button"))) {
                EXPECT_FALSE(extension->isVisible()) << command;
            }
        }
    }
}

TEST_F(StartupTest, ClosingWritesEverySettingWithoutAsking) {
    writeIni("[vexo]\nDrive=68\n");
    start();
    window_->sendCommand(CMD_WINDOW_SCALE_125);
    app_->view.format = TWO_FOLD_AROUND;
    app_->labels.labels[0].columns = 4;
    requests_.clear();
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(requests_.empty());

    const std::string written = readFile(iniPath());
    const std::set<std::string> keys = iniKeys(written);
    // Every key the settings store writes, and the values of this run.
    App reference;
    const std::string referencePath = dir_.file("reference.ini");
    ASSERT_TRUE(WriteSettings(reference.labels, reference.catalog, reference.view, reference.paint,
                              reference.printer, reference.settings, referencePath));
    for (const std::string& key : iniKeys(readFile(referencePath))) {
        EXPECT_TRUE(keys.count(key)) << key;
    }
    EXPECT_NE(written.find("Labels=20"), std::string::npos);
    EXPECT_NE(written.find("WindScale=125"), std::string::npos);
    EXPECT_NE(written.find("Columns0=4"), std::string::npos);
    EXPECT_NE(written.find("Drive=68"), std::string::npos);
    EXPECT_NE(written.find("MainWindowX="), std::string::npos);
    // The labels are emptied once saved.
    EXPECT_TRUE(app_->labels.labels[0].entries.empty());
}

} // namespace
} // namespace pelmora::test
