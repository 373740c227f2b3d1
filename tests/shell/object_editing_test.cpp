// Inserting, copying, scaling and styling placed images and strings.

#include "render/geometry.h"
#include "resources/command_ids.h"
#include "shell/object_editing.h"
#include "shell/object_hit.h"
#include "shell_fixture.h"
#include "storage/image_loader.h"
#include "storage/label_file.h"
#include "storage/object_record.h"
#include "tests/support/jpeg_writer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <jpeglib.h>
#include <limits>
#include <tuple>
#include <utility>

namespace pelmora::test {
namespace {

// A one-colour 8-bit BMP in run-length code (a run of w pixels and an end of line per row),
// w x h at 2835 pixels per metre. The header's fields by offset: size, pixel offset, header
// size, width, height, planes and bit count, BI_RLE8, density, colours, the colour.
std::string bmpFile(std::uint32_t w, std::uint32_t h, COLORREF colour) {
    std::string file = "BM" + std::string(56, '\0');
    for (std::uint32_t y = 0; y < h; ++y) {
        file += {static_cast<char>(w), 0, 0, 0};
    }
    file += {0, 1};
    const std::uint32_t bgr = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    const std::size_t at[] = {2, 10, 14, 18, 22, 26, 30, 38, 42, 46, 54};
    const std::uint32_t value[] = {
        static_cast<std::uint32_t>(file.size()), 58, 40, w, h, 1 | 8 << 16, 1, 2835, 2835, 1, bgr};
    for (std::size_t k = 0; k < std::size(at); ++k) {
        for (std::size_t i = 0; i < 4; ++i) {
            file[at[k] + i] = static_cast<char>(value[k] >> (8 * i));
        }
    }
    return file;
}

class ObjectEditingTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        ForgetStringTemplate();
        start();
        setView(ONE_LABEL, 1);
        // File choosers pick `chosen_`; the String Entry dialog goes to `onStringDialog_`.
        answer_ = [this](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
            if (request.kind == ui::ModalKind::OpenFile) {
                return ui::ModalAnswer{1, chosen_, 0, {}};
            }
            if (request.kind == ui::ModalKind::Dialog && onStringDialog_) {
                return ui::ModalAnswer{onStringDialog_(*request.dialog), "", 0, {}};
            }
            return std::nullopt;
        };
    }

    PlacedObject& front() { return app_->currentLabel().objects.front(); }
    int count() { return app_->currentLabel().objectCount(); }
    std::pair<int, int> size() {
        return {front().right - front().left, front().top - front().bottom};
    }
    void insertImage(const std::string& path) {
        chosen_ = path;
        window_->sendCommand(CMD_INSERT_IMAGE);
    }
    template <typename W> static W* child(QDialog& dialog, const char* name) {
        return dialog.findChild<W*>(QString::fromLatin1(name));
    }

    std::string chosen_;
    std::function<int(QDialog&)> onStringDialog_;
};

