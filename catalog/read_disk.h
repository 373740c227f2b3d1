#pragma once
// Read Disk: scans the configured drive into the current label, applies the disk's template
// when template files are in use, warns when nothing was found and sorts the result.

#include "catalog/records.h"

#include <functional>

namespace pelmora {

// Applies the template file of a drive to a label after a scan (installed by the storage
// layer; empty until then).
using TemplateStep = std::function<void(VAROINFO& label, char drive)>;

// Returns true when the label holds entries afterwards.
bool readDisk(LabelSet& labels, const CatalogSettings& settings,
              const TemplateStep& applyTemplate = {});

} // namespace pelmora
