// The colour and font choosers, Fonts And Colors and the default fonts.

#include "platform/ui/font_conversion.h"
#include "render/dialogs/fonts_colors_dialog.h"
#include "render/styles.h"
#include "resources/command_ids.h"
#include "shell_fixture.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <cstring>
#include <tuple>

namespace pelmora::test {
namespace {

// A started window with a drive configured, so nothing asks for one.
class StyleTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=67\n");
        start();
    }
};

template <typename Widget> Widget* child(QWidget* dialog, const char* name) {
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void pressApply(QWidget* chooser) {
    child<QPushButton>(chooser, "applyButton")->click();
}

std::optional<ui::ModalAnswer> answer(int result, COLORREF color = 0, LOGFONTA font = {}) {
    return ui::ModalAnswer{result, {}, color, font};
}

ExtensionStyle style(const char* extension, COLORREF color, int height = -11) {
    ExtensionStyle s;
    std::strcpy(s.extension, extension);
    s.color = color;
    s.font.lfHeight = height;
    std::strcpy(s.font.lfFaceName, "Arial");
    return s;
}

TEST_F(StyleTest, AddNamesExtensionsRemoveSparesTheElementsAndTheLaterStyleWins) {
    int colorRequests = 0;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind == ui::ModalKind::Color) {
            return answer(++colorRequests == 1 ? 1 : 0, RGB(0, 0, 255)); // TXT blue
        }
        auto& dialog = dynamic_cast<FontsColorsDialog&>(*request.dialog);
        auto* edit = child<QLineEdit>(&dialog, "extensionEdit");
        for (const char* text : {".txt", "verylongext", "."}) {
            edit->setText(QString::fromLatin1(text));
            child<QPushButton>(&dialog, "addButton")->click();
        }
        EXPECT_EQ(colorRequests, 2); // each added entry opens Color; the lone dot adds nothing
        EXPECT_EQ(dialog.entries().size(), 6u);
        EXPECT_STREQ(dialog.entries().at(4).extension, "TXT");
        EXPECT_STREQ(dialog.entries().at(5).extension, "VERYLON");
        auto* list = child<QListWidget>(&dialog, "styleList");
        auto* remove = child<QPushButton>(&dialog, "removeButton");
        list->setCurrentRow(3);
        EXPECT_FALSE(remove->isEnabled());
        list->setCurrentRow(5);
        EXPECT_TRUE(remove->isEnabled());
        remove->click();
        EXPECT_EQ(dialog.entries().size(), 5u);
        EXPECT_FALSE(child<QPushButton>(&dialog, "colorButton")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(&dialog, "fontButton")->isEnabled());
        return answer(QDialog::Accepted);
    };
    window_->sendCommand(CMD_FONTS_AND_COLORS);

    VAROINFO& label = app_->currentLabel();
    ASSERT_EQ(label.extStyles.size(), 1u);
    EXPECT_STREQ(label.extStyles[0].extension, "TXT");
    EXPECT_EQ(label.extStyles[0].color, RGB(0, 0, 255));
    // A second style for the same extension, as a template adds one: the later one wins.
    label.extStyles.push_back(style("txt", RGB(255, 0, 0)));
    EXPECT_EQ(FindExtensionStyle(label, "READ.ME.TXT"), 1);
    EXPECT_EQ(FindExtensionStyle(label, "MAKEFILE"), kNoExtensionStyle);

    // A line names its style in a byte: with the label full, Add is not offered, and a style
    // beyond the full count (as an old file may hold) is never taken for another one.
    label.extStyles.resize(kMaxExtensionStyles);
    label.extStyles.push_back(style("TXT", RGB(0, 255, 0)));
    EXPECT_EQ(FindExtensionStyle(label, "READ.ME.TXT"), 1);
    label.extStyles.pop_back();
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        auto& dialog = dynamic_cast<FontsColorsDialog&>(*request.dialog);
        auto* add = child<QPushButton>(&dialog, "addButton");
        EXPECT_FALSE(add->isEnabled());
        auto* list = child<QListWidget>(&dialog, "styleList");
        list->setCurrentRow(FontsColorsDialog::kElementEntries);
        child<QPushButton>(&dialog, "removeButton")->click();
        EXPECT_TRUE(add->isEnabled());
        return answer(QDialog::Rejected);
    };
    window_->sendCommand(CMD_FONTS_AND_COLORS);
}

