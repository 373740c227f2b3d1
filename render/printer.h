#pragma once
// The printer whose font metrics the layout follows: its identity (driver, device, port), the
// system's default printer, an information context for it, and the measuring of all labels'
// line heights on it.

#include "catalog/records.h"
#include "render/print_settings.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace pelmora::gdi {
class DeviceContext;
struct PrinterChoice;
} // namespace pelmora::gdi

namespace pelmora {

constexpr std::size_t kPrinterNameCapacity = 255; // 254 characters + NUL

// Kept by the settings store as "DriverName", "PrinterName" and "PortName".
struct PrinterIdentity {
    char driver[kPrinterNameCapacity] = {};
    char device[kPrinterNameCapacity] = {};
    char port[kPrinterNameCapacity] = {};
};

extern PrinterIdentity thePrinter;

// Fills an identity from the system's "device,driver,port" text. ",,," or any empty part
// gives the "DISPLAY" driver with empty device and port.
PrinterIdentity ParseDefaultPrinter(std::string_view profile);

// Sets thePrinter to the system's default printer.
void ReadDefaultPrinter();

// Where ReadDefaultPrinter gets the "device,driver,port" text (normally the printing layer's
// view of the system default). Returns the previous source; an empty function restores the
// normal one.
using DefaultPrinterSource = std::function<std::string()>;
DefaultPrinterSource setDefaultPrinterSource(DefaultPrinterSource source);

// How an information context for an identity is made (normally the printing layer's printer
// IC). Returns the previous factory; an empty function restores the normal one.
using PrinterICFactory = std::function<std::unique_ptr<gdi::DeviceContext>(const PrinterIdentity&)>;
PrinterICFactory setPrinterICFactory(PrinterICFactory factory);

// An information context for thePrinter. When it cannot be made, the default printer is read
// again and one more attempt is made; null when that fails too.
std::unique_ptr<gdi::DeviceContext> CreatePrinterIC();

// The printer dialogs' view of the identity and the paper kept with it, and back.
gdi::PrinterChoice PrinterChoiceOf(const PrinterIdentity& identity, const PrintSettings& print);
void TakeOverPrinterChoice(const gdi::PrinterChoice& choice, PrinterIdentity& identity,
                           PrintSettings& print);

// MeasureFontHeights for all four labels on the printer's information context, or on the
// display's when not even the default printer can be opened. Run after a printer change.
void MeasureAllFontHeights(LabelSet& labels);

} // namespace pelmora
