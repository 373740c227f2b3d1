// Faces and placed objects, read back from a recording device context and from pixels of
// images painted at 100 dpi (one label unit per pixel at window scale 1).

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/face_painter.h"
#include "render/geometry.h"
#include "render/object_painter.h"
#include "render/paint_settings.h"
#include "render/text.h"
#include "render/view_state.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using gdi::DrawRecord;

constexpr QRgb kWhite = 0xFFFFFFFFu;

// A 24-bit DIB of one colour, w x h pixels, bottom-up.
std::vector<std::uint8_t> solidDib(int w, int h, QRgb color) {
    const int rowBytes = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> dib(40 + static_cast<std::size_t>(rowBytes * h), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(w));
    put32(8, static_cast<std::uint32_t>(h));
    dib[12] = 1;
    dib[14] = 24;
    put32(20, static_cast<std::uint32_t>(rowBytes * h));
    put32(24, 2835);
    put32(28, 2835);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &dib[40 + static_cast<std::size_t>(y * rowBytes + x * 3)];
            p[0] = static_cast<std::uint8_t>(qBlue(color));
            p[1] = static_cast<std::uint8_t>(qGreen(color));
            p[2] = static_cast<std::uint8_t>(qRed(color));
        }
    }
    return dib;
}

PlacedObject imageObject(int left, int top, int right, int bottom, QRgb color) {
    PlacedObject o;
    o.kind = OBJECT_IMAGE;
    o.page = 1;
    o.layer = 1;
    o.left = left;
    o.top = top;
    o.right = right;
    o.bottom = bottom;
    o.dib = solidDib(4, 4, color);
    o.fileHeader.bfType = 0x4D42;
    o.fileHeader.bfOffBits = 54;
    o.fileHeader.bfSize = static_cast<std::uint32_t>(o.dib.size() + 14);
    return o;
}

PlacedObject stringObject(const char* text, int left, int top, int right, int bottom) {
    PlacedObject o;
    o.kind = OBJECT_STRING;
    o.page = 1;
    o.layer = 1;
    o.left = left;
    o.top = top;
    o.right = right;
    o.bottom = bottom;
    std::strcpy(o.text, text);
    o.font.lfHeight = -20;
    std::strcpy(o.font.lfFaceName, "Arial");
    return o;
}

class PainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedView_ = theView;
        savedSettings_ = thePaintSettings;
        theView = ViewState{};
        theView.viewOriginX = 0;
        theView.viewOriginY = 0;
        thePaintSettings = PaintSettings{};
        std::strcpy(thePaintSettings.spineInitials, "PM");
        std::strcpy(thePaintSettings.spineNumber, "120");
        labels_.labels[0].fileFont.lfHeight = -11;
        labels_.labels[0].folderFont.lfHeight = -11;
        labels_.labels[0].commentFont.lfHeight = -11;
        labels_.labels[0].spineFont.lfHeight = -19;
        for (LOGFONTA* f :
             {&label().fileFont, &label().folderFont, &label().commentFont, &label().spineFont}) {
            std::strcpy(f->lfFaceName, "Arial");
        }
        label().fileFontHeight = 13;
        label().folderFontHeight = 13;
        std::strcpy(label().volumeName, "BACKUP");
        label().comment[0] = '\0';
    }
    void TearDown() override {
        theView = savedView_;
        thePaintSettings = savedSettings_;
    }

    VAROINFO& label() { return labels_.labels[0]; }

    // The front face at 100 dpi, placed at the image's top-left corner.
    QImage paintFront(int zoomed = 1) {
        QImage image(400, 450, QImage::Format_RGB32);
        image.setDotsPerMeterX(3937);
        image.setDotsPerMeterY(3937);
        image.fill(kWhite);
        auto dc = gdi::createImageDC(image);
        PlaceFace(zoomed, 1, 0, label());
        PaintFace(*dc, zoomed, 1, label());
        return image;
    }

    std::vector<DrawRecord> record(int zoomed = 1, bool selected = false) {
        std::vector<DrawRecord> records;
        auto dc = gdi::createRecordingDC(gdi::displayCaps(), records);
        PaintWindowFaces(*dc, labels_, 0, zoomed, selected);
        return records;
    }

    static std::vector<std::string> texts(const std::vector<DrawRecord>& records) {
        std::vector<std::string> out;
        for (const DrawRecord& r : records) {
            if (r.kind == DrawRecord::Kind::Text) {
                out.push_back(r.text);
            }
        }
        return out;
    }

    LabelSet labels_;
    ViewState savedView_;
    PaintSettings savedSettings_;
};