TEST_F(ObjectEditingTest, ImagesInsertScaleCopyAndRefuseBadFiles) {
    insertImage(dir_.writeText("pics/wide.bmp", bmpFile(40, 20, RGB(0, 0, 255))));
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_IMAGE);
    EXPECT_EQ(app_->settings.imagePath, dir_.file("pics/"));
    EXPECT_EQ(front().left, 178 - 20) << "centred";
    const std::pair<int, std::pair<int, int>> scales[] = {
        {CMD_IMAGE_SCALE_100, {40, 20}},       {CMD_IMAGE_SCALE_25, {10, 10}},
        {CMD_IMAGE_SCALE_50, {20, 10}},        {CMD_IMAGE_SCALE_150, {60, 30}},
        {CMD_IMAGE_SCALE_200, {80, 40}},       {CMD_IMAGE_TRUE_SCALE, {55, 27}},
        {CMD_IMAGE_MAXIMUM_ASPECT, {356, 178}}}; // the body's width limits a 2:1 picture
    for (const auto& [command, expected] : scales) {
        window_->sendCommand(command);
        EXPECT_EQ(size(), expected) << command;
    }
    insertImage(dir_.writeText("pics/photo.JPG", test::greyJpeg(16, 8, 90)));
    ASSERT_EQ(count(), 2);
    EXPECT_EQ(size(), std::make_pair(16, 8));

    // The copy keeps its pixels when the image it was made from is deleted.
    window_->sendCommand(CMD_COPY_OBJECT);
    ASSERT_EQ(count(), 3);
    const std::vector<std::uint8_t> pixels = front().dib;
    SelectPlacedObject(*app_, *window_, 1);
    window_->sendCommand(CMD_DELETE_SELECTED);
    ASSERT_EQ(count(), 2);
    EXPECT_EQ(front().dib, pixels);

    // Damaged natural sizes: none at all, and one a factor would push past 32 bits.
    placeObject(OBJECT_IMAGE, {0, 0, 50, -50});
    SelectPlacedObject(*app_, *window_, 0);
    window_->sendCommand(CMD_IMAGE_MAXIMUM_ASPECT);
    EXPECT_EQ(size(), std::make_pair(10, 10));
    front().naturalRight = std::numeric_limits<std::int32_t>::max();
    window_->sendCommand(CMD_IMAGE_SCALE_200);
    EXPECT_EQ(front().right, std::numeric_limits<std::int32_t>::max());
    window_->sendCommand(CMD_DELETE_SELECTED);

    for (const char* name : {"bad.bmp", "bad.jpg"}) {
        requests_.clear();
        insertImage(dir_.writeText(name, "BM not really a picture"));
        EXPECT_EQ(count(), 2) << name;
        ASSERT_EQ(requests_.size(), 2u); // the file chooser, the message
        EXPECT_EQ(requests_.back().title, "Image Load Failure...");
        EXPECT_EQ(requests_.back().text,
                  "Couldn't load the image.\nFile may be corrupted, or extension incorrect.");
        EXPECT_EQ(requests_.back().flags & MB_ICONERROR, unsigned{MB_ICONERROR});
    }
}

TEST_F(ObjectEditingTest, InsertedStringsSizeToTheirTextInEveryOrientation) {
    auto typeAndTurn = [this](const char* text, int orientationIndex) {
        onStringDialog_ = [=](QDialog& dialog) {
            child<QPlainTextEdit>(dialog, "stringText")->setPlainText(QString::fromUtf8(text));
            child<QComboBox>(dialog, "orientation")->setCurrentIndex(orientationIndex);
            return int(QDialog::Accepted);
        };
    };
    typeAndTurn("Hello", 0);
    window_->sendCommand(CMD_INSERT_STRING);
    const auto [oneWidth, oneHeight] = size();
    typeAndTurn("Hello\nmuch wider line", 0);
    window_->sendCommand(CMD_INSERT_STRING);
    ASSERT_EQ(count(), 2);
    EXPECT_STREQ(front().text, "Hello\r\nmuch wider line");
    EXPECT_EQ(front().font, app_->currentLabel().spineFont);
    const auto [width, height] = size();
    EXPECT_GT(width, oneWidth);
    EXPECT_EQ(height - 5, 2 * (oneHeight - 5));
    for (int turn :
         {CMD_ORIENTATION_90, CMD_ORIENTATION_180, CMD_ORIENTATION_270, CMD_ORIENTATION_0}) {
        window_->sendCommand(turn);
        const bool across = turn == CMD_ORIENTATION_90 || turn == CMD_ORIENTATION_270;
        EXPECT_EQ(size(), across ? std::make_pair(height, width) : std::make_pair(width, height));
    }

    // The look carries over to the next string, the text does not; Cancel takes it out again.
    typeAndTurn("turned", 1);
    window_->sendCommand(CMD_INSERT_STRING);
    bool shown = false;
    onStringDialog_ = [&](QDialog& dialog) {
        shown = true;
        EXPECT_EQ(child<QPlainTextEdit>(dialog, "stringText")->toPlainText(), kNewStringText);
        EXPECT_EQ(child<QComboBox>(dialog, "orientation")->currentIndex(), 1);
        // Centred across the face and in the band above the spine strip.
        const auto [w, h] = size();
        EXPECT_EQ(front().left, 178 - w / 2);
        EXPECT_EQ(front().top, (FaceHeight(ONE_LABEL, 1) + 68) / 2 + h / 2);
        return int(QDialog::Rejected);
    };
    window_->sendCommand(CMD_INSERT_STRING);
    EXPECT_TRUE(shown);
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(app_->shell.selectedKind, SELECTED_NONE);
}

