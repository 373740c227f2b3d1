#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/printer.h"
#include "render/styles.h"
#include "render/text.h"
#include "render/view_state.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using gdi::DeviceContext;

int cellHeight(const LOGFONTA& font) {
    auto ic = gdi::createInformationContext(gdi::displayCaps());
    ic->SelectObject(gdi::CreateFontIndirect(font));
    gdi::TEXTMETRIC metrics;
    EXPECT_TRUE(ic->GetTextMetrics(&metrics));
    return metrics.tmHeight;
}

LOGFONTA arial(int height, int weight = 0) {
    LOGFONTA font;
    font.lfHeight = height;
    font.lfWeight = weight;
    std::strcpy(font.lfFaceName, "Arial");
    return font;
}

class FontHeightsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedView_ = theView;
        savedPrinter_ = thePrinter;
    }
    void TearDown() override {
        setDefaultPrinterSource({});
        setPrinterICFactory({});
        theView = savedView_;
        thePrinter = savedPrinter_;
    }
    ViewState savedView_;
    PrinterIdentity savedPrinter_;
};

TEST_F(FontHeightsTest, MeasureFontHeightsTakesEachElementsCellHeight) {
    auto ic = gdi::createInformationContext(gdi::displayCaps());
    ASSERT_EQ(ic->GetDeviceCaps(gdi::LOGPIXELSY), 96);
    VAROINFO label;
    label.fileFont = arial(-11);
    label.folderFont = arial(-11, 700);
    label.commentFont = arial(-20);
    label.spineFont = arial(-40);
    label.fileFontHeight = label.folderFontHeight = label.commentFontHeight = -1;
    MeasureFontHeights(label, *ic);
    EXPECT_EQ(label.fileFontHeight, cellHeight(label.fileFont));
    EXPECT_EQ(label.folderFontHeight, cellHeight(label.folderFont));
    EXPECT_EQ(label.commentFontHeight, cellHeight(label.commentFont));
    EXPECT_GE(label.fileFontHeight, 12);
    EXPECT_LE(label.fileFontHeight, 14);
    EXPECT_GT(label.commentFontHeight, label.fileFontHeight);
}

TEST_F(FontHeightsTest, ResetLabelFormatMakesTheDefaultFontsOnTheWindowDC) {
    struct Case {
        double scale;
        int small;
        int spine;
    };
    for (const Case& c : {Case{1.0, -11, -19}, Case{1.5, -16, -28}}) {
        SCOPED_TRACE(::testing::Message() << "scale " << c.scale);
        theView.windowScale = c.scale;
        auto window = gdi::createInformationContext(gdi::displayCaps());
        VAROINFO label;
        label.columns = 5;
        label.fileColor = 0xFF;
        label.extStyles.resize(3);
        label.fileFontHeight = -1;
        ResetLabelFormat(label, *window, window.get());

        EXPECT_EQ(label.columns, 2);
        EXPECT_EQ(label.fileColor, 0u);
        EXPECT_TRUE(label.extStyles.empty());
        const LOGFONTA* fonts[] = {&label.fileFont, &label.folderFont, &label.commentFont};
        for (const LOGFONTA* font : fonts) {
            EXPECT_EQ(font->lfHeight, c.small);
            EXPECT_STREQ(font->lfFaceName, "Arial");
            EXPECT_EQ(font->lfClipPrecision, CLIP_LH_ANGLES);
        }
        EXPECT_EQ(label.fileFont.lfWeight, 0);
        EXPECT_EQ(label.folderFont.lfWeight, 700);
        EXPECT_EQ(label.commentFont.lfWeight, 0);
        EXPECT_EQ(label.spineFont.lfHeight, c.spine);
        EXPECT_EQ(label.fileFontHeight, cellHeight(label.fileFont));
        EXPECT_EQ(label.folderFontHeight, cellHeight(label.folderFont));
    }
}

TEST_F(FontHeightsTest, WithoutAPrinterTheDisplayIsTheDefault) {
    ReadDefaultPrinter();
    EXPECT_STREQ(thePrinter.driver, "DISPLAY");
    EXPECT_STREQ(thePrinter.device, "");
    EXPECT_STREQ(thePrinter.port, "");
    auto ic = CreatePrinterIC();
    ASSERT_TRUE(ic);
    EXPECT_EQ(ic->GetDeviceCaps(gdi::LOGPIXELSX), 96);
    EXPECT_EQ(ic->GetDeviceCaps(gdi::LOGPIXELSY), 96);
}

TEST_F(FontHeightsTest, CreatePrinterICTriesTheDefaultPrinterOnceMore) {
    std::vector<std::string> tried;
    int reads = 0;
    setDefaultPrinterSource([&] {
        ++reads;
        return std::string("Desk,CUPS,CUPS:");
    });
    setPrinterICFactory([&](const PrinterIdentity& identity) {
        tried.push_back(std::string(identity.device) + "|" + identity.driver + "|" + identity.port);
        return std::string(identity.device) == "Desk"
                   ? gdi::createInformationContext(gdi::displayCaps())
                   : nullptr;
    });

    thePrinter = ParseDefaultPrinter("Gone,CUPS,CUPS:");
    EXPECT_TRUE(CreatePrinterIC());
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(tried, (std::vector<std::string>{"Gone|CUPS|CUPS:", "Desk|CUPS|CUPS:"}));
    EXPECT_STREQ(thePrinter.device, "Desk");

    // A printer that opens is used without asking the system.
    tried.clear();
    EXPECT_TRUE(CreatePrinterIC());
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(tried.size(), 1u);

    // Only one retry: when the default fails too, there is no context.
    setDefaultPrinterSource([&] {
        ++reads;
        return std::string("Also Gone,CUPS,CUPS:");
    });
    thePrinter = ParseDefaultPrinter("Gone,CUPS,CUPS:");
    tried.clear();
    EXPECT_FALSE(CreatePrinterIC());
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(tried.size(), 2u);
}

TEST_F(FontHeightsTest, MeasureAllFontHeightsFallsBackToTheDisplay) {
    setDefaultPrinterSource([] { return std::string("Gone,CUPS,CUPS:"); });
    setPrinterICFactory([](const PrinterIdentity&) { return std::unique_ptr<DeviceContext>(); });
    LabelSet labels;
    for (std::size_t i = 0; i < labels.labels.size(); ++i) {
        VAROINFO& label = labels.labels[i];
        label.fileFont = arial(-11 - static_cast<int>(i) * 5);
        label.folderFont = arial(-11, 700);
        label.commentFont = arial(-9);
    }
    MeasureAllFontHeights(labels);
    for (const VAROINFO& label : labels.labels) {
        EXPECT_EQ(label.fileFontHeight, cellHeight(label.fileFont));
        EXPECT_EQ(label.folderFontHeight, cellHeight(label.folderFont));
        EXPECT_EQ(label.commentFontHeight, cellHeight(label.commentFont));
    }
    EXPECT_LT(labels.labels[0].fileFontHeight, labels.labels[3].fileFontHeight);
}

} // namespace
} // namespace pelmora
