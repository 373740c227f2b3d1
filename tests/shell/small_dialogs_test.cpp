#include "catalog/dialogs/drive_dialog.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"
#include "platform/ui/dialogs.h"
#include "shell/small_dialogs.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace pelmora {
namespace {

// Answers every dialog with `respond`, which may work the dialog's widgets first.
class Answerer {
public:
    explicit Answerer(std::function<int(QDialog&)> respond) {
        previous_ = ui::setDialogAnswerer([this, respond](const ui::ModalRequest& request) {
            ++asked;
            ui::ModalAnswer answer;
            answer.result = request.dialog ? respond(*request.dialog) : IDOK;
            return std::optional<ui::ModalAnswer>(answer);
        });
    }
    ~Answerer() { ui::setDialogAnswerer(previous_); }
    int asked = 0;

private:
    ui::DialogAnswerer previous_;
};

int askRescan(ProgramSettings& settings) {
    return ShowHint(nullptr, settings, "Exclude/Include List Modified",
                    "The exclude/include list has changed.  Do you want to re-scan the disk?",
                    "Scan Disk", "Don't Scan Disk", 0);
}

TEST(ShowHint, ShowsItsTextsAndAnswersByButton) {
    ProgramSettings settings;
    std::vector<std::string> seen;
    Answerer yes([&](QDialog& dialog) {
        seen.push_back(dialog.windowTitle().toStdString());
        seen.push_back(dialog.findChild<QLabel*>("hintMessage")->text().toStdString());
        seen.push_back(dialog.findChild<QPushButton*>("hintYes")->text().toStdString());
        seen.push_back(dialog.findChild<QPushButton*>("hintNo")->text().toStdString());
        seen.push_back(dialog.findChild<QCheckBox*>("hintSilence")->text().toStdString());
        return QDialog::Accepted;
    });
    EXPECT_EQ(askRescan(settings), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Exclude/Include List Modified",
                        "The exclude/include list has changed.  Do you want to re-scan the disk?",
                        "Scan Disk", "Don't Scan Disk", "&Don't Show This Hint Again"}));
    EXPECT_EQ(settings.hiddenHints[0], 0);
}

// The icon stands for what the caption says: a warning, else a question; the program's own icon
// sits on the right.
TEST(ShowHint, TheIconFollowsTheCaption) {
    ProgramSettings settings;
    std::vector<QImage> icons;
    QImage programIcon;
    QDialog probe;
    Answerer look([&](QDialog& dialog) {
        icons.push_back(dialog.findChild<QLabel*>("hintIcon")->pixmap().toImage());
        programIcon = dialog.findChild<QLabel*>("hintProgramIcon")->pixmap().toImage();
        return QDialog::Rejected;
    });
    askRescan(settings);
    ShowHint(nullptr, settings, "Drive Modification Warning",
             "You've selected a new drive to scan, would you like to scan it now?", "Scan Disk",
             "Don't Scan Disk", 1);
    ASSERT_EQ(icons.size(), 2u);
    auto standard = [&probe](QStyle::StandardPixmap kind) {
        return probe.style()->standardIcon(kind, nullptr, &probe).pixmap(32, 32).toImage();
    };
    EXPECT_FALSE(icons[0].isNull());
    EXPECT_EQ(icons[0], standard(QStyle::SP_MessageBoxQuestion));
    EXPECT_EQ(icons[1], standard(QStyle::SP_MessageBoxWarning));
    EXPECT_NE(icons[0], icons[1]);
    EXPECT_FALSE(programIcon.isNull());
}

TEST(ShowHint, SilencedWithTheSecondButtonStaysSilentUntilShownAgain) {
    ProgramSettings settings;
    {
        Answerer silenceAndDecline([](QDialog& dialog) {
            dialog.findChild<QCheckBox*>("hintSilence")->setChecked(true);
            return QDialog::Rejected;
        });
        EXPECT_EQ(askRescan(settings), 0);
        EXPECT_EQ(settings.hiddenHints[0], 1);
    }
    Answerer wouldAccept([](QDialog&) { return QDialog::Accepted; });
    EXPECT_EQ(askRescan(settings), 0);
    EXPECT_EQ(wouldAccept.asked, 0);
    settings.hiddenHints[0] = 0; // "&Show All Dialogs"
    EXPECT_EQ(askRescan(settings), 1);
    EXPECT_EQ(wouldAccept.asked, 1);
}

TEST(ShowHint, UntickingTheBoxBeforeClosingLeavesTheHintActive) {
    ProgramSettings settings;
    Answerer toggle([](QDialog& dialog) {
        auto* box = dialog.findChild<QCheckBox*>("hintSilence");
        box->setChecked(true);
        box->setChecked(false);
        return QDialog::Accepted;
    });
    EXPECT_EQ(askRescan(settings), 1);
    EXPECT_EQ(settings.hiddenHints[0], 0);
}

