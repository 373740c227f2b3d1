#include "gdi_test_util.h"
#include "platform/gdi/devices.h"

#include <gtest/gtest.h>

namespace pelmora::gdi {
namespace {

using test::makeFont;
using test::whiteImage;

// --- saved states -------------------------------------------------------------------------------

TEST(GdiSaveRestore, RestoresMappingObjectsClipAndTextSettings) {
    auto dc = createInformationContext(displayCaps());
    const HFONT font = CreateFontIndirect(makeFont("Arial", -11));
    const HPEN pen = CreatePen(PS_DASH, 0, RGB(1, 2, 3));
    const HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    dc->SelectObject(font);
    dc->SelectObject(pen);
    dc->SelectObject(brush);
    dc->SetTextColor(RGB(7, 8, 9));
    dc->MoveToEx(3, 4);
    EXPECT_EQ(dc->SaveDC(), 1);

    dc->SetMapMode(MM_LOENGLISH);
    dc->SetViewportOrgEx(10, 10);
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -30)));
    dc->SelectObject(GetStockPen(NULL_PEN));
    dc->SelectObject(GetStockBrush(NULL_BRUSH));
    dc->SetTextAlign(TA_RIGHT | TA_BOTTOM);
    dc->SetTextColor(RGB(255, 0, 0));
    dc->SetBkMode(TRANSPARENT);
    dc->SetBkColor(RGB(0, 0, 255));
    dc->SetTextCharacterExtra(4);
    dc->SetROP2(R2_NOT);
    dc->SetStretchBltMode(HALFTONE);
    dc->SetGraphicsMode(GM_ADVANCED);
    dc->SelectClipRgn(CreateRectRgn(1, 2, 3, 4));
    dc->MoveToEx(50, 60);

    EXPECT_TRUE(dc->RestoreDC(-1));
    EXPECT_EQ(dc->GetMapMode(), MM_TEXT);
    POINT origin;
    dc->GetViewportOrgEx(&origin);
    EXPECT_EQ(origin, (POINT{0, 0}));
    EXPECT_EQ(dc->currentFont(), font);
    EXPECT_EQ(dc->currentPen(), pen);
    EXPECT_EQ(dc->currentBrush(), brush);
    EXPECT_EQ(dc->GetTextAlign(), TA_LEFT | TA_TOP);
    EXPECT_EQ(dc->GetTextColor(), RGB(7, 8, 9));
    EXPECT_EQ(dc->GetBkMode(), OPAQUE);
    EXPECT_EQ(dc->GetBkColor(), RGB(255, 255, 255));
    EXPECT_EQ(dc->GetTextCharacterExtra(), 0);
    EXPECT_EQ(dc->GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc->GetStretchBltMode(), BLACKONWHITE);
    EXPECT_EQ(dc->GetGraphicsMode(), GM_COMPATIBLE);
    HRGN clip;
    EXPECT_EQ(dc->GetClipRgn(&clip), 0);
    POINT cp;
    dc->GetCurrentPositionEx(&cp);
    EXPECT_EQ(cp, (POINT{3, 4}));
    EXPECT_FALSE(dc->RestoreDC(-1)) << "nothing left to restore";
}

TEST(GdiSaveRestore, NumberedLevelsAndBadNumbers) {
    auto dc = createInformationContext(displayCaps());
    const auto saveWithColour = [&](COLORREF colour) {
        dc->SetTextColor(colour);
        return dc->SaveDC();
    };
    EXPECT_EQ(saveWithColour(1), 1);
    EXPECT_EQ(saveWithColour(2), 2);
    EXPECT_EQ(saveWithColour(3), 3);
    dc->SetTextColor(4);

    EXPECT_FALSE(dc->RestoreDC(0));
    EXPECT_FALSE(dc->RestoreDC(4));
    EXPECT_FALSE(dc->RestoreDC(-4));
    EXPECT_EQ(dc->GetTextColor(), 4u) << "a refused restore changes nothing";

    EXPECT_TRUE(dc->RestoreDC(2)); // back to the state saved as number 2; 2 and 3 are gone
    EXPECT_EQ(dc->GetTextColor(), 2u);
    EXPECT_FALSE(dc->RestoreDC(2));
    EXPECT_EQ(dc->SaveDC(), 2);
    dc->SetTextColor(9);
    EXPECT_TRUE(dc->RestoreDC(-2)); // two levels up: the first save
    EXPECT_EQ(dc->GetTextColor(), 1u);
    EXPECT_FALSE(dc->RestoreDC(-1));
}

TEST(GdiSaveRestore, GraphicsModeAndIdentityWorldTransform) {
    auto dc = createInformationContext(displayCaps());
    EXPECT_FALSE(dc->ModifyWorldTransform(MWT_IDENTITY)) << "needs GM_ADVANCED";
    EXPECT_EQ(dc->SetGraphicsMode(GM_ADVANCED), GM_COMPATIBLE);
    EXPECT_TRUE(dc->ModifyWorldTransform(MWT_IDENTITY));
    EXPECT_FALSE(dc->ModifyWorldTransform(2));
    EXPECT_EQ(dc->SetGraphicsMode(7), 0);
    EXPECT_EQ(dc->GetGraphicsMode(), GM_ADVANCED);
}

