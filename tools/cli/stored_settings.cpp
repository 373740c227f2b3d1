#include "tools/cli/stored_settings.h"

#include "catalog/records.h"
#include "render/printer.h"
#include "render/view_state.h"
#include "storage/settings_store.h"

#include <memory>

namespace pelmora::cli {

StoredSettings readStoredSettings() {
    StoredSettings stored;
    // The labels and view the settings also hold are not used here; the label set is large.
    auto labels = std::make_unique<LabelSet>();
    CatalogSettings catalog;
    ViewState view;
    PrinterIdentity printer;
    ReadSettings(*labels, catalog, view, stored.paint, printer, stored.program);
    return stored;
}

} // namespace pelmora::cli
