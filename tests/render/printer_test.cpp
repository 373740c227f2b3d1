#include "render/printer.h"

#include <gtest/gtest.h>
#include <string>

namespace pelmora {
namespace {

TEST(ParseDefaultPrinter, SplitsDeviceDriverAndPortOrFallsBackToTheDisplay) {
    struct Case {
        std::string profile;
        const char* device;
        const char* driver;
        const char* port;
    };
    const Case cases[] = {
        {",,,", "", "DISPLAY", ""},
        {"P,CUPS,CUPS:", "P", "CUPS", "CUPS:"},
        {"Office Laser,CUPS,lpt1:,extra", "Office Laser", "CUPS", "lpt1:,extra"},
        {"P,,CUPS:", "", "DISPLAY", ""},
        {",CUPS,CUPS:", "", "DISPLAY", ""},
        {"P,CUPS,", "", "DISPLAY", ""},
        {"P,CUPS", "", "DISPLAY", ""},
        {"P", "", "DISPLAY", ""},
        {"", "", "DISPLAY", ""},
    };
    for (const Case& c : cases) {
        PrinterIdentity identity = ParseDefaultPrinter(c.profile);
        EXPECT_STREQ(identity.device, c.device) << '"' << c.profile << '"';
        EXPECT_STREQ(identity.driver, c.driver) << '"' << c.profile << '"';
        EXPECT_STREQ(identity.port, c.port) << '"' << c.profile << '"';
    }
}

TEST(ParseDefaultPrinter, ReadsAtMost254Characters) {
    std::string device(240, 'd');
    PrinterIdentity identity = ParseDefaultPrinter(device + ",CUPS,port-cut-here");
    // 240 + 1 + 4 + 1 leaves eight characters of the port.
    EXPECT_EQ(std::string(identity.device), device);
    EXPECT_STREQ(identity.driver, "CUPS");
    EXPECT_STREQ(identity.port, "port-cut");

    // The second comma falls beyond the cut: no port, so the display is used.
    identity = ParseDefaultPrinter(std::string(252, 'd') + ",CUPS,port");
    EXPECT_STREQ(identity.driver, "DISPLAY");
    EXPECT_STREQ(identity.device, "");
}

class DefaultPrinterSourceTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = thePrinter; }
    void TearDown() override {
        setDefaultPrinterSource({});
        setPrinterICFactory({});
        thePrinter = saved_;
    }
    PrinterIdentity saved_;
};

TEST_F(DefaultPrinterSourceTest, ReadDefaultPrinterTakesTheSystemsText) {
    setDefaultPrinterSource([] { return std::string("Desk,CUPS,CUPS:"); });
    ReadDefaultPrinter();
    EXPECT_STREQ(thePrinter.device, "Desk");
    EXPECT_STREQ(thePrinter.driver, "CUPS");
    EXPECT_STREQ(thePrinter.port, "CUPS:");

    setDefaultPrinterSource([] { return std::string(",,,"); });
    ReadDefaultPrinter();
    EXPECT_STREQ(thePrinter.device, "");
    EXPECT_STREQ(thePrinter.driver, "DISPLAY");
    EXPECT_STREQ(thePrinter.port, "");
}

} // namespace
} // namespace pelmora
