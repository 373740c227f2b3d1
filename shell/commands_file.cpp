// The File menu: the label file, the drive and how it is read, templates, the label format and
// resetting (window scaling is in commands_view.cpp). Also the question whether to read the
// disk again, the command-line loads and Apply from the choosers.

#include "catalog/dialogs/drive_dialog.h"
#include "catalog/records.h"
#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/ui/dialogs.h"
#include "render/printer.h"
#include "render/styles.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/library_hook.h"
#include "shell/main_window.h"
#include "shell/object_hit.h"
#include "shell/small_dialogs.h"
#include "shell/unsaved_changes.h"
#include "storage/document.h"
#include "storage/label_file.h"
#include "storage/template_file.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {
namespace {

const char* const kScanDisk = "Scan Disk";
const char* const kDontScanDisk = "Don't Scan Disk";

const char* const kRescanCaption = "Directory Scanning Warning";
const char* const kRescanMessage = "You need to re-scan the disk for this setting to take effect.";

// "Desc (*.X)" entries joined the way the file choosers take them.
std::string filterText(const std::vector<FileFilter>& filters) {
    std::string text;
    for (const FileFilter& filter : filters) {
        if (!text.empty()) {
            text += ";;";
        }
        text += filter.description;
        if (filter.description.find('(') == std::string::npos) {
            text += " (" + filter.pattern + ")";
        }
    }
    return text;
}

void refreshAfterLoad(App& app, MainWindow& window) {
    measureLabelFonts(app.currentLabel());
    window.updateTitle();
    window.rebuildRecentMenu();
    window.updateMenuState();
}

// The part of the command line after a switch and one blank, as given.
std::string commandLinePath(const App& app, std::size_t switchLength) {
    const std::string& line = app.shell.commandLine;
    return line.size() > switchLength + 1 ? line.substr(switchLength + 1) : std::string();
}

// The command-line load: the label is cleared only once the file's version is accepted;
// the document's name and path stay, so a later Save asks for a name.
bool loadFromCommandLine(App& app, MainWindow& window, std::size_t switchLength) {
    const std::string path = commandLinePath(app, switchLength);
    SelectPlacedObject(app, window, -1);
    const LabelFileLoad load = loadLabelFile(path, app.currentLabel(), WhenRefused::LabelKept);
    if (load.status != LabelFileStatus::Loaded) {
        reportMessage(mainWindowHandle(), path, "Unable to load...", MB_OK | MB_ICONERROR);
        return false;
    }
    measureLabelFonts(app.currentLabel());
    markDocumentUnchanged(app, window);
    window.updateMenuState();
    return true;
}

// The save dialog asked about overwriting the name the user typed; when ".PMB" is appended
// to it another file is written, and that one is asked about here. No keeps the file.
bool mayReplaceAppendedName(MainWindow& window, const std::string& title,
                            const std::string& chosen) {
    if (!appendedNameExists(chosen)) {
        return true;
    }
    const std::string text = "\"" + fileNameOfPath(withLabelFileExtension(chosen)) +
                             "\" already exists.\nDo you want to replace it?";
    return ui::messageBox(&window, text, title, MB_YESNO | MB_ICONWARNING) == IDYES;
}

} // namespace

bool saveDocumentAs(App& app, MainWindow& window, int index) {
    DocumentState& document = app.documents[static_cast<std::size_t>(index)];
    const std::string previousPath = document.currentFilePath;
    const bool previousDialogShown = document.fileDialogShown;
    const FileDialogRequest request = beginSaveAs(document, app.settings);
    const std::optional<std::string> path =
        ui::askSaveFileName(&window, request.title, filterText(request.filters),
                            request.initialFolder, request.initialName);
    const bool saved = path && mayReplaceAppendedName(window, request.title, *path) &&
                       finishSaveAs(document, app.settings,
                                    app.labels.labels[static_cast<std::size_t>(index)], *path);
    if (!saved) {
        // A Save As that wrote nothing changes nothing. The dialog's initial name (a bare
        // document name) must not become the file a later Save writes to: that would land in
        // the working folder, not where the label lives. Nor may the dialog turn a path that
        // Save would still have asked about (the template named on the command line, a
        // recent file) into one it writes over without asking.
        document.currentFilePath = previousPath;
        document.fileDialogShown = previousDialogShown;
        return false;
    }
    document.changed = false;
    libraryNoteLabelFile(document.currentFilePath);
    window.updateTitle();
    window.rebuildRecentMenu();
    return true;
}

bool saveDocument(App& app, MainWindow& window, int index) {
    DocumentState& document = app.documents[static_cast<std::size_t>(index)];
    if (saveNeedsDialog(document)) {
        return saveDocumentAs(app, window, index);
    }
    if (!saveCurrentFile(document, app.labels.labels[static_cast<std::size_t>(index)])) {
        return false;
    }
    document.changed = false;
    libraryNoteLabelFile(document.currentFilePath);
    window.updateTitle();
    return true;
}

