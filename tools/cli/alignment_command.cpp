#include "tools/cli/alignment_command.h"

#include "platform/gdi/device_context.h"
#include "platform/gdi/printer_dc.h"
#include "render/alignment_sheet.h"
#include "tools/cli/arguments.h"

#include <QPrinter>
#include <iostream>

namespace pelmora::cli {

int runAlignmentSheet(const std::vector<std::string>& args, std::ostream& out) {
    static const int kPapers[] = {9, 1}; // the printer layer's A4 and Letter codes
    gdi::PrinterChoice choice;
    choice.driver = "PDF";
    choice.orientation = 1;
    choice.paperSize = kPapers[0];
    Arguments in(args);
    while (!in.done()) {
        const std::string arg = in.take();
        if (isHelpOption(arg)) {
            throw HelpRequested();
        }
        if (arg == "-o") {
            choice.port = in.takeValue(arg);
        } else if (arg == "--paper") {
            choice.paperSize = kPapers[choose(arg, in.takeValue(arg), {"a4", "letter"})];
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (choice.port.empty()) {
        throw UsageError("alignment-sheet needs -o OUT.pdf");
    }
    const std::unique_ptr<QPrinter> printer = gdi::createPrinter(choice);
    if (PrintAlignmentSheet(gdi::createPrinterDC(*printer)) != PrintJobStatus::Printed) {
        throw InputError("cannot write " + choice.port);
    }
    out << choice.port << ": 1 page\n";
    return 0;
}

} // namespace pelmora::cli
