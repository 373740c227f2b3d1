// The Body menu: what the file list shows and in how many columns, its order, reading the
// disk and copying the current label's format to the others.

#include "catalog/ordering.h"
#include "catalog/read_disk.h"
#include "catalog/records.h"
#include "platform/core/message.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/scan_wait.h"
#include "shell/unsaved_changes.h"
#include "storage/template_file.h"

#include <functional>
#include <string>

namespace pelmora {
namespace {

constexpr std::int32_t kMaxColumns = 5;

// The label's changed look is laid out again at the next paint.
void relayout(App& app, MainWindow& window) {
    app.currentLabel().layoutValid = 0;
    window.invalidateLabelArea();
}

// What the status bar says after a read: folders that could not be read, a cancelled read, or
// the text it had before.
std::string readDiskStatus(const DiskReadResult& read, const std::string& before) {
    if (read.status == ScanStatus::Cancelled) {
        return "Reading cancelled; the label keeps its catalog";
    }
    if (read.status != ScanStatus::Read) {
        return before;
    }
    std::string text;
    if (read.incomplete) {
        text = kIncompleteCatalogText;
    }
    if (read.unreadableFolders > 0) {
        text += (text.empty() ? "" : "; ") + std::to_string(read.unreadableFolders) +
               (read.unreadableFolders == 1 ? " folder" : " folders") +
               " could not be read (listed without contents)";
    }
    if (read.archiveMembersLeftOut > 0) {
        text += (text.empty() ? "" : "; ") + archiveMembersLeftOutText(read.archiveMembersLeftOut);
    }
    return text.empty() ? before : text;
}

// Sorts the catalog with the label's keys; every folder below takes the same keys.
void resort(App& app, MainWindow& window) {
    sortLabel(app.currentLabel());
    relayout(app, window);
}

} // namespace

void cmdDisplayToggle(App& app, MainWindow& window, int id) {
    VAROINFO& label = app.currentLabel();
    std::int32_t* flag = id == CMD_SHOW_SIZES        ? &label.showSize
                         : id == CMD_SHOW_EXTENSIONS ? &label.showExt
                         : id == CMD_SHOW_COMMENT    ? &label.showComment
                                                     : nullptr;
    if (flag == nullptr) {
        return;
    }
    *flag = *flag != 0 ? 0 : 1;
    relayout(app, window);
}

void cmdColumns(App& app, MainWindow& window, int id) {
    std::int32_t columns = 0;
    switch (id) {
    case CMD_COLUMNS_NONE:
        columns = 0;
        break;
    case CMD_COLUMNS_5:
        columns = 5;
        break;
    default:
        columns = id - CMD_COLUMNS_1 + 1;
        break;
    }
    app.currentLabel().columns = columns;
    relayout(app, window);
}

void cmdMoreColumns(App& app, MainWindow& window, int) {
    VAROINFO& label = app.currentLabel();
    if (label.columns < kMaxColumns) {
        ++label.columns;
        label.layoutValid = 0;
    }
    window.invalidateLabelArea();
}

void cmdFewerColumns(App& app, MainWindow& window, int) {
    VAROINFO& label = app.currentLabel();
    if (label.columns > 0) {
        --label.columns;
        label.layoutValid = 0;
    }
    window.invalidateLabelArea();
}

void cmdLined(App& app, MainWindow& window, int) {
    VAROINFO& label = app.currentLabel();
    label.lined = label.lined != 0 ? 0 : 1;
    relayout(app, window);
}

void cmdSortKey(App& app, MainWindow& window, int id) {
    app.currentLabel().sortMode = id == CMD_SORT_NAME        ? SORT_NAME
                                  : id == CMD_SORT_EXTENSION ? SORT_EXTENSION
                                                             : SORT_SIZE;
    resort(app, window);
}

void cmdSortDirection(App& app, MainWindow& window, int id) {
    app.currentLabel().direction = id == CMD_SORT_DESCENDING ? -1 : 1;
    resort(app, window);
}

void cmdReadDisk(App& app, MainWindow& window, int) {
    // Scan, template, "Disk Warning" on an empty or unreadable disk and the sort, under the
    // wait cursor; the window keeps painting and Esc cancels meanwhile.
    const std::string statusBefore = window.statusText();
    const char drive = app.catalog.driveLetter;
    const DiskReadResult read =
        readDisk(app.labels, app.catalog, ApplyDiskTemplate,
                 [&](ScanProgress& progress, const std::function<bool()>& finished) {
                     waitForScan(window, drive, progress, finished);
                 });
    if (read.status == ScanStatus::Read) {
        if (app.catalog.useTemplateFiles == 1) {
            measureLabelFonts(app.currentLabel()); // the template may bring other fonts
        }
        markDocumentChanged(app, window);
    }
    window.setStatusText(readDiskStatus(read, statusBefore));
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdDuplicateFormat(App& app, MainWindow& window, int) {
    const VAROINFO& source = app.currentLabel();
    for (VAROINFO& target : app.labels.labels) {
        copyFormat(source, target);
    }
    window.invalidateLabelArea();
}

} // namespace pelmora
