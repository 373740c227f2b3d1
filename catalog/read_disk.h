#pragma once
// Read Disk: scans the configured drive into the current label, applies the disk's template
// when template files are in use, warns when nothing was found and sorts the result. A disk
// that cannot be read, or a scan that is cancelled, leaves the label as it was.

#include "catalog/records.h"
#include "catalog/scanner.h"

#include <functional>

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

    explicit operator bool() const { return found; }
};

// Without a waiter the scan runs on the calling thread.
DiskReadResult readDisk(LabelSet& labels, const CatalogSettings& settings,
                        const TemplateStep& applyTemplate = {}, const ScanWaiter& waiter = {});

} // namespace pelmora