TEST_F(ObjectEditingTest, StringEntryDialogStoresOnOkAndRestoresOnCancel) {
    PlacedObject& string = placeObject(OBJECT_STRING, {50, -50, 150, -80});
    std::strcpy(string.text, "Old\r\ntext");
    string.font = app_->currentLabel().spineFont;
    string.orientation = 180;
    SelectPlacedObject(*app_, *window_, 0);
    const PlacedObject before = front();

    std::string applied;
    onStringDialog_ = [&](QDialog& dialog) {
        auto* edit = child<QPlainTextEdit>(dialog, "stringText");
        EXPECT_EQ(edit->toPlainText().toStdString(), "Old\ntext");
        EXPECT_EQ(child<QComboBox>(dialog, "orientation")->currentIndex(), 2);
        edit->setPlainText("\n\nNew\n");
        child<QComboBox>(dialog, "horizontalAlign")->setCurrentIndex(2);
        child<QPushButton>(dialog, "applyButton")->click(); // shows on the label at once
        applied = front().text + std::to_string(front().hAlign);
        return int(QDialog::Rejected);
    };
    window_->sendCommand(CMD_ENTER);
    processEvents();
    EXPECT_EQ(applied, "New2");
    EXPECT_STREQ(front().text, before.text) << "Cancel puts the record back";
    EXPECT_EQ(front().hAlign, before.hAlign);

    onStringDialog_ = [&](QDialog& dialog) {
        child<QPlainTextEdit>(dialog, "stringText")->setPlainText("\n\nNew\nlines\n\n");
        child<QComboBox>(dialog, "verticalAlign")->setCurrentIndex(2);
        child<QCheckBox>(dialog, "autoSize")->setChecked(true);
        return int(QDialog::Accepted);
    };
    window_->sendCommand(CMD_MODIFY_TEXT);
    EXPECT_STREQ(front().text, "New\r\nlines");
    EXPECT_EQ(front().vAlign, 2);
    EXPECT_EQ(front().autoSize, 1);
    EXPECT_NE(front().right, before.right) << "sized to the new text";

    onStringDialog_ = [&](QDialog& dialog) {
        child<QPlainTextEdit>(dialog, "stringText")->setPlainText("\n");
        return int(QDialog::Accepted);
    };
    window_->sendCommand(CMD_MODIFY_TEXT);
    EXPECT_STREQ(front().text, " ");
}

