#include "gdi_test_util.h"
#include "platform/gdi/devices.h"

#include <QPainter>
#include <QPicture>
#include <gtest/gtest.h>

namespace pelmora::gdi {
namespace {

using test::countPixels;
using test::inkBounds;
using test::whiteImage;

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;

// One row of an image as text: '#' black, 'r' red, 'b' blue, '.' white, '?' anything else.
std::string row(const QImage& image, int y, int from, int to) {
    std::string out;
    for (int x = from; x < to; ++x) {
        const QRgb p = image.pixel(x, y);
        out += p == kBlack        ? '#'
               : p == kRed        ? 'r'
               : p == kBlue       ? 'b'
               : p == 0xFFFFFFFFu ? '.'
                                  : '?';
    }
    return out;
}

// --- FillRect and Rectangle edges ------------------------------------------------------------

TEST(GdiFillRect, ExcludesTheRightAndBottomEdges) {
    QImage image = whiteImage(20, 20);
    auto dc = createImageDC(image);
    EXPECT_TRUE(dc->FillRect(RECT{2, 3, 10, 8}, CreateSolidBrush(RGB(255, 0, 0))));
    EXPECT_EQ(inkBounds(image), QRect(QPoint(2, 3), QPoint(9, 7)));
    EXPECT_EQ(countPixels(image, kRed), 8 * 5);

    // Corners given the other way round are normalised; the hollow brush fills nothing.
    image.fill(Qt::white);
    dc->FillRect(RECT{10, 8, 2, 3}, CreateSolidBrush(RGB(255, 0, 0)));
    EXPECT_EQ(countPixels(image, kRed), 8 * 5);
    image.fill(Qt::white);
    EXPECT_TRUE(dc->FillRect(RECT{2, 3, 10, 8}, GetStockBrush(NULL_BRUSH)));
    EXPECT_TRUE(inkBounds(image).isEmpty());
    EXPECT_FALSE(dc->FillRect(RECT{2, 3, 10, 8}, nullptr));
}

TEST(GdiFillRect, YUpMappingFillsTheSameDevicePixels) {
    QImage image = whiteImage(40, 40);
    auto dc = createImageDC(image);
    dc->SetMapMode(MM_LOENGLISH); // 96 dpi: 100 units = 96 px
    dc->SetViewportOrgEx(0, 0);
    dc->FillRect(RECT{0, 0, 25, -25}, CreateSolidBrush(RGB(255, 0, 0))); // 24 x 24 px
    EXPECT_EQ(inkBounds(image), QRect(0, 0, 24, 24));
}

TEST(GdiRectangle, OutlineOnTheEdgePixelsFillInside) {
    QImage image = whiteImage(14, 12);
    auto dc = createImageDC(image);
    dc->SelectObject(CreateSolidBrush(RGB(255, 0, 0)));
    EXPECT_TRUE(dc->Rectangle(2, 2, 10, 8));
    EXPECT_EQ(row(image, 1, 0, 12), "............");
    EXPECT_EQ(row(image, 2, 0, 12), "..########..");
    EXPECT_EQ(row(image, 4, 0, 12), "..#rrrrrr#..");
    EXPECT_EQ(row(image, 7, 0, 12), "..########..");
    EXPECT_EQ(row(image, 8, 0, 12), "............");
}

TEST(GdiRectangle, NullPenFillsOnePixelLessNullBrushLeavesTheInside) {
    QImage image = whiteImage(14, 12);
    auto dc = createImageDC(image);
    dc->SelectObject(CreateSolidBrush(RGB(255, 0, 0)));
    dc->SelectObject(GetStockPen(NULL_PEN));
    dc->Rectangle(2, 2, 10, 8);
    EXPECT_EQ(inkBounds(image), QRect(QPoint(2, 2), QPoint(8, 6)));

    image.fill(Qt::white);
    dc->SelectObject(GetStockPen(BLACK_PEN));
    dc->SelectObject(GetStockBrush(NULL_BRUSH));
    dc->Rectangle(2, 2, 10, 8);
    EXPECT_EQ(row(image, 4, 0, 12), "..#......#..");
}

TEST(GdiRectangle, WidePenIsCentredOnTheOutline) {
    QImage image = whiteImage(20, 20);
    auto dc = createImageDC(image);
    dc->SelectObject(CreatePen(PS_SOLID, 3, RGB(0, 0, 0)));
    dc->SelectObject(GetStockBrush(NULL_BRUSH));
    dc->Rectangle(5, 5, 15, 15);
    EXPECT_EQ(row(image, 10, 0, 20), "....###......###....");
}

// --- lines and pens ---------------------------------------------------------------------------

TEST(GdiLine, EndPointIsNotDrawnAndThePositionMoves) {
    QImage image = whiteImage(20, 10);
    auto dc = createImageDC(image);
    POINT previous;
    dc->MoveToEx(2, 5, &previous);
    EXPECT_EQ(previous, (POINT{0, 0}));
    EXPECT_TRUE(dc->LineTo(12, 5));
    EXPECT_EQ(row(image, 5, 0, 14), "..##########..");
    POINT cp;
    dc->GetCurrentPositionEx(&cp);
    EXPECT_EQ(cp, (POINT{12, 5}));

    // Continuing from there; a line to the current point draws nothing.
    dc->LineTo(12, 9);
    EXPECT_EQ(row(image, 8, 11, 14), ".#.");
    EXPECT_EQ(row(image, 9, 11, 14), "...");
    image.fill(Qt::white);
    dc->LineTo(12, 9);
    EXPECT_TRUE(inkBounds(image).isEmpty());
}

TEST(GdiPen, WidthZeroIsOnePixelOtherWidthsScale) {
    const auto thickness = [](int penWidth, bool loEnglish) {
        QImage image = whiteImage(200, 100, loEnglish ? 300 : 96);
        auto dc = createImageDC(image);
        if (loEnglish) {
            dc->SetMapMode(MM_LOENGLISH);
        }
        dc->SelectObject(CreatePen(PS_SOLID, penWidth, RGB(0, 0, 0)));
        dc->MoveToEx(10, loEnglish ? -10 : 50);
        dc->LineTo(50, loEnglish ? -10 : 50);
        return inkBounds(image).height();
    };
    EXPECT_EQ(thickness(0, false), 1);
    EXPECT_EQ(thickness(1, false), 1);
    EXPECT_EQ(thickness(4, false), 4);
    EXPECT_EQ(thickness(0, true), 1); // still one device pixel at 300 dpi
    EXPECT_EQ(thickness(2, true), 6); // two hundredths of an inch
}

TEST(GdiPen, DashedStylesDifferFromSolidAndFromEachOther) {
    std::vector<std::string> rows;
    for (int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL}) {
        QImage image = whiteImage(100, 5);
        auto dc = createImageDC(image);
        dc->SetBkMode(TRANSPARENT);
        dc->SelectObject(CreatePen(style, 0, RGB(0, 0, 0)));
        dc->MoveToEx(0, 2);
        dc->LineTo(100, 2);
        rows.push_back(row(image, 2, 0, 100));
    }
    EXPECT_EQ(rows[0], std::string(100, '#'));
    EXPECT_EQ(rows[1].substr(0, 24), std::string(18, '#') + std::string(6, '.'));
    EXPECT_EQ(rows[2].substr(0, 12), "###...###...");
    EXPECT_EQ(rows[3].substr(0, 24), "#########......###......");
    EXPECT_EQ(rows[4].substr(0, 24), "#########...###...###...");
    EXPECT_EQ(rows[5], std::string(100, '.'));
}

TEST(GdiPen, OpaqueBackgroundFillsTheGaps) {
    QImage image = whiteImage(40, 5);
    auto dc = createImageDC(image);
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(RGB(255, 0, 0));
    dc->SelectObject(CreatePen(PS_DOT, 0, RGB(0, 0, 0)));
    dc->MoveToEx(0, 2);
    dc->LineTo(12, 2);
    EXPECT_EQ(row(image, 2, 0, 13), "###rrr###rrr.");
}

TEST(GdiPen, WideStyledPensDrawSolid) {
    QImage image = whiteImage(100, 10);
    auto dc = createImageDC(image);
    dc->SelectObject(CreatePen(PS_DOT, 2, RGB(0, 0, 0)));
    dc->MoveToEx(10, 5);
    dc->LineTo(90, 5);
    EXPECT_EQ(row(image, 5, 12, 88), std::string(76, '#'));
}

// --- raster operations ------------------------------------------------------------------------

QImage colourful() {
    QImage image = whiteImage(30, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            image.setPixel(x, y, qRgb(x * 8, y * 8, 100));
        }
    }
    return image;
}