TEST_F(PainterTest, BackgroundsAndGreenLogoBoxInPixels) {
    label().bodyBackColor = RGB(255, 255, 200);
    label().spineBackColor = RGB(200, 200, 255);
    label().colorLogo = 1;
    label().columns = 0;
    QImage image = paintFront();
    EXPECT_EQ(image.pixel(200, 200), qRgb(255, 255, 200)); // body
    EXPECT_EQ(image.pixel(300, 378), qRgb(200, 200, 255)); // spine, right of its text
    EXPECT_EQ(image.pixel(200, 420), qRgb(255, 255, 200)); // band below the spine
    int green = 0;
    for (int x = 0; x < 120; ++x) {
        for (int y = 370; y < 387; ++y) {
            green += image.pixel(x, y) == qRgb(0, 128, 0);
        }
    }
    EXPECT_GT(green, 40);

    label().colorLogo = 0;
    QImage gray = paintFront();
    int grayPixels = 0;
    for (int x = 0; x < 120; ++x) {
        for (int y = 370; y < 387; ++y) {
            grayPixels += gray.pixel(x, y) == qRgb(128, 128, 128);
            EXPECT_NE(gray.pixel(x, y), qRgb(0, 128, 0));
        }
    }
    EXPECT_GT(grayPixels, 40);
}

TEST_F(PainterTest, SpineTextStartsAfterTheLogoOrEightUnitsIn) {
    label().columns = 0;
    label().showLogo = 0;
    auto records = record();
    auto spine = std::find_if(records.begin(), records.end(),
                              [](const DrawRecord& r) { return r.text == "BACKUP"; });
    ASSERT_NE(spine, records.end());
    EXPECT_EQ(spine->logicalRect.left, 0 + 8 - 2); // clip = rectangle grown by 2
    EXPECT_EQ(texts(records), std::vector<std::string>{"BACKUP"});

    label().showLogo = 1;
    records = record();
    EXPECT_EQ(texts(records), (std::vector<std::string>{"PM", "120", "BACKUP"}));
    const DrawRecord& number = records[static_cast<std::size_t>(
        std::find_if(records.begin(), records.end(),
                     [](const DrawRecord& r) { return r.text == "120"; }) -
        records.begin())];
    EXPECT_EQ(number.font.lfEscapement, 2700);
    EXPECT_EQ(number.color, RGB(255, 255, 255));
    spine = std::find_if(records.begin(), records.end(),
                         [](const DrawRecord& r) { return r.text == "BACKUP"; });
    EXPECT_GT(spine->logicalRect.left, 20);
}

TEST_F(PainterTest, BorderIsGrayOnScreenWithoutBorderAndAbsentInPrint) {
    label().columns = 0;
    thePaintSettings.borderIndex = kNoBorder;
    auto rects = record();
    auto border = std::find_if(rects.rbegin(), rects.rend(), [](const DrawRecord& r) {
        return r.kind == DrawRecord::Kind::Rectangle;
    });
    ASSERT_NE(border, rects.rend());
    EXPECT_EQ(border->color, RGB(192, 192, 192));
    EXPECT_EQ(border->logicalRect, (RECT{0, 0, 356, -431}));

    theView.printing = 1;
    rects = record();
    border = std::find_if(rects.rbegin(), rects.rend(), [](const DrawRecord& r) {
        return r.kind == DrawRecord::Kind::Rectangle;
    });
    EXPECT_EQ(border->penStyle, gdi::PS_NULL);

    thePaintSettings.borderIndex = 0;
    QImage image = paintFront();
    EXPECT_EQ(image.pixel(0, 200), qRgb(0, 0, 0)); // a solid line on the left edge
}

