#include "render/printer.h"

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/printer_dc.h"
#include "render/styles.h"

#include <string>
#include <utility>

namespace pelmora {

PrinterIdentity thePrinter;

namespace {

// GetProfileString's buffer: 255 characters with the NUL.
constexpr std::size_t kProfileCapacity = 255;

DefaultPrinterSource& printerSource() {
    static DefaultPrinterSource source;
    return source;
}

PrinterICFactory& icFactory() {
    static PrinterICFactory factory;
    return factory;
}

std::unique_ptr<gdi::DeviceContext> makeIC(const PrinterIdentity& identity) {
    if (icFactory()) {
        return icFactory()(identity);
    }
    return gdi::createPrinterIC(identity.driver, identity.device, identity.port);
}

void setPart(char (&field)[kPrinterNameCapacity], std::string_view text) {
    copyTruncatedUtf8(field, sizeof field, text.data(), text.size());
}

} // namespace

PrinterIdentity ParseDefaultPrinter(std::string_view profile) {
    profile = profile.substr(0, kProfileCapacity - 1);
    PrinterIdentity identity;
    if (profile != ",,,") {
        std::size_t first = profile.find(',');
        std::size_t second = first == std::string_view::npos ? first : profile.find(',', first + 1);
        if (second != std::string_view::npos) {
            std::string_view device = profile.substr(0, first);
            std::string_view driver = profile.substr(first + 1, second - first - 1);
            std::string_view port = profile.substr(second + 1);
            if (!device.empty() && !driver.empty() && !port.empty()) {
                setPart(identity.device, device);
                setPart(identity.driver, driver);
                setPart(identity.port, port);
                return identity;
            }
        }
    }
    setPart(identity.driver, "DISPLAY");
    return identity;
}

void ReadDefaultPrinter() {
    std::string profile = printerSource() ? printerSource()() : gdi::defaultPrinterProfileString();
    thePrinter = ParseDefaultPrinter(profile);
}

DefaultPrinterSource setDefaultPrinterSource(DefaultPrinterSource source) {
    return std::exchange(printerSource(), std::move(source));
}

PrinterICFactory setPrinterICFactory(PrinterICFactory factory) {
    return std::exchange(icFactory(), std::move(factory));
}

std::unique_ptr<gdi::DeviceContext> CreatePrinterIC() {
    std::unique_ptr<gdi::DeviceContext> ic = makeIC(thePrinter);
    if (!ic) {
        ReadDefaultPrinter();
        ic = makeIC(thePrinter);
    }
    return ic;
}

gdi::PrinterChoice PrinterChoiceOf(const PrinterIdentity& identity, const PrintSettings& print) {
    gdi::PrinterChoice choice;
    choice.driver = identity.driver;
    choice.device = identity.device;
    choice.port = identity.port;
    choice.orientation = print.orientation;
    choice.paperSize = print.paperSize;
    return choice;
}

void TakeOverPrinterChoice(const gdi::PrinterChoice& choice, PrinterIdentity& identity,
                           PrintSettings& print) {
    setPart(identity.driver, choice.driver);
    setPart(identity.device, choice.device);
    setPart(identity.port, choice.port);
    print.orientation = choice.orientation;
    print.paperSize = choice.paperSize;
}

void MeasureAllFontHeights(LabelSet& labels) {
    std::unique_ptr<gdi::DeviceContext> ic = CreatePrinterIC();
    if (!ic) {
        ic = gdi::createInformationContext(gdi::displayCaps());
    }
    for (VAROINFO& label : labels.labels) {
        MeasureFontHeights(label, *ic);
    }
}

} // namespace pelmora