TEST_F(StyleTest, EntriesAreDrawnInTheirOwnFontAndPaleColoursOnBlack) {
    VAROINFO label;
    label.extStyles = {style("PAL", RGB(230, 230, 230), -30), style("CRM", RGB(230, 230, 200))};
    ChooserMemory memory{theProgramSettings.customColors,
                         theProgramSettings.position(WindowName::Color),
                         theProgramSettings.position(WindowName::Font)};
    FontsColorsDialog dialog(nullptr, label, memory, {});
    auto* list = child<QListWidget>(&dialog, "styleList");
    const auto draw = [&](int row) {
        QImage image(120, 34, QImage::Format_RGB32);
        image.fill(Qt::red);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        QPainter painter(&image);
        list->itemDelegate()->paint(&painter, option, list->model()->index(row, 0));
        return image;
    };
    EXPECT_EQ(QColor(draw(4).pixel(1, 1)), QColor(Qt::black));
    EXPECT_EQ(QColor(draw(5).pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(list->item(4)->sizeHint().height(), 34); // |lfHeight| + 4
    EXPECT_EQ(list->item(5)->sizeHint().height(), 15);
}

TEST_F(StyleTest, CopyFromAppliesLiveAndCancelAfterAFontApplyRestoresEverything) {
    VAROINFO& label = app_->currentLabel();
    label.extStyles = {style("DOC", RGB(9, 9, 9), -30)};
    label.commentColor = RGB(1, 2, 3);
    const VAROINFO before = label;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind == ui::ModalKind::Font) {
            auto* chooser = dynamic_cast<QFontDialog*>(request.dialog);
            chooser->setCurrentFont(QFont(QStringLiteral("Liberation Serif"), 20));
            const int repaints = window_->labelAreaInvalidations();
            pressApply(chooser);
            EXPECT_EQ(label.fileFont.lfHeight, -27);
            EXPECT_STREQ(label.fileFont.lfFaceName, "Liberation Serif");
            EXPECT_GT(label.fileFontHeight, before.fileFontHeight); // measured again
            EXPECT_GT(window_->labelAreaInvalidations(), repaints);
            return answer(0);
        }
        QDialog* dialog = request.dialog;
        auto* list = child<QListWidget>(dialog, "styleList");
        list->setCurrentRow(2);
        child<QPushButton>(dialog, "copyFromFoldersButton")->click();
        EXPECT_EQ(label.commentFont, before.folderFont);
        EXPECT_EQ(label.commentColor, before.folderColor);
        list->setCurrentRow(4);
        child<QPushButton>(dialog, "copyFromFilesButton")->click();
        EXPECT_EQ(label.extStyles.at(0).font, before.fileFont);
        list->setCurrentRow(0);
        child<QPushButton>(dialog, "fontButton")->click();
        EXPECT_EQ(label.fileFont, before.fileFont); // the chooser's Cancel undid its Apply
        return answer(QDialog::Rejected);
    };
    window_->sendCommand(CMD_FONTS_AND_COLORS);

    EXPECT_EQ(label.fileFont, before.fileFont);
    EXPECT_EQ(label.commentFont, before.commentFont);
    EXPECT_EQ(label.commentColor, RGB(1, 2, 3));
    EXPECT_EQ(label.fileFontHeight, before.fileFontHeight);
    ASSERT_EQ(label.extStyles.size(), 1u);
    EXPECT_EQ(label.extStyles[0].font, before.extStyles[0].font);
}

TEST_F(StyleTest, ChooserApplyRepaintsTheLabelBeforeOkAndCancelPutsItBack) {
    VAROINFO& label = app_->currentLabel();
    const QImage white = window_->renderLabelArea();
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind == ui::ModalKind::Color) {
            EXPECT_EQ(app_->shell.openChooser, CHOOSER_COLOR);
            dynamic_cast<QColorDialog*>(request.dialog)->setCurrentColor(QColor(255, 0, 0));
            pressApply(request.dialog);
            EXPECT_EQ(label.spineBackColor, RGB(255, 0, 0));
            EXPECT_NE(window_->renderLabelArea(), white);
            return answer(0);
        }
        EXPECT_EQ(app_->shell.openChooser, CHOOSER_SPINE_FONT);
        dynamic_cast<QFontDialog*>(request.dialog)
            ->setCurrentFont(QFont(QStringLiteral("Liberation Serif"), 20));
        pressApply(request.dialog);
        EXPECT_EQ(label.spineFont.lfHeight, -27);
        return answer(1, 0, label.spineFont);
    };
    window_->sendCommand(CMD_SPINE_BACK_COLOR);
    EXPECT_EQ(label.spineBackColor, RGB(255, 255, 255));
    EXPECT_EQ(window_->renderLabelArea(), white);

    window_->sendCommand(CMD_SPINE_FONT);
    EXPECT_EQ(label.spineFont.lfHeight, -27);
    EXPECT_EQ(app_->shell.openChooser, CHOOSER_NONE);
}