TEST_F(ObjectEditingTest, StyledLabelSavedAndReopenedLooksTheSame) {
    insertImage(dir_.writeText("photo.jpg", test::greyJpeg(24, 24, 90)));
    window_->sendCommand(CMD_IMAGE_SCALE_200);
    insertImage(dir_.writeText("packed.bmp", bmpFile(30, 30, RGB(0, 160, 0))));
    window_->sendCommand(CMD_LAYER_BELOW);
    std::tie(front().left, front().top, front().right, front().bottom) =
        std::tuple(20, -250, 50, -280);
    const POINT packedAt{35, -265};
    onStringDialog_ = [](QDialog&) { return int(QDialog::Accepted); };
    window_->sendCommand(CMD_INSERT_STRING);
    window_->sendCommand(CMD_ORIENTATION_270);
    window_->sendCommand(CMD_STRING_BACK_TRANSPARENT);
    window_->sendCommand(CMD_INSERT_STRING);
    window_->sendCommand(CMD_STRING_ALIGN_RIGHT);
    front().top = -20;
    front().textColor = RGB(200, 0, 0);
    front().backColor = RGB(255, 255, 0);
    SelectPlacedObject(*app_, *window_, -1);
    const QImage before = window_->renderLabelArea();
    const QPoint packed = faceToWindow(0, 1, packedAt) - window_->labelArea().topLeft();
    EXPECT_EQ(before.pixel(packed), qRgb(0, 160, 0)) << "the run-length picture paints";

    const std::string path = dir_.file("styled.PMB");
    ASSERT_TRUE(saveLabelFile(path, app_->currentLabel()));
    clearLabel(app_->currentLabel());
    ASSERT_EQ(loadLabelFile(path, app_->currentLabel()).status, LabelFileStatus::Loaded);
    ASSERT_EQ(count(), 4);
    window_->invalidateLabelArea();
    EXPECT_EQ(window_->renderLabelArea(), before);
}

// Inserting and copying stop at what a label file carries back: 4,096 objects, and a file
// within the reader's size cap. Each refusal says why and leaves the label as it was.
TEST_F(ObjectEditingTest, InsertAndCopyStopWhereALabelFileIsFull) {
    VAROINFO& label = app_->currentLabel();
    label.objects.resize(kMaxPlacedObjects - 1);
    for (PlacedObject& object : label.objects) {
        object.kind = OBJECT_STRING;
        object.page = 4; // off the face shown
    }
    onStringDialog_ = [](QDialog&) { return int(QDialog::Accepted); };
    window_->sendCommand(CMD_INSERT_STRING);
    ASSERT_EQ(count(), 4096);
    const std::string full = "The label already holds 4096 placed objects, the most a label "
                             "file can hold.";
    auto expectRefused = [&](const std::string& text, const char* what) {
        ASSERT_FALSE(requests_.empty()) << what;
        EXPECT_EQ(requests_.back().title, "Label Full") << what;
        EXPECT_EQ(requests_.back().text.rfind(text, 0), 0u) << requests_.back().text;
        requests_.clear();
    };
    requests_.clear();
    window_->sendCommand(CMD_INSERT_STRING);
    expectRefused(full, "insert string");
    SelectPlacedObject(*app_, *window_, 0);
    window_->sendCommand(CMD_COPY_OBJECT);
    expectRefused(full, "copy");
    const std::string photo = dir_.writeText("photo.jpg", test::greyJpeg(32, 32, 90));
    insertImage(photo);
    expectRefused(full, "insert image");
    EXPECT_EQ(count(), 4096);

    // The file-size cap: one picture fits exactly, its copy does not.
    SelectPlacedObject(*app_, *window_, -1);
    label.objects.clear();
    PlacedObject loaded;
    ASSERT_EQ(LoadImage(photo, loaded), 1);
    const std::uint64_t cap = labelFileBytes(label) + kObjectRecordBytes + loaded.dib.size() + 1;
    struct Restore {
        std::uint64_t cap;
        ~Restore() { replaceLabelFileByteCap(cap); }
    } restore{replaceLabelFileByteCap(cap)};
    insertImage(photo);
    EXPECT_EQ(count(), 1);
    window_->sendCommand(CMD_COPY_OBJECT);
    expectRefused("The label cannot take this object: the label file would take", "copy");
    EXPECT_EQ(count(), 1);
    const std::string path = dir_.file("full.PMB");
    EXPECT_TRUE(saveLabelFile(path, label));
    VAROINFO read;
    EXPECT_TRUE(loadLabelFile(path, read).complete);
    EXPECT_EQ(read.objectCount(), 1);
}

} // namespace
} // namespace pelmora::test