void scanPrompt(App& app, MainWindow& window, int hint, const std::string& caption,
                const std::string& message) {
    if (ShowHint(&window, app.settings, caption, message, kScanDisk, kDontScanDisk, hint) == 1) {
        window.postCommand(CMD_READ_DISK);
    }
}

void measureLabelFonts(VAROINFO& label) {
    std::unique_ptr<gdi::DeviceContext> ic = CreatePrinterIC();
    if (!ic) {
        ic = gdi::createInformationContext(gdi::displayCaps());
    }
    MeasureFontHeights(label, *ic);
}

void cmdNew(App& app, MainWindow& window, int) {
    if (!confirmDiscardChanges(app, window, DiscardScope::CurrentLabel)) {
        return;
    }
    SelectPlacedObject(app, window, -1);
    clearLabel(app.currentLabel());
    // A new document has no file: the next Save asks for a name rather than replacing the
    // file the cleared label came from.
    app.document().currentFilePath.clear();
    app.document().documentName = kDefaultDocumentName;
    markDocumentUnchanged(app, window);
    window.invalidateLabelArea();
}

void cmdOpen(App& app, MainWindow& window, int) {
    if (!confirmDiscardChanges(app, window, DiscardScope::CurrentLabel)) {
        return;
    }
    const FileDialogRequest request = beginOpen(app.document(), app.settings);
    const std::optional<std::string> path =
        ui::askOpenFileName(&window, request.title, filterText(request.filters),
                            request.initialFolder, request.initialName);
    if (path) {
        SelectPlacedObject(app, window, -1);
        if (finishOpen(app.document(), app.settings, app.currentLabel(), *path).status ==
            LabelFileStatus::Loaded) {
            libraryNoteLabelFile(*path);
        }
        app.document().changed = false;
        refreshAfterLoad(app, window);
    }
    window.invalidateLabelArea();
}

void cmdSave(App& app, MainWindow& window, int) {
    saveDocument(app, window, app.labels.currentLabelIndex);
    window.invalidateLabelArea();
}

void cmdSaveAs(App& app, MainWindow& window, int) {
    saveDocumentAs(app, window, app.labels.currentLabelIndex);
    window.invalidateLabelArea();
}

void cmdRecentFile(App& app, MainWindow& window, int id) {
    const std::size_t entry = static_cast<std::size_t>(id - CMD_RECENT_1);
    const bool loads =
        entry < app.settings.recentFiles.size() && !app.settings.recentFiles[entry].empty();
    if (loads && !confirmDiscardChanges(app, window, DiscardScope::CurrentLabel)) {
        return;
    }
    SelectPlacedObject(app, window, -1);
    const RecentOpenResult result =
        openRecentFile(app.document(), app.settings, app.currentLabel(), id - CMD_RECENT_1 + 1);
    if (result == RecentOpenResult::Loaded) {
        libraryNoteLabelFile(app.settings.recentFiles[0]); // the opened file moved to the front
    }
    if (result != RecentOpenResult::EmptyEntry) {
        app.document().changed = false;
        refreshAfterLoad(app, window);
    }
    window.invalidateLabelArea();
}

void cmdSelectDrive(App& app, MainWindow& window, int) {
    if (SelectDrive(&window, app.catalog, app.settings.position(WindowName::Drive)) == 1) {
        scanPrompt(app, window, kHintNewDrive, "Drive Modification Warning",
                   "You've selected a new drive to scan, would you like to scan it now?");
    }
}

