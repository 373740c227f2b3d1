#include "gdi_test_util.h"
#include "platform/gdi/devices.h"

#include <gtest/gtest.h>

namespace pelmora::gdi {
namespace {

using test::countPixels;
using test::inkBounds;
using test::inkCentroid;
using test::makeFont;
using test::whiteImage;

constexpr QRgb kRed = 0xFFFF0000u;

// --- rotation in the y-up label mapping ---------------------------------------------------------

// A 400 x 400 image at 96 dpi in MM_LOENGLISH with the logical origin in the middle, so that
// the reference point (0, 0) is device pixel (200, 200).
struct YUpCanvas {
    QImage image = whiteImage(400, 400);
    std::unique_ptr<DeviceContext> dc = createImageDC(image);
    const QPointF reference{200, 200};

    YUpCanvas() {
        dc->SetMapMode(MM_LOENGLISH);
        dc->SetViewportOrgEx(200, 200);
        dc->SetBkMode(TRANSPARENT);
    }
    void draw(const char* text, int escapement) {
        dc->SelectObject(CreateFontIndirect(makeFont("Arial", -40, 0, escapement)));
        ASSERT_TRUE(dc->TextOut(0, 0, text));
    }
};

QPointF direction(int escapement) {
    // Where the text runs on the device in the y-up mapping: 90 down the page, 270 up it.
    switch (escapement) {
    case 900:
        return {0, 1};
    case 1800:
        return {-1, 0};
    case 2700:
        return {0, -1};
    default:
        return {1, 0};
    }
}

TEST(GdiTextRotation, LandsOnTheExpectedSideOfTheReferencePoint) {
    for (int escapement : {0, 900, 1800, 2700}) {
        SCOPED_TRACE(escapement);
        YUpCanvas canvas;
        canvas.draw("MMMMi", escapement);
        const QRect ink = inkBounds(canvas.image);
        ASSERT_FALSE(ink.isEmpty());
        const bool sideways = escapement == 900 || escapement == 2700;
        if (sideways) {
            EXPECT_GT(ink.height(), 2 * ink.width());
        } else {
            EXPECT_GT(ink.width(), 2 * ink.height());
        }
        // Top-left alignment: the text runs away from the reference point, its cell on the
        // glyphs' downward side.
        switch (escapement) {
        case 0: // right of and below the point
            EXPECT_GE(ink.left(), 199);
            EXPECT_GE(ink.top(), 199);
            break;
        case 900: // below and to the left
            EXPECT_GE(ink.top(), 199);
            EXPECT_LE(ink.right(), 201);
            break;
        case 1800: // left of and above
            EXPECT_LE(ink.right(), 201);
            EXPECT_LE(ink.bottom(), 201);
            break;
        case 2700: // above and to the right
            EXPECT_LE(ink.bottom(), 201);
            EXPECT_GE(ink.left(), 199);
            break;
        }
    }
}

TEST(GdiTextRotation, ReadsAwayFromTheReferencePoint) {
    // Heavy letters first, light dots after: the ink's centre of mass lies in the first half
    // of the text along its running direction.
    for (int escapement : {0, 900, 1800, 2700}) {
        SCOPED_TRACE(escapement);
        YUpCanvas canvas;
        canvas.draw("MMM.....", escapement);
        const QRect ink = inkBounds(canvas.image);
        const QPointF d = direction(escapement);
        const auto along = [&](QPointF p) { return QPointF::dotProduct(p - canvas.reference, d); };
        double far = 0;
        for (QPointF corner :
             {ink.topLeft(), ink.topRight(), ink.bottomLeft(), ink.bottomRight()}) {
            far = std::max(far, along(corner));
        }
        EXPECT_GT(far, 100);
        EXPECT_LT(along(inkCentroid(canvas.image)), 0.45 * far);
    }
}

TEST(GdiTextRotation, EscapementTurnsCounterClockwiseOnAPlainDevice) {
    // In MM_TEXT a font at 900 reads upward, its cell to the right of the reference point.
    QImage image = whiteImage(300, 300);
    auto dc = createImageDC(image);
    dc->SetBkMode(TRANSPARENT);
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -30, 0, 900)));
    dc->TextOut(150, 150, "MMMMi");
    const QRect ink = inkBounds(image);
    EXPECT_GT(ink.height(), 2 * ink.width());
    EXPECT_LE(ink.bottom(), 151);
    EXPECT_GE(ink.left(), 149);
}

