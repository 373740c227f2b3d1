#include "gdi_test_util.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/printer_dc.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pelmora::gdi {
namespace {

using test::makeFont;
using test::whiteImage;

// --- information contexts for printer identities -------------------------------------------------

TEST(GdiPrinterIC, DisplayIsTheScreen) {
    auto ic = createPrinterIC("DISPLAY", "", "");
    ASSERT_NE(ic, nullptr);
    EXPECT_EQ(ic->GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(ic->GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_EQ(ic->GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_NE(createPrinterIC("display", "", ""), nullptr);
}

TEST(GdiPrinterIC, PdfIsA1200DpiPrinterOnARealSheet) {
    auto ic = createPrinterIC("PDF", "", "/tmp/unused.pdf");
    ASSERT_NE(ic, nullptr);
    EXPECT_EQ(ic->GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(ic->GetDeviceCaps(LOGPIXELSX), 1200);
    EXPECT_EQ(ic->GetDeviceCaps(LOGPIXELSY), 1200);
    // A4 (210 x 297 mm) or Letter (216 x 279 mm), less small margins.
    const int widthMm = ic->GetDeviceCaps(HORZSIZE);
    const int heightMm = ic->GetDeviceCaps(VERTSIZE);
    EXPECT_GE(widthMm, 180);
    EXPECT_LE(widthMm, 216);
    EXPECT_GE(heightMm, 250);
    EXPECT_LE(heightMm, 297);
    // Printable pixels agree with the millimetres; the sheet holds the printable area.
    EXPECT_NEAR(ic->GetDeviceCaps(HORZRES), widthMm * 1200 / 25.4, 1200 / 25.4);
    EXPECT_NEAR(ic->GetDeviceCaps(VERTRES), heightMm * 1200 / 25.4, 1200 / 25.4);
    EXPECT_GE(ic->GetDeviceCaps(PHYSICALOFFSETX), 0);
    EXPECT_GE(ic->GetDeviceCaps(PHYSICALOFFSETY), 0);
    EXPECT_LE(ic->GetDeviceCaps(PHYSICALOFFSETX) + ic->GetDeviceCaps(HORZRES),
              ic->GetDeviceCaps(PHYSICALWIDTH));
    EXPECT_LE(ic->GetDeviceCaps(PHYSICALOFFSETY) + ic->GetDeviceCaps(VERTRES),
              ic->GetDeviceCaps(PHYSICALHEIGHT));
}

TEST(GdiPrinterIC, UnknownPrintersAndDriversGiveNothing) {
    EXPECT_EQ(createPrinterIC("CUPS", "No Such Printer 4711", "CUPS:"), nullptr);
    EXPECT_EQ(createPrinterIC("CUPS", "", ""), nullptr);
    EXPECT_EQ(createPrinterIC("WINSPOOL", "HP", "LPT1:"), nullptr);
}

TEST(GdiPrinterIC, NoDefaultPrinterOnThisMachine) {
    // No CUPS here: the system profile string is empty, which sends the program to DISPLAY.
    EXPECT_EQ(defaultPrinterProfileString(), ",,,");
}

TEST(GdiPrinterIC, TextMeasuresTheSameInLogicalUnitsOnEveryDevice) {
    // Fonts are realised at whole device pixels, so widths differ a little between devices;
    // in hundredths of an inch they stay within 2 %.
    const LOGFONTA font = makeFont("Arial", -19);
    const char* text = "Program Files  1,457,664  setup.exe";
    std::vector<int> widths;
    QImage screen = whiteImage(10, 10, 96);
    QImage fine = whiteImage(10, 10, 300);
    std::vector<std::unique_ptr<DeviceContext>> dcs;
    dcs.push_back(createImageDC(screen));
    dcs.push_back(createImageDC(fine));
    dcs.push_back(createPrinterIC("PDF", "", ""));
    for (auto& dc : dcs) {
        ASSERT_NE(dc, nullptr);
        dc->SetMapMode(MM_LOENGLISH);
        dc->SelectObject(CreateFontIndirect(font));
        SIZE size;
        ASSERT_TRUE(dc->GetTextExtentPoint32(text, &size));
        widths.push_back(size.cx);
    }
    const auto [low, high] = std::minmax_element(widths.begin(), widths.end());
    EXPECT_GT(*low, 300);
    EXPECT_LE((*high - *low) * 100, *high * 2)
        << widths[0] << " / " << widths[1] << " / " << widths[2];
}

// --- printing
// -------------------------------------------------------------------------------------

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(GdiPrinterDC, PrintsPagesIntoAPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("label.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    auto dc = createPrinterDC(printer);
    EXPECT_EQ(dc->GetDeviceCaps(LOGPIXELSX), 1200);

    // Measuring works before the job starts; spooler calls out of order fail.
    TEXTMETRIC tm;
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -19)));
    dc->SetMapMode(MM_LOENGLISH);
    ASSERT_TRUE(dc->GetTextMetrics(&tm));
    EXPECT_NEAR(tm.tmHeight, 21, 1);
    EXPECT_LE(StartPage(*dc), 0);
    EXPECT_LE(EndDoc(*dc), 0);

    ASSERT_GT(StartDoc(*dc, DOCINFO{"Pelmora", path.toStdString()}), 0);
    EXPECT_LE(StartDoc(*dc, DOCINFO{"Pelmora", path.toStdString()}), 0);
    for (int copy = 0; copy < 2; ++copy) {
        ASSERT_GT(StartPage(*dc), 0);
        EXPECT_LE(StartPage(*dc), 0) << "a page is already open";
        dc->Rectangle(100, -100, 456, -531);
        dc->TextOut(120, -120, "Disk 1");
        EXPECT_GT(EndPage(*dc), 0);
    }
    EXPECT_LE(EndPage(*dc), 0);
    EXPECT_GT(EndDoc(*dc), 0);

    const QByteArray pdf = readAll(path);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/Count 2"));
    // The document name becomes the title, stored as UTF-16.
    QByteArray title("\xFE\xFF", 2);
    for (char c : std::string("Pelmora")) {
        title.append('\0').append(c);
    }
    EXPECT_TRUE(pdf.contains(title)) << "the document name";
}

TEST(GdiPrinterDC, SpoolerCallsNeedAPrinterDC) {
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    EXPECT_LE(StartDoc(*dc, DOCINFO{"x", ""}), 0);
    EXPECT_LE(StartPage(*dc), 0);
    EXPECT_LE(EndPage(*dc), 0);
    EXPECT_LE(EndDoc(*dc), 0);
}

} // namespace
} // namespace pelmora::gdi