void cmdLabelFormat(App& app, MainWindow& window, int id) {
    SelectPlacedObject(app, window, -1);
    ViewState& view = app.view;
    switch (id) {
    case CMD_FORMAT_ONE:
        view.format = ONE_LABEL;
        view.zoomed = 1;
        view.position = 1;
        window.setCurrentLabel(0, 1);
        break;
    case CMD_FORMAT_QUAD:
        view.format = QUAD_LABEL;
        view.position = 1;
        window.setCurrentLabel(0, 1);
        break;
    case CMD_FORMAT_TWO_FOLD_OUT:
    case CMD_FORMAT_TWO_FOLD_AROUND:
        view.format = id == CMD_FORMAT_TWO_FOLD_OUT ? TWO_FOLD_OUT : TWO_FOLD_AROUND;
        window.setCurrentLabel(0, 1);
        break;
    case CMD_FORMAT_FOUR:
        // The current label stays; the next label change redraws the overview's frame.
        view.format = FOUR_LABELS;
        view.position = 1;
        break;
    default:
        return;
    }
    // The pages the file list flows over changed with the format.
    for (VAROINFO& label : app.labels.labels) {
        label.layoutValid = 0;
    }
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdDirectoryLevels(App& app, MainWindow& window, int id) {
    static constexpr std::int32_t kLevels[] = {0, 1, 2, 3, 4, kAllLevels};
    const std::int32_t levels = kLevels[id - CMD_LEVELS_ROOT];
    std::int32_t& scanLevels = app.catalog.scanLevels;
    if (std::abs(scanLevels) == levels) {
        return;
    }
    scanLevels = scanLevels < 0 ? -levels : levels;
    window.updateMenuState();
    scanPrompt(app, window, kHintRescan, kRescanCaption, kRescanMessage);
    window.invalidateLabelArea();
}

void cmdDirectoriesOnly(App& app, MainWindow& window, int) {
    app.catalog.scanLevels = -app.catalog.scanLevels;
    window.updateMenuState();
    scanPrompt(app, window, kHintRescan, kRescanCaption, kRescanMessage);
    window.invalidateLabelArea();
}

void cmdDirectoryInfo(App& app, MainWindow& window, int id) {
    app.catalog.dirInfoMode = id == CMD_DIRINFO_KILOBYTES ? 2 : id == CMD_DIRINFO_FILES ? 1 : 0;
    window.updateMenuState();
    scanPrompt(app, window, kHintRescan, kRescanCaption, kRescanMessage);
    window.invalidateLabelArea();
}

void cmdScanArchives(App& app, MainWindow& window, int) {
    app.catalog.scanArchives = app.catalog.scanArchives != 0 ? 0 : 1;
    window.updateMenuState();
    if (app.catalog.scanArchives == 1) {
        scanPrompt(app, window, kHintArchives, "Archive Scanning Warning",
                   "Scanning archives increases disk read time.\n"
                   "Would you like to scan the disk now?");
    }
    window.invalidateLabelArea();
}

void cmdUseTemplateFiles(App& app, MainWindow& window, int) {
    app.catalog.useTemplateFiles = app.catalog.useTemplateFiles != 0 ? 0 : 1;
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdReadTemplate(App& app, MainWindow& window, int) {
    SelectPlacedObject(app, window, -1);
    if (ReadTemplate(app.catalog.driveLetter, app.currentLabel()) == TemplateReadStatus::Applied) {
        measureLabelFonts(app.currentLabel());
        markDocumentChanged(app, window);
    }
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdWriteTemplate(App& app, MainWindow& window, int) {
    // A read-only or full disk keeps no template: the user is told, or the next read of the
    // disk would silently come back without the design.
    std::string problem;
    if (!WriteTemplate(app.catalog.driveLetter, app.currentLabel(), &problem)) {
        reportMessage(mainWindowHandle(), "The template file could not be written.\n\n" + problem,
                      "Template Error", MB_OK | MB_ICONERROR);
    }
    window.invalidateLabelArea();
}

void cmdClearAllLabels(App& app, MainWindow& window, int) {
    if (!confirmDiscardChanges(app, window, DiscardScope::AllLabels)) {
        return;
    }
    SelectPlacedObject(app, window, -1);
    for (VAROINFO& label : app.labels.labels) {
        clearLabel(label);
    }
    // As after New, for every label: no file a later Save could replace with an empty label.
    for (DocumentState& document : app.documents) {
        document.currentFilePath.clear();
        document.documentName = kDefaultDocumentName;
        document.changed = false;
    }
    window.updateTitle();
    window.invalidateLabelArea();
}

void cmdResetDefaults(App& app, MainWindow& window, int) {
    app.catalog.scanLevels = 1;
    app.view.windowScaleChanged = true; // the logo fonts are made again
    // The fonts are made in the screen's device pixels, as at start-up: the label mapping
    // would take the window scale out of them again.
    std::unique_ptr<gdi::DeviceContext> screen = gdi::createInformationContext(gdi::displayCaps());
    for (VAROINFO& label : app.labels.labels) {
        ResetLabelFormat(label, *screen);
    }
    MeasureAllFontHeights(app.labels);
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdExit(App&, MainWindow& window, int) {
    // The close event asks about unsaved changes; Cancel keeps the window open.
    window.close();
}

void cmdCommandLineLabel(App& app, MainWindow& window, int) {
    loadFromCommandLine(app, window, 6); // "-label"
    window.invalidateLabelArea();
}

void cmdCommandLineTemplate(App& app, MainWindow& window, int) {
    // The named template is applied, as Read Template File applies the drive's. The path does
    // not become the document's file: a Save would write a label file over the template.
    const std::string path = commandLinePath(app, 9); // "-template"
    SelectPlacedObject(app, window, -1);
    const TemplateReadStatus status = readTemplateFile(path, app.currentLabel());
    if (status == TemplateReadStatus::Applied) {
        measureLabelFonts(app.currentLabel());
        markDocumentChanged(app, window);
    } else if (status == TemplateReadStatus::NoFile) {
        reportMessage(mainWindowHandle(), path, "Unable to load...", MB_OK | MB_ICONERROR);
    }
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdCommandLinePrint(App& app, MainWindow& window, int) {
    if (loadFromCommandLine(app, window, 11)) { // "-printlabel"
        window.sendCommand(CMD_PRINT);
        // Load, print, exit: nothing was edited, so the exit never asks.
        app.document().changed = false;
        window.sendCommand(CMD_EXIT);
        return;
    }
    window.invalidateLabelArea();
}

} // namespace pelmora