TEST_F(PainterTest, LayersAndOverlapsPaintInOrder) {
    label().columns = 1;
    label().entries.resize(1);
    std::strcpy(label().entries[0].name, "listed.txt");
    label().layoutValid = 0;
    PlacedObject below = stringObject("below", 10, -100, 100, -130);
    below.layer = -1;
    PlacedObject top = stringObject("front", 10, -50, 100, -80);
    PlacedObject back = stringObject("back", 20, -55, 110, -85);
    label().objects = {top, back, below};
    auto order = texts(record());
    auto at = [&](const char* t) {
        return std::find(order.begin(), order.end(), t) - order.begin();
    };
    EXPECT_LT(at("below"), at("listed.txt"));
    EXPECT_LT(at("listed.txt"), at("back"));
    EXPECT_LT(at("back"), at("front")); // element 0 last, on top
}

TEST_F(PainterTest, ImagesAreCutAtTheFaceEdge) {
    label().columns = 0;
    label().objects = {imageObject(300, -100, 420, -200, qRgb(255, 0, 0))};
    QImage zoomed = paintFront(1);
    EXPECT_EQ(zoomed.pixel(320, 150), qRgb(255, 0, 0));
    EXPECT_NE(zoomed.pixel(370, 150), qRgb(255, 0, 0)); // past the face's right edge (356)
    // The stretched corners: 300..420 x 100..200 becomes the image's corner pixels.
    EXPECT_EQ(zoomed.pixel(301, 101), qRgb(255, 0, 0));
    EXPECT_EQ(zoomed.pixel(301, 198), qRgb(255, 0, 0));

    QImage overview = paintFront(0);
    EXPECT_EQ(overview.pixel(165, 75), qRgb(255, 0, 0));
    EXPECT_NE(overview.pixel(185, 75), qRgb(255, 0, 0)); // half face ends at 178
}

TEST_F(PainterTest, AutoSizedStringShowsTheOutlineWithoutHandles) {
    label().columns = 0;
    PlacedObject s = stringObject("auto", 10, -50, 100, -80);
    s.autoSize = 1;
    label().objects = {s};
    auto records = record(1, true);
    std::vector<DrawRecord> rects;
    for (const DrawRecord& r : records) {
        if (r.kind == DrawRecord::Kind::Rectangle) {
            rects.push_back(r);
        }
    }
    ASSERT_GE(rects.size(), 2u);
    EXPECT_EQ(rects.back().color, RGB(0, 255, 0));
    EXPECT_EQ(rects.back().logicalRect, (RECT{10, -50, 100, -80}));
    EXPECT_TRUE(std::none_of(rects.begin(), rects.end(),
                             [](const DrawRecord& r) { return r.rop2 == gdi::R2_NOT; }));
}

TEST_F(PainterTest, HandlesAreInvertedSquaresInTheirNumberedOrder) {
    label().columns = 0;
    label().objects = {imageObject(10, -50, 110, -150, qRgb(0, 0, 255))};
    auto records = record(1, true);
    std::vector<RECT> handles;
    for (const DrawRecord& r : records) {
        if (r.kind == DrawRecord::Kind::Rectangle && r.rop2 == gdi::R2_NOT) {
            handles.push_back(r.logicalRect);
        }
    }
    const auto expected = HandleRects(RECT{10, -50, 110, -150});
    ASSERT_EQ(handles.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(handles[i], expected[i]) << "handle " << i;
    }
    EXPECT_EQ(expected[4], (RECT{56, -50, 64, -58}));  // top-middle
    EXPECT_EQ(expected[6], (RECT{10, -96, 18, -104})); // left-middle
}

