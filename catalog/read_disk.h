#pragma once
// Read Disk: scans the configured drive into the current label, applies the disk's template
// when template files are in use, warns when nothing was found and sorts the result. A disk
// that cannot be read, or a scan that is cancelled, leaves the label as it was.

#include "catalog/records.h"
#include "catalog/scanner.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pelmora {

// Applies the template file of a drive to a label after a scan (installed by the storage
// layer; empty until then).
using TemplateStep = std::function<void(VAROINFO& label, char drive)>;

// Waits on the calling thread while the scan runs on a worker thread: it must return once
// `finished()` is true, and may show `progress` and set its `cancel` flag meanwhile.
using ScanWaiter =
    std::function<void(ScanProgress& progress, const std::function<bool()>& finished)>;

struct DiskReadResult {
    ScanStatus status = ScanStatus::Read;
    bool found = false; // the label holds entries afterwards
    std::int32_t unreadableFolders = 0;
    bool incomplete = false; // the disk held more than a label file can (ScanResult)
    std::uint64_t archiveMembersLeftOut = 0; // past the member cap of an archive

    explicit operator bool() const { return found; }
};

// "N archive members left out (an archive lists at most 1,000,000)": what the status bar and
// the command line say when archives went past the member cap.
std::string archiveMembersLeftOutText(std::uint64_t count);

// Without a waiter the scan runs on the calling thread.
DiskReadResult readDisk(LabelSet& labels, const CatalogSettings& settings,
                        const TemplateStep& applyTemplate = {}, const ScanWaiter& waiter = {});

} // namespace pelmora