TEST(PlaceDialog, AZeroCoordinateCentresOverTheParent) {
    QWidget parent;
    parent.setGeometry(100, 100, 600, 400);
    QDialog dialog(&parent);
    dialog.resize(200, 100);
    POINT remembered{0, 250};
    PlaceDialog(dialog, remembered);
    const QRect frame = parent.frameGeometry();
    const QSize size = dialog.frameGeometry().size();
    EXPECT_EQ(dialog.pos(), QPoint(frame.left() + (frame.width() - size.width()) / 2,
                                   frame.top() + (frame.height() - size.height()) / 2));
    EXPECT_EQ(remembered, (POINT{0, 250}));
}

TEST(PlaceDialog, PositionsBeyondTheDisplayArePulledBackAndStored) {
    auto display = gdi::createInformationContext(gdi::displayCaps());
    const int width = display->GetDeviceCaps(gdi::HORZRES);
    const int height = display->GetDeviceCaps(gdi::VERTRES);
    QDialog dialog;
    POINT remembered{width + 500, height + 20};
    PlaceDialog(dialog, remembered);
    EXPECT_EQ(remembered, (POINT{width - 100, height - 100}));
    EXPECT_EQ(dialog.pos(), QPoint(width - 100, height - 100));

    POINT inside{40, 60};
    PlaceDialog(dialog, inside);
    EXPECT_EQ(dialog.pos(), QPoint(40, 60));
    EXPECT_EQ(inside, (POINT{40, 60}));
}

std::vector<std::string> lines(const QComboBox& box) {
    std::vector<std::string> result;
    for (int i = 0; i < box.count(); ++i) {
        result.push_back(box.itemText(i).toStdString());
    }
    return result;
}

constexpr std::uint32_t kDrivesACD = (1u << 0) | (1u << 2) | (1u << 3);

TEST(DriveDialog, ListsThePresentDrivesAndSelectsTheCurrentOne) {
    DriveDialog dialog(nullptr, 'C', kDrivesACD);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "LS-120 Drive Selection");
    EXPECT_EQ(lines(*dialog.driveList()), (std::vector<std::string>{"A:\\", "C:\\", "D:\\"}));
    EXPECT_EQ(dialog.driveList()->currentText().toStdString(), "C:\\");
    EXPECT_EQ(dialog.chosenDrive('X'), 'C');
}

TEST(DriveDialog, WithoutTheCurrentDriveNothingIsSelectedAndOkKeepsTheLetter) {
    DriveDialog dialog(nullptr, 'F', kDrivesACD);
    EXPECT_EQ(dialog.driveList()->currentIndex(), -1);
    EXPECT_EQ(dialog.chosenDrive('F'), 'F');
}

TEST(SelectDrive, OkTakesTheChosenLineAndCancelChangesNothing) {
    test::TempDir dir;
    test::DriveMapping b('B', dir.path());
    CatalogSettings catalog;
    catalog.driveLetter = 'Q';
    POINT position{0, 0};
    {
        Answerer pickB([](QDialog& dialog) {
            auto* box = dialog.findChild<QComboBox*>("driveList");
            box->setCurrentIndex(box->findText("B:\\", Qt::MatchStartsWith));
            return QDialog::Accepted;
        });
        EXPECT_EQ(SelectDrive(nullptr, catalog, position), 1);
        EXPECT_EQ(catalog.driveLetter, 'B');
    }
    Answerer cancel([](QDialog& dialog) {
        auto* box = dialog.findChild<QComboBox*>("driveList");
        box->setCurrentIndex(box->findText("Z:\\", Qt::MatchStartsWith));
        return QDialog::Rejected;
    });
    EXPECT_EQ(SelectDrive(nullptr, catalog, position), 0);
    EXPECT_EQ(catalog.driveLetter, 'B');
}

TEST(MessageBoxes, GoThroughTheAnswererWithTheirFlags) {
    std::vector<ui::ModalRequest> seen;
    auto previous = ui::setDialogAnswerer([&](const ui::ModalRequest& request) {
        seen.push_back(request);
        ui::ModalAnswer answer;
        answer.result = IDNO;
        return std::optional<ui::ModalAnswer>(answer);
    });
    ui::installProgramHandlers();
    EXPECT_EQ(reportMessage(nullptr, "Save changes?", "Pelmora", MB_YESNO | MB_ICONQUESTION), IDNO);
    ui::setDialogAnswerer(previous);
    setMessageHandler({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, ui::ModalKind::Message);
    EXPECT_EQ(seen[0].text, "Save changes?");
    EXPECT_EQ(seen[0].title, "Pelmora");
    EXPECT_EQ(seen[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
}

TEST(FileChoosers, CancelGivesNoPathAndAnAnswerGivesItsPath) {
    int call = 0;
    auto previous = ui::setDialogAnswerer([&](const ui::ModalRequest& request) {
        ui::ModalAnswer answer;
        answer.result = call++ == 0 ? 0 : 1;
        answer.path = request.directory + "/x.PMB";
        return std::optional<ui::ModalAnswer>(answer);
    });
    EXPECT_FALSE(ui::askOpenFileName(nullptr, "Open", "*.PMB", "/tmp"));
    EXPECT_EQ(ui::askSaveFileName(nullptr, "Save", "*.PMB", "/tmp"), "/tmp/x.PMB");
    ui::setDialogAnswerer(previous);
}

} // namespace
} // namespace pelmora
