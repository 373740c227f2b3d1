#include "uninstall/entry_removal.h"

#include "setup/desktop_entry.h"
#include "setup/installation.h"

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Removes the handlers whose commands start the program in `programFolder`; handlers of
// another copy of the program stay. True when one was removed.
bool removeDocumentHandlers(const std::string& productName, const std::string& programFolder) {
    const std::string command =
        "Exec=" + desktopExecArgument(programFolder + "/" + productName) + " ";
    bool removed = false;
    for (const std::string& path : documentHandlerEntryPaths()) {
        if (readWhole(path).find(command) != std::string::npos) {
            removed |= ::unlink(path.c_str()) == 0;
        }
    }
    return removed;
}

// The MIME package and the icons serve every copy of the program: they go once no copy's
// handler is left. True when the package was removed.
bool removeDocumentTypesWhenUnused() {
    for (const std::string& path : documentHandlerEntryPaths()) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0) {
            return false;
        }
    }
    bool packageRemoved = false;
    for (const std::string& path : documentTypeFilePaths()) {
        const bool removed = ::unlink(path.c_str()) == 0;
        packageRemoved |= removed && path.ends_with(".xml");
    }
    return packageRemoved;
}

} // namespace

void removeInstallationEntries(const std::string& productName, const std::string& programFolder) {
    // The label program registers its document types at every start on any shell.
    // The desktop's list of handlers per document type would still name the removed ones,
    // and its MIME database the removed types.
    if (removeDocumentHandlers(productName, programFolder)) {
        QProcess::execute(QStringLiteral("update-desktop-database"),
                          {QString::fromStdString(programsFolder())});
    }
    if (removeDocumentTypesWhenUnused()) {
        QProcess::execute(QStringLiteral("update-mime-database"),
                          {QString::fromStdString(mimeFolder())});
    }
    if (shellLevel() <= 3) {
        sendProgramManagerCommand("[DeleteGroup(\"" + productName + "\")]");
        return;
    }
    const std::string record = uninstallRecordPath(productName);
    ::unlink(record.c_str());
    ::rmdir(fs::path(record).parent_path().c_str());

    std::vector<std::string> names = olderMenuEntryNames(productName);
    for (const MenuEntry& entry : menuEntriesFor(productName, programFolder)) {
        names.push_back(entry.name);
    }
    for (const std::string& name : names) {
        ::unlink(menuEntryPath(productName, name).c_str());
    }
    ::rmdir(menuFolder(productName).c_str());
}

} // namespace pelmora
