#include "catalog/read_disk.h"

#include "catalog/ordering.h"
#include "platform/core/busy.h"
#include "platform/core/message.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace pelmora {
namespace {

ScanResult scanWith(DiskScanner& scanner, const CatalogSettings& settings, VAROINFO& tree,
                    ScanProgress& progress, const ScanWaiter& waiter) {
    if (!waiter) {
        return scanner.scanTree(settings.driveLetter, settings.scanLevels, tree, &progress);
    }
    // The window keeps painting the label while the tree is read into a node of its own;
    // nothing of the label is touched until the scan is over.
    ScanResult result;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = scanner.scanTree(settings.driveLetter, settings.scanLevels, tree, &progress);
        done.store(true, std::memory_order_release);
    });
    waiter(progress, [&] { return done.load(std::memory_order_acquire); });
    worker.join();
    return result;
}

} // namespace

std::string archiveMembersLeftOutText(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " archive member" : " archive members") +
           " left out (an archive lists at most 1,000,000)";
}

DiskReadResult readDisk(LabelSet& labels, const CatalogSettings& settings,
                        const TemplateStep& applyTemplate, const ScanWaiter& waiter) {
    VAROINFO& label = labels.current();
    DiskReadResult outcome;
    ScanResult scan;
    {
        WaitCursor wait;
        DiskScanner scanner(settings);
        ScanProgress progress;
        VAROINFO tree;
        scan = scanWith(scanner, settings, tree, progress, waiter);
        if (scan.status == ScanStatus::Read) {
            installCatalog(label, std::move(tree), settings.driveLetter);
            if (settings.useTemplateFiles == 1 && applyTemplate) {
                applyTemplate(label, settings.driveLetter);
            }
            sortLabel(label);
            invalidateDisplayLines(label);
        }
    }
    outcome.status = scan.status;
    outcome.unreadableFolders = scan.unreadableFolders;
    outcome.incomplete = scan.incomplete;
    outcome.archiveMembersLeftOut = scan.archiveMembersLeftOut;
    outcome.found = !label.entries.empty();

    char text[320];
    switch (scan.status) {
    case ScanStatus::OutOfMemory:
        fatalAllocationFailure(scan.reason);
    case ScanStatus::Cancelled:
        break;
    case ScanStatus::Unreadable:
        std::snprintf(text, sizeof text,
                      "Warning:  Unable to read disk \"%c:\\\": %s.\nThe label keeps its catalog.",
                      settings.driveLetter, scan.reason.c_str());
        reportMessage(mainWindowHandle(), text, "Disk Warning", MB_OK | MB_ICONERROR);
        break;
    case ScanStatus::Read:
        if (!outcome.found) {
            std::snprintf(text, sizeof text, "Warning:  No files found on disk \"%c:\\\"",
                          settings.driveLetter);
            reportMessage(mainWindowHandle(), text, "Disk Warning", MB_OK | MB_ICONERROR);
        }
        break;
    }
    return outcome;
}

} // namespace pelmora