TEST(GdiTextRotation, TextStaysUprightWhenTheYAxisPointsUp) {
    const auto render = [](bool yUp) {
        QImage image = whiteImage(200, 120);
        auto dc = createImageDC(image);
        if (yUp) {
            dc->SetMapMode(MM_ANISOTROPIC);
            dc->SetWindowExtEx(1, 1);
            dc->SetViewportExtEx(1, -1);
        }
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextAlign(TA_BASELINE);
        dc->SelectObject(CreateFontIndirect(makeFont("Arial", -30)));
        dc->TextOut(20, yUp ? -80 : 80, "Tgy");
        return image;
    };
    const QImage plain = render(false);
    EXPECT_FALSE(inkBounds(plain).isEmpty());
    EXPECT_EQ(render(true), plain);
}

// --- alignment and the current position --------------------------------------------------------

struct PlainCanvas {
    QImage image = whiteImage(300, 200);
    std::unique_ptr<DeviceContext> dc = createImageDC(image);

    explicit PlainCanvas(int height = -30) {
        dc->SetBkMode(TRANSPARENT);
        dc->SelectObject(CreateFontIndirect(makeFont("Arial", height)));
    }
};

TEST(GdiTextAlign, RightBottomAndCentreBaseline) {
    {
        PlainCanvas canvas;
        canvas.dc->SetTextAlign(TA_RIGHT | TA_BOTTOM);
        canvas.dc->TextOut(150, 100, "Mg");
        const QRect ink = inkBounds(canvas.image);
        EXPECT_LE(ink.right(), 150);
        EXPECT_GT(ink.right(), 140);
        EXPECT_LE(ink.bottom(), 100);
        EXPECT_GT(ink.bottom(), 95) << "the descender reaches the cell's bottom";
    }
    {
        PlainCanvas canvas;
        canvas.dc->SetTextAlign(TA_CENTER | TA_BASELINE);
        canvas.dc->TextOut(150, 100, "MMMM");
        const QRect ink = inkBounds(canvas.image);
        EXPECT_NEAR(ink.center().x(), 150, 2);
        EXPECT_NEAR(ink.bottom(), 99, 1); // M sits on the baseline
    }
}

TEST(GdiTextAlign, UpdateCpMovesTheCurrentPositionByTheExtent) {
    PlainCanvas canvas;
    SIZE extent;
    canvas.dc->GetTextExtentPoint32("AB", &extent);
    canvas.dc->MoveToEx(20, 50);
    canvas.dc->SetTextAlign(TA_UPDATECP);
    canvas.dc->TextOut(0, 0, "AB"); // the coordinates are ignored
    POINT cp;
    canvas.dc->GetCurrentPositionEx(&cp);
    EXPECT_EQ(cp, (POINT{20 + extent.cx, 50}));
    const QRect first = inkBounds(canvas.image);
    EXPECT_NEAR(first.left(), 21, 2);
    canvas.dc->TextOut(0, 0, "CD");
    EXPECT_GT(inkBounds(canvas.image).right(), first.right() + extent.cx / 2);

    canvas.dc->SetTextAlign(TA_UPDATECP | TA_RIGHT);
    canvas.dc->MoveToEx(200, 50);
    canvas.dc->TextOut(0, 0, "AB");
    canvas.dc->GetCurrentPositionEx(&cp);
    EXPECT_EQ(cp, (POINT{200 - extent.cx, 50}));
}

// --- background, clipping, spacing, colour -------------------------------------------------------