TEST_F(PainterTest, QuadLabelPageHints) {
    theView.format = QUAD_LABEL;
    label().columns = 0;
    const std::vector<std::vector<std::string>> expected = {
        {"( Up To Page 2 )"},
        {"( Down To Page 1 )", "( Up To Page 3 )"},
        {"( Down To Page 2 )", "( Up To Page 4 )"},
        {"( Down To Page 3 )"},
    };
    for (int position = 1; position <= 4; ++position) {
        theView.position = position;
        std::vector<std::string> hints;
        for (const std::string& t : texts(record())) {
            if (t.rfind("( ", 0) == 0) {
                hints.push_back(t);
            }
        }
        EXPECT_EQ(hints, expected[static_cast<std::size_t>(position - 1)]) << position;
    }
}

// The body backgrounds of every face an overview paints, in painting order.
TEST_F(PainterTest, OverviewsPaintEveryFaceAtItsPlace) {
    for (VAROINFO& l : labels_.labels) {
        l.columns = 0;
        l.fileFont = label().fileFont;
        l.spineFont = label().spineFont;
    }
    auto faceFills = [&] {
        std::vector<RECT> fills;
        for (const DrawRecord& r : record(0)) {
            if (r.kind == DrawRecord::Kind::FillRect &&
                (r.logicalRect.right - r.logicalRect.left) == 178 &&
                r.logicalRect.top - r.logicalRect.bottom > 100) { // faces, not spines
                fills.push_back(r.logicalRect);
            }
        }
        return fills;
    };
    theView.format = FOUR_LABELS;
    EXPECT_EQ(
        faceFills(),
        (std::vector<RECT>{
            {0, 0, 178, -215}, {177, 0, 355, -215}, {0, -214, 178, -429}, {177, -214, 355, -429}}));
    theView.format = TWO_FOLD_OUT; // page 2 on top, page 1 below it, label 1 to the right
    EXPECT_EQ(faceFills(), (std::vector<RECT>{{0, -18, 178, -193},
                                              {0, -192, 178, -407},
                                              {177, -18, 355, -193},
                                              {177, -192, 355, -407}}));
    theView.format = QUAD_LABEL; // positions 3, 4, 2, 1
    EXPECT_EQ(faceFills(), (std::vector<RECT>{{0, -30, 178, -205},
                                              {0, -204, 178, -379},
                                              {177, -30, 355, -205},
                                              {177, -204, 355, -419}}));
}

TEST_F(PainterTest, StringTurnedTo270ReadsUpward) {
    label().columns = 0;
    label().showLogo = 0;
    label().volumeName[0] = '\0';
    PlacedObject s = stringObject("W..............", 100, -20, 160, -300);
    s.orientation = 270;
    label().objects = {s};
    QImage image = paintFront();
    // Ink of the string only: inside its outline.
    int top = 1000;
    int bottom = -1;
    int wideRowTop = -1;
    for (int y = 20; y < 300; ++y) {
        int inRow = 0;
        for (int x = 100; x < 160; ++x) {
            inRow += qGray(image.pixel(x, y)) < 128;
        }
        if (inRow > 0) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        if (inRow > 0 && wideRowTop < 0 && y > 200) {
            wideRowTop = y;
        }
    }
    ASSERT_GT(bottom, top);
    EXPECT_GT(bottom - top, 60); // runs along y
    // Reading upward, the first character "W" is at the bottom: the lowest ink rows are the
    // widest (W spans the full glyph height), the dots above are thin.
    int lowWidth = 0;
    int highWidth = 0;
    for (int x = 100; x < 160; ++x) {
        lowWidth += qGray(image.pixel(x, bottom - 3)) < 128;
        highWidth += qGray(image.pixel(x, top + 2)) < 128;
    }
    EXPECT_GT(lowWidth, highWidth);
}

} // namespace
} // namespace pelmora
