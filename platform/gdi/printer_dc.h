#pragma once
// Printers: a DC that paints on a QPrinter between StartDoc and EndDoc, information contexts
// for the printer the settings name, and the system's default printer as a profile string.
// Separate from devices.h because Qt PrintSupport pulls in Qt Widgets.

#include "platform/gdi/device_context.h"

#include <memory>
#include <string>

class QPrinter;

namespace pelmora::gdi {

// The caption of the message that says why a document could not be printed into its file
// (the file named, the system's reason); StartDoc or EndDoc then fails.
constexpr const char* kPrintFileErrorCaption = "Disk Error";

struct DOCINFO {
    std::string docName;
    std::string output; // a file to print into; empty = wherever the printer is set to print
};

// The printer's resolution, printable area (device pixels and millimetres) and sheet.
DeviceCaps printerCaps(const QPrinter& printer);

// A DC on `printer` (which must outlive it). It measures at once; it paints only between
// StartDoc and EndDoc, pages delimited by StartPage/EndPage.
std::unique_ptr<DeviceContext> createPrinterDC(QPrinter& printer);

// The spooler calls. Each returns a positive value on success and a value <= 0 on failure
// (also when `dc` is not a printer DC or the calls come out of order). A document printed into
// a file replaces that file only when EndDoc succeeds: a file the user may not write is
// refused at StartDoc, a failed write or a page that failed at EndDoc, and then the previous
// file stays as it was.
int StartDoc(DeviceContext& dc, const DOCINFO& info);
int StartPage(DeviceContext& dc);
int EndPage(DeviceContext& dc);
int EndDoc(DeviceContext& dc);

// An information context for a printer identity (driver, device, port):
//   "DISPLAY"      the screen (displayCaps);
//   "CUPS", name   the CUPS printer of that name at its high resolution; nullptr when no such
//                  printer exists;
//   "PDF"          a PDF printer at 1200 dpi on the locale's default paper (A4 or Letter).
// Driver names compare without regard to case; anything else gives nullptr.
std::unique_ptr<DeviceContext> createPrinterIC(const std::string& driver, const std::string& device,
                                               const std::string& port);

// A printer as the settings keep it, with the paper it was last set up with.
struct PrinterChoice {
    std::string driver;  // "CUPS", "PDF" or "DISPLAY"
    std::string device;  // the CUPS printer's name
    std::string port;    // the PDF printer's output file
    int orientation = 1; // 1 portrait, 2 landscape
    int paperSize = -1;  // the paper's Windows code (DMPAPER_*); -1 none chosen
};

// A QPrinter for a choice, at the printer's high resolution with its printable-area origin:
// the CUPS printer of that name; a PDF file; for "DISPLAY", an unknown driver or a CUPS
// printer that no longer exists, the CUPS default printer, else a PDF file. The chosen paper
// and orientation are applied when the printer knows them.
std::unique_ptr<QPrinter> createPrinter(const PrinterChoice& choice);

// The choice a (set-up) printer stands for: ("PDF", "", output file) when it writes a PDF,
// else ("CUPS", printer name, ""), with its paper and orientation.
PrinterChoice choiceOf(const QPrinter& printer);

// The default printer as "device,driver,port": "NAME,CUPS,CUPS:" for the CUPS default printer,
// ",,," when there is none.
std::string defaultPrinterProfileString();

} // namespace pelmora::gdi