TEST_F(StyleTest, CustomColoursSurviveARestart) {
    answer_ = [](const ui::ModalRequest&) {
        QColorDialog::setCustomColor(5, QColor(1, 2, 3)); // as the user adds a custom colour
        return answer(0);
    };
    window_->sendCommand(CMD_SPINE_COLOR);
    // The cancelled chooser still counts as an edit: "&Discard" it on closing.
    answer_ = [](const ui::ModalRequest&) { return answer(1); };
    window_->close(); // writes the settings
    window_.reset();
    app_.reset();
    theProgramSettings = ProgramSettings{};
    QColorDialog::setCustomColor(5, Qt::white);

    start();
    EXPECT_EQ(app_->settings.customColors[5], RGB(1, 2, 3));
    QColor offered;
    answer_ = [&](const ui::ModalRequest&) {
        offered = QColorDialog::customColor(5);
        return answer(0);
    };
    window_->sendCommand(CMD_BODY_BACK_COLOR);
    EXPECT_EQ(offered, QColor(1, 2, 3));
}

TEST_F(StyleTest, FontRecordsRoundTripThroughQtFontsAndTheChooser) {
    for (int dpi : {96, 1200}) {
        SCOPED_TRACE(dpi);
        LOGFONTA font;
        font.lfHeight = dpi == 96 ? -11 : -133;
        font.lfItalic = font.lfUnderline = font.lfStrikeOut = 1;
        font.lfEscapement = font.lfOrientation = 900;
        font.lfCharSet = 2;
        std::strcpy(font.lfFaceName, "Arial");
        const QFont qt = ui::toQFont(font, dpi);
        EXPECT_EQ(ui::toLogFont(qt, dpi, font), font);
        // From a blank record, the Qt font alone carries size, styles and face.
        const LOGFONTA alone = ui::toLogFont(qt, dpi, LOGFONTA{});
        EXPECT_EQ(alone.lfHeight + alone.lfItalic + alone.lfStrikeOut, font.lfHeight + 2);
        EXPECT_STREQ(alone.lfFaceName, "Arial");
        QFont bold = qt;
        bold.setPointSize(12);
        bold.setBold(true);
        const LOGFONTA chosen = ui::toLogFont(bold, dpi, font);
        EXPECT_EQ(chosen.lfHeight, -12 * dpi / 72);
        EXPECT_EQ(chosen.lfWeight, FW_BOLD);
    }
    // Through the real chooser, left alone: 10.5 points and the aliased face come back as were.
    LOGFONTA font;
    font.lfHeight = -14;
    font.lfWeight = FW_BOLD;
    std::strcpy(font.lfFaceName, "Arial");
    std::optional<LOGFONTA> applied;
    answer_ = [](const ui::ModalRequest& request) {
        pressApply(request.dialog);
        return answer(0);
    };
    ui::chooseFont(nullptr, "Font", font, 0,
                   [&](const ui::FontChoice& choice) { applied = choice.font; });
    ASSERT_TRUE(applied);
    EXPECT_EQ(*applied, font);
}

TEST_F(StyleTest, ResetToDefaultsGivesTheFontsOfAFirstStartAtEveryScale) {
    for (const auto& [percent, small, spine] :
         {std::tuple{50, -5, -9}, std::tuple{150, -16, -28}}) {
        SCOPED_TRACE(percent);
        window_.reset();
        app_.reset();
        writeIni("[vexo]\nDrive=67\nWindScale=" + std::to_string(percent) + "\n");
        start();
        VAROINFO& label = app_->labels.labels[2];
        const VAROINFO first = label;
        EXPECT_EQ(first.fileFont.lfHeight, small);
        EXPECT_EQ(first.spineFont.lfHeight, spine);
        label.fileFont.lfHeight = -40;
        window_->sendCommand(CMD_RESET_DEFAULTS);
        EXPECT_EQ(label.fileFont, first.fileFont);
        EXPECT_EQ(label.folderFont, first.folderFont);
        EXPECT_EQ(label.spineFont, first.spineFont);
    }
}

} // namespace
} // namespace pelmora::test