TEST(GdiRop2, NotInvertsRectanglesAndLinesAndTwiceRestores) {
    QImage image = colourful();
    const QImage original = image;
    auto dc = createImageDC(image);
    EXPECT_EQ(dc->SetROP2(R2_NOT), R2_COPYPEN);
    dc->SelectObject(GetStockBrush(BLACK_BRUSH));
    dc->Rectangle(5, 5, 13, 13);
    // Every covered pixel inverted exactly once, outline and inside alike.
    for (QPoint p : {QPoint(5, 5), QPoint(12, 12), QPoint(8, 9)}) {
        EXPECT_EQ(image.pixel(p), 0xFF000000u | (~original.pixel(p) & 0xFFFFFFu)) << p.x();
    }
    EXPECT_EQ(image.pixel(13, 13), original.pixel(13, 13));
    EXPECT_EQ(image.pixel(4, 5), original.pixel(4, 5));

    dc->MoveToEx(0, 20);
    dc->LineTo(25, 20);
    EXPECT_EQ(image.pixel(3, 20), 0xFF000000u | (~original.pixel(3, 20) & 0xFFFFFFu));
    EXPECT_EQ(image.pixel(25, 20), original.pixel(25, 20));

    // The same shapes again give the original back.
    dc->Rectangle(5, 5, 13, 13);
    dc->MoveToEx(0, 20);
    dc->LineTo(25, 20);
    EXPECT_EQ(image, original);
}

