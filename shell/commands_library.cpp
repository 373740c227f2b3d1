// File > "Find in Labels...": the label library searched from the window, and the hook that
// keeps the library current when label files are opened and saved.

#include "library/library.h"
#include "render/file_list.h"
#include "render/label_format.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/find_dialog.h"
#include "shell/library_hook.h"
#include "shell/main_window.h"
#include "shell/object_hit.h"
#include "shell/unsaved_changes.h"
#include "storage/document.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace pelmora {
namespace {

bool nameIs(const FileEntry& entry, std::string_view name) {
    return std::string_view(entry.name, strnlen(entry.name, kNameCapacity)) == name;
}

// The display line that shows the hit: the entry itself, or the nearest enclosing folder that
// is listed when a folder on the way is closed. Null when nothing on the way is listed.
const FileEntry* listedEntryOf(const VAROINFO& label, const library::Hit& hit) {
    const VAROINFO* node = &label;
    const FileEntry* listed = nullptr;
    bool hidden = false;
    std::string_view rest = hit.folder;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        const FileEntry* next = nullptr;
        for (const FileEntry& entry : node->entries) {
            if (entry.hasChild && entry.child && nameIs(entry, part)) {
                next = &entry;
                break;
            }
        }
        if (!next) {
            return listed;
        }
        if (!hidden) {
            listed = next;
        }
        hidden = hidden || !next->open;
        node = next->child.get();
    }
    for (const FileEntry& entry : node->entries) {
        if (nameIs(entry, hit.name)) {
            return hidden ? listed : &entry;
        }
    }
    return listed;
}

// Makes the page that lists the hit's line the current one.
void showPageOf(App& app, MainWindow& window, const library::Hit& hit) {
    VAROINFO& label = app.currentLabel();
    if (!label.layoutValid) {
        BuildDisplayLines(label);
    }
    const FileEntry* target = listedEntryOf(label, hit);
    std::int32_t line = -1;
    for (std::int32_t i = 0; target && i < label.lineCount; ++i) {
        if (label.lineEntries[static_cast<std::size_t>(i)] == target) {
            line = i;
            break;
        }
    }
    int position = 1;
    if (line >= 0 && label.columns > 0) {
        for (int p = 2; p <= pagesPerLabel(app.view.format); ++p) {
            if (line >= FirstLineOfPosition(label, p)) {
                position = p;
            }
        }
    }
    window.setCurrentLabel(app.labels.currentLabelIndex, position);
}

} // namespace

void libraryNoteLabelFile(const std::string& path) {
    library::Library lib;
    if (lib.open(library::defaultLibraryPath()) != library::OpenResult::Opened) {
        std::fprintf(stderr, "Pelmora: the label library is not updated: %s\n",
                     lib.problem().empty() ? "it is read-only" : lib.problem().c_str());
        return;
    }
    const library::AddResult result = lib.addLabelFile(path);
    if (result.status == library::AddStatus::Failed) {
        std::fprintf(stderr, "Pelmora: %s was not added to the label library: %s\n", path.c_str(),
                     result.problem.c_str());
    }
}

void cmdFindInLabels(App& app, MainWindow& window, int) {
    const std::optional<library::Hit> hit = FindInLabels(&window, library::defaultLibraryPath(),
                                                         app.settings.position(WindowName::Find));
    if (!hit || !confirmDiscardChanges(app, window, DiscardScope::CurrentLabel)) {
        return;
    }
    SelectPlacedObject(app, window, -1);
    const LabelFileLoad load =
        finishOpen(app.document(), app.settings, app.currentLabel(), hit->labelPath);
    app.document().changed = false;
    measureLabelFonts(app.currentLabel());
    window.updateTitle();
    window.rebuildRecentMenu();
    window.updateMenuState();
    if (load.status == LabelFileStatus::Loaded) {
        libraryNoteLabelFile(hit->labelPath);
        showPageOf(app, window, *hit);
    }
    window.invalidateLabelArea();
}

} // namespace pelmora
