#include "catalog/read_disk.h"

#include "catalog/ordering.h"
#include "catalog/scanner.h"
#include "platform/core/busy.h"
#include "platform/core/message.h"

#include <cstdio>

namespace pelmora {

bool readDisk(LabelSet& labels, const CatalogSettings& settings,
              const TemplateStep& applyTemplate) {
    VAROINFO& label = labels.current();
    {
        WaitCursor wait;
        DiskScanner scanner(settings);
        scanner.scanDirectory(settings.driveLetter, settings.scanLevels, label);
        if (settings.useTemplateFiles == 1 && applyTemplate) {
            applyTemplate(label, settings.driveLetter);
        }
    }
    const bool found = !label.entries.empty();
    if (!found) {
        char text[64];
        std::snprintf(text, sizeof text, "Warning:  No files found on disk \"%c:\\\"",
                      settings.driveLetter);
        reportMessage(mainWindowHandle(), text, "Disk Warning", MB_OK | MB_ICONERROR);
    }
    sortLabel(label);
    label.layoutValid = 0;
    return found;
}

} // namespace pelmora