TEST(GdiRop2, NotWithADashedOpaquePenInvertsTheWholeLine) {
    QImage image = colourful();
    const QImage original = image;
    auto dc = createImageDC(image);
    dc->SetROP2(R2_NOT);
    dc->SetBkMode(OPAQUE);
    dc->SelectObject(CreatePen(PS_DASH, 0, RGB(0, 0, 0)));
    dc->MoveToEx(0, 4);
    dc->LineTo(30, 4);
    for (int x = 0; x < 30; ++x) {
        EXPECT_EQ(image.pixel(x, 4), 0xFF000000u | (~original.pixel(x, 4) & 0xFFFFFFu)) << x;
    }
}

TEST(GdiRop2, FillRectCopiesWhateverTheRop2) {
    // FillRect is a pattern copy in GDI; the mix mode only governs pens and shape interiors.
    QImage image = colourful();
    auto dc = createImageDC(image);
    dc->SetROP2(R2_NOT);
    dc->FillRect(RECT{0, 0, 10, 10}, CreateSolidBrush(RGB(255, 0, 0)));
    EXPECT_EQ(countPixels(image, kRed), 100);
}

TEST(GdiRop2, DevicesWithoutRasterOpsLeaveInvertedShapesOut) {
    // A vector device (here a QPicture, as PDF) would paint the shape black instead.
    QPicture picture;
    {
        QPainter painter(&picture);
        auto dc = createPainterDC(painter, displayCaps());
        dc->SelectObject(GetStockBrush(BLACK_BRUSH));
        dc->SetROP2(R2_NOT);
        dc->Rectangle(2, 2, 10, 10);
        dc->SetROP2(R2_COPYPEN);
        dc->Rectangle(20, 2, 28, 10);
    }
    QImage image = whiteImage(40, 20);
    QPainter replay(&image);
    replay.drawPicture(0, 0, picture);
    replay.end();
    EXPECT_EQ(inkBounds(image), QRect(20, 2, 8, 8));
}

// --- clipping ---------------------------------------------------------------------------------

TEST(GdiClip, SelectIntersectAndRemove) {
    QImage image = whiteImage(40, 40);
    auto dc = createImageDC(image);
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HRGN current;
    EXPECT_EQ(dc->GetClipRgn(&current), 0);

    // AND with no clip in force sets it.
    EXPECT_EQ(dc->ExtSelectClipRgn(CreateRectRgn(5, 5, 30, 30), RGN_AND), SIMPLEREGION);
    EXPECT_EQ(dc->ExtSelectClipRgn(CreateRectRgn(20, 0, 40, 25), RGN_AND), SIMPLEREGION);
    ASSERT_EQ(dc->GetClipRgn(&current), 1);
    EXPECT_EQ(current->deviceRect, (RECT{20, 5, 30, 25}));
    dc->FillRect(RECT{0, 0, 40, 40}, red);
    EXPECT_EQ(inkBounds(image), QRect(QPoint(20, 5), QPoint(29, 24)));

    // Clips are device rectangles: the mapping does not move them.
    image.fill(Qt::white);
    dc->SetMapMode(MM_LOENGLISH);
    dc->FillRect(RECT{0, 0, 100, -100}, red);
    EXPECT_EQ(inkBounds(image), QRect(QPoint(20, 5), QPoint(29, 24)));
    dc->SetMapMode(MM_TEXT);

    // Disjoint rectangles leave nothing; a null region removes the clip.
    EXPECT_EQ(dc->ExtSelectClipRgn(CreateRectRgn(0, 30, 10, 40), RGN_AND), NULLREGION);
    image.fill(Qt::white);
    dc->FillRect(RECT{0, 0, 40, 40}, red);
    EXPECT_TRUE(inkBounds(image).isEmpty());
    EXPECT_EQ(dc->ExtSelectClipRgn(nullptr, RGN_AND), RGN_ERROR);
    dc->SelectClipRgn(nullptr);
    EXPECT_EQ(dc->GetClipRgn(&current), 0);
    dc->FillRect(RECT{0, 0, 40, 40}, red);
    EXPECT_EQ(countPixels(image, kRed), 1600);
}

TEST(GdiClip, ClipsLinesRectanglesAndKeepsThePaintersOwnClip) {
    QImage image = whiteImage(40, 40);
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 20, 40)); // a window's update region, say
    auto dc = createPainterDC(painter, displayCaps());
    dc->SelectClipRgn(CreateRectRgn(10, 0, 40, 40));
    dc->SelectObject(CreateSolidBrush(RGB(0, 0, 255)));
    dc->Rectangle(0, 0, 40, 20);
    dc->MoveToEx(0, 30);
    dc->LineTo(40, 30);
    painter.end();
    EXPECT_EQ(row(image, 10, 8, 22), "..bbbbbbbbbb..");
    EXPECT_EQ(row(image, 30, 8, 22), "..##########..");
}

} // namespace
} // namespace pelmora::gdi