TEST(GdiTextBackground, OpaqueModeFillsTheTextCell) {
    PlainCanvas canvas(-20);
    canvas.dc->SetBkColor(RGB(255, 0, 0));
    canvas.dc->TextOut(10, 10, "Hi");
    EXPECT_EQ(countPixels(canvas.image, kRed), 0) << "transparent";

    canvas.image.fill(Qt::white);
    canvas.dc->SetBkMode(OPAQUE);
    canvas.dc->TextOut(10, 10, "Hi");
    SIZE extent;
    canvas.dc->GetTextExtentPoint32("Hi", &extent);
    const QRect cell(10, 10, extent.cx, extent.cy);
    EXPECT_GT(countPixels(canvas.image, kRed, cell), cell.width() * cell.height() / 2);
    EXPECT_EQ(countPixels(canvas.image, kRed), countPixels(canvas.image, kRed, cell));
}

TEST(GdiTextBackground, EtoOpaqueFillsTheRectangleWithoutText) {
    PlainCanvas canvas;
    canvas.dc->SetBkColor(RGB(255, 0, 0));
    const RECT rect{30, 40, 70, 60};
    EXPECT_TRUE(canvas.dc->ExtTextOut(30, 40, ETO_OPAQUE, &rect, ""));
    EXPECT_EQ(countPixels(canvas.image, kRed), 40 * 20);
    EXPECT_EQ(countPixels(canvas.image, kRed, QRect(30, 40, 40, 20)), 40 * 20);
}

TEST(GdiTextClipping, EtoClippedKeepsInkInsideTheRectangle) {
    const char* text = "A long file name that does not fit";
    {
        PlainCanvas canvas;
        const RECT rect{10, 10, 80, 60};
        canvas.dc->ExtTextOut(10, 10, ETO_CLIPPED, &rect, text);
        const QRect ink = inkBounds(canvas.image);
        EXPECT_FALSE(ink.isEmpty());
        EXPECT_TRUE(QRect(10, 10, 70, 50).contains(ink));
        EXPECT_GE(ink.right(), 74) << "text runs up to the rectangle's right edge";
    }
    {
        PlainCanvas canvas;
        const RECT rect{10, 10, 80, 60};
        canvas.dc->ExtTextOut(10, 10, 0, &rect, text);
        EXPECT_GT(inkBounds(canvas.image).right(), 200) << "without ETO_CLIPPED";
    }
    {
        // In the y-up mapping the rectangle's top is above its bottom; it is normalised.
        PlainCanvas canvas;
        canvas.dc->SetMapMode(MM_ANISOTROPIC);
        canvas.dc->SetViewportExtEx(1, -1);
        const RECT rect{10, -10, 80, -60};
        canvas.dc->ExtTextOut(10, -10, ETO_CLIPPED, &rect, text);
        EXPECT_TRUE(QRect(10, 10, 70, 50).contains(inkBounds(canvas.image)));
    }
    {
        // The clip region and the rectangle both apply.
        PlainCanvas canvas;
        canvas.dc->SelectClipRgn(CreateRectRgn(0, 0, 50, 200));
        const RECT rect{10, 10, 80, 60};
        canvas.dc->ExtTextOut(10, 10, ETO_CLIPPED, &rect, text);
        EXPECT_LE(inkBounds(canvas.image).right(), 49);
    }
}

TEST(GdiTextSpacing, CharacterExtraSpreadsTheGlyphs) {
    const auto inkWidth = [](int extra) {
        PlainCanvas canvas;
        canvas.dc->SetTextCharacterExtra(extra);
        canvas.dc->TextOut(10, 10, "iiii");
        return inkBounds(canvas.image).width();
    };
    EXPECT_NEAR(inkWidth(5) - inkWidth(0), 15, 1); // three gaps between four glyphs
}

TEST(GdiTextColour, GlyphsTakeTheTextColour) {
    PlainCanvas canvas;
    canvas.dc->SetTextColor(RGB(0, 0, 255));
    canvas.dc->TextOut(10, 10, "HHH");
    EXPECT_GT(countPixels(canvas.image, 0xFF0000FFu), 30);
    EXPECT_EQ(countPixels(canvas.image, 0xFF000000u), 0);
}

} // namespace
} // namespace pelmora::gdi