TEST(GdiObjects, SelectReturnsThePreviousAndStockObjectsAreShared) {
    auto dc = createInformationContext(displayCaps());
    EXPECT_EQ(dc->currentPen(), GetStockPen(BLACK_PEN));
    EXPECT_EQ(dc->currentBrush(), GetStockBrush(WHITE_BRUSH));
    const HPEN pen = CreatePen(PS_DOT, 0, RGB(1, 1, 1));
    EXPECT_EQ(dc->SelectObject(pen), GetStockPen(BLACK_PEN));
    EXPECT_EQ(dc->SelectObject(HPEN()), nullptr) << "a null handle is refused";
    EXPECT_EQ(dc->currentPen(), pen);
    EXPECT_TRUE(GetStockBrush(NULL_BRUSH)->null);
    EXPECT_EQ(GetStockBrush(GRAY_BRUSH)->color, RGB(128, 128, 128));
    EXPECT_EQ(GetStockPen(NULL_PEN)->style, PS_NULL);
    EXPECT_EQ(GetStockBrush(42), nullptr);
    EXPECT_EQ(CreatePen(9, 0, 0), nullptr);
    EXPECT_EQ(CreateRectRgn(10, 20, 0, 5)->deviceRect, (RECT{0, 5, 10, 20}));
}

// --- recording ----------------------------------------------------------------------------------

TEST(GdiRecording, KeepsLogicalAndDeviceCoordinates) {
    std::vector<DrawRecord> records;
    auto dc = createRecordingDC(displayCaps(), records);
    dc->SetMapMode(MM_LOENGLISH);
    dc->SetViewportOrgEx(10, 20);
    const LOGFONTA font = makeFont("Arial", -19, FW_BOLD, 2700);
    dc->SelectObject(CreateFontIndirect(font));
    dc->SetTextColor(RGB(1, 2, 3));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextAlign(TA_CENTER);
    dc->SetTextCharacterExtra(2);
    dc->SelectClipRgn(CreateRectRgn(0, 0, 500, 400));
    const RECT clipRect{0, 0, 100, -50};
    dc->ExtTextOut(50, -25, ETO_CLIPPED, &clipRect, "Disk 1");
    dc->FillRect(RECT{0, 0, 100, -100}, CreateSolidBrush(RGB(9, 9, 9)));
    dc->SelectObject(CreatePen(PS_DASH, 0, RGB(4, 5, 6)));
    dc->SelectObject(GetStockBrush(NULL_BRUSH));
    dc->Rectangle(0, 0, 50, -50);
    dc->MoveToEx(0, -100);
    dc->LineTo(200, -100);

    ASSERT_EQ(records.size(), 4u);
    const DrawRecord& text = records[0];
    EXPECT_EQ(text.kind, DrawRecord::Kind::Text);
    EXPECT_EQ(text.logicalPoint, (POINT{50, -25}));
    EXPECT_EQ(text.devicePoint, (POINT{10 + 48, 20 + 24}));
    EXPECT_EQ(text.logicalRect, clipRect);
    EXPECT_EQ(text.deviceRect, (RECT{10, 20, 10 + 96, 20 + 48}));
    EXPECT_TRUE(text.clipped);
    EXPECT_EQ(text.text, "Disk 1");
    EXPECT_EQ(text.font, font);
    EXPECT_EQ(text.color, RGB(1, 2, 3));
    EXPECT_EQ(text.bkMode, TRANSPARENT);
    EXPECT_EQ(text.textAlign, TA_CENTER);
    EXPECT_EQ(text.characterExtra, 2);
    EXPECT_TRUE(text.hasClip);
    EXPECT_EQ(text.deviceClip, (RECT{0, 0, 500, 400}));

    EXPECT_EQ(records[1].kind, DrawRecord::Kind::FillRect);
    EXPECT_EQ(records[1].deviceRect, (RECT{10, 20, 106, 116}));
    EXPECT_EQ(records[1].color, RGB(9, 9, 9));

    EXPECT_EQ(records[2].kind, DrawRecord::Kind::Rectangle);
    EXPECT_EQ(records[2].logicalRect, (RECT{0, 0, 50, -50}));
    EXPECT_EQ(records[2].deviceRect, (RECT{10, 20, 58, 68}));
    EXPECT_EQ(records[2].penStyle, PS_DASH);
    EXPECT_TRUE(records[2].nullFill);

    EXPECT_EQ(records[3].kind, DrawRecord::Kind::Line);
    EXPECT_EQ(records[3].logicalPoint, (POINT{0, -100}));
    EXPECT_EQ(records[3].devicePoint, (POINT{10, 116}));
    EXPECT_EQ(records[3].logicalPoint2, (POINT{200, -100}));
    EXPECT_EQ(records[3].devicePoint2, (POINT{202, 116}));
    EXPECT_EQ(records[3].color, RGB(4, 5, 6));
}

TEST(GdiRecording, ImageRecordingPaintsToo) {
    std::vector<DrawRecord> records;
    QImage image = whiteImage(30, 30);
    auto dc = createRecordingImageDC(image, records);
    dc->FillRect(RECT{0, 0, 10, 10}, GetStockBrush(BLACK_BRUSH));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].deviceRect, (RECT{0, 0, 10, 10}));
    EXPECT_EQ(test::inkBounds(image), QRect(0, 0, 10, 10));
}

} // namespace
} // namespace pelmora::gdi
