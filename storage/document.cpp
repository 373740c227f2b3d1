#include "storage/document.h"

#include "platform/core/message.h"

#include <cctype>
#include <sys/stat.h>

namespace pelmora {
namespace {

constexpr const char* kOpenTitle = "Load Pelmora Body...";
constexpr const char* kSaveTitle = "Save Pelmora Body...";
constexpr const char* kDefaultSaveName = "default.PMB";

std::vector<FileFilter> labelFileFilters() {
    // Both cases: "disk.pmb" is a label file too on case-sensitive file systems.
    return {{"Pelmora Bodies (*.PMB) (*.PMB *.pmb)", "*.PMB *.pmb"}, {"All Files (*.*)", "*.*"}};
}

bool containsPmb(std::string_view path) {
    for (std::size_t i = 0; i + 3 <= path.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(path[i])) == 'P' &&
            std::toupper(static_cast<unsigned char>(path[i + 1])) == 'M' &&
            std::toupper(static_cast<unsigned char>(path[i + 2])) == 'B') {
            return true;
        }
    }
    return false;
}

// The folder, name and recent list follow a path chosen in a file dialog.
void adoptChosenPath(DocumentState& document, ProgramSettings& settings, const std::string& path) {
    document.currentFilePath = path;
    document.documentName = documentNameFromPath(path);
    settings.labelPath = folderOfPath(path);
    AddRecentFile(settings, path);
}

// The document no longer names a file, so a later Save asks for a name.
void forgetFile(DocumentState& document) {
    document.currentFilePath.clear();
    document.documentName = kDefaultDocumentName;
}

// Loads `path` into `label` and tells the user what went wrong. A file that is no label, or
// a damaged one, leaves the document without a file first, so nothing the user does during
// the message (nor a Save afterwards) writes over it.
LabelFileLoad loadReportingProblems(DocumentState& document, const std::string& path,
                                    VAROINFO& label) {
    LabelFileLoad result = loadLabelFile(path, label, WhenRefused::LabelCleared);
    if (result.status != LabelFileStatus::Loaded) {
        forgetFile(document);
        reportMessage(mainWindowHandle(), "Error Loading Body", "Disk Error", MB_ICONERROR);
    } else if (isDamagedLoad(result)) {
        forgetFile(document);
        reportMessage(mainWindowHandle(), damagedFileWarning(path, result), kDamagedFileCaption,
                      MB_OK | MB_ICONWARNING);
    }
    return result;
}

std::string objectCountText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " placed object" : " placed objects");
}

} // namespace

bool isDamagedLoad(const LabelFileLoad& load) {
    return load.status == LabelFileStatus::Loaded && (!load.complete || load.droppedObjects > 0);
}

std::string damagedFileWarning(const std::string& path, const LabelFileLoad& load) {
    std::string text = "The label file \"" + path + "\" is damaged: ";
    if (!load.complete) {
        text += "reading stopped at byte " + std::to_string(load.problemOffset) + " (" +
                load.problem + ")";
        if (load.droppedObjects > 0) {
            text += ", and " + objectCountText(load.droppedObjects) + " could not be read";
        }
    } else {
        text += objectCountText(load.droppedObjects) + " could not be read";
    }
    text += ".\n\nWhat could be read is shown as the unnamed label \"" +
            std::string(kDefaultDocumentName) +
            "\". Save it under a new name: the damaged file is only replaced if you choose "
            "its name.";
    return text;
}

std::string withLabelFileExtension(std::string_view path) {
    std::string result(path);
    if (!containsPmb(path)) {
        result += ".PMB";
    }
    return result;
}

std::string fileNameOfPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string documentNameFromPath(std::string_view path) {
    std::string name = fileNameOfPath(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string folderOfPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

FileDialogRequest beginOpen(DocumentState& document, const ProgramSettings& settings) {
    document.fileDialogShown = true;
    document.currentFilePath.clear();
    FileDialogRequest request;
    request.title = kOpenTitle;
    request.filters = labelFileFilters();
    request.initialFolder = settings.labelPath;
    request.save = false;
    return request;
}

LabelFileLoad finishOpen(DocumentState& document, ProgramSettings& settings, VAROINFO& label,
                         const std::string& path) {
    const LabelFileLoad result = loadReportingProblems(document, path, label);
    if (result.status != LabelFileStatus::Loaded) {
        return result;
    }
    if (isDamagedLoad(result)) {
        // A label still: its folder and the recent list remember it, the document does not.
        settings.labelPath = folderOfPath(path);
        AddRecentFile(settings, path);
    } else {
        adoptChosenPath(document, settings, path);
    }
    return result;
}

FileDialogRequest beginSaveAs(DocumentState& document, const ProgramSettings& settings) {
    document.fileDialogShown = true;
    document.currentFilePath =
        document.documentName.empty() ? std::string(kDefaultSaveName) : document.documentName;
    FileDialogRequest request;
    request.title = kSaveTitle;
    request.filters = labelFileFilters();
    request.initialFolder = settings.labelPath;
    request.initialName = document.currentFilePath;
    request.save = true;
    return request;
}

bool appendedNameExists(const std::string& chosen) {
    const std::string finalPath = withLabelFileExtension(chosen);
    struct stat info {};
    // lstat: a symbolic link, even a dangling one, is a name that a save would write through.
    return finalPath != chosen && lstat(finalPath.c_str(), &info) == 0;
}

bool finishSaveAs(DocumentState& document, ProgramSettings& settings, const VAROINFO& label,
                  const std::string& path) {
    const std::string finalPath = withLabelFileExtension(path);
    if (!saveLabelFile(finalPath, label)) {
        return false;
    }
    adoptChosenPath(document, settings, finalPath);
    return true;
}

bool saveNeedsDialog(const DocumentState& document) {
    return document.currentFilePath.empty() || !document.fileDialogShown;
}

bool saveCurrentFile(const DocumentState& document, const VAROINFO& label) {
    return saveLabelFile(document.currentFilePath, label);
}

RecentOpenResult openRecentFile(DocumentState& document, ProgramSettings& settings, VAROINFO& label,
                                int k) {
    if (k < 1 || k > static_cast<int>(kRecentFileCount)) {
        return RecentOpenResult::EmptyEntry;
    }
    // A copy: the list is reordered below.
    const std::string path = settings.recentFiles[static_cast<std::size_t>(k - 1)];
    if (path.empty()) {
        return RecentOpenResult::EmptyEntry;
    }
    const LabelFileLoad result = loadReportingProblems(document, path, label);
    if (result.status != LabelFileStatus::Loaded) {
        return RecentOpenResult::Failed;
    }
    if (!isDamagedLoad(result)) {
        document.currentFilePath = path;
        document.documentName = documentNameFromPath(path); // as Open names it
    }
    AddRecentFile(settings, path);
    return RecentOpenResult::Loaded;
}

} // namespace pelmora
