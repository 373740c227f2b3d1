#include "uninstall/second_run.h"

#include "platform/core/message.h"
#include "setup/installation.h"
#include "setup/process_start.h"
#include "uninstall/first_run.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

// The help book's own files, then its folders from the deepest up; anything the user added
// keeps its folder.
void removeHelpBook(const std::string& helpFolder) {
    std::vector<std::string> folders;
    for (const std::string& file : helpBookFiles()) {
        ::unlink((helpFolder + "/" + file).c_str());
        for (fs::path parent = fs::path(file).parent_path(); !parent.empty();
             parent = parent.parent_path()) {
            folders.push_back(helpFolder + "/" + parent.string());
        }
    }
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders) {
        ::rmdir(folder.c_str());
    }
    ::rmdir(helpFolder.c_str());
}

void removeInstalledFiles(const std::string& productName, const std::string& programFolder) {
    for (const InstalledItem& item : installedItems(productName)) {
        const std::string path = programFolder + "/" + item.name;
        if (item.folder) {
            removeHelpBook(path);
        } else if (item.name != kUninstallerName) {
            ::unlink(path.c_str());
        }
    }
}

// Deletes `path` until it is reported missing; a file still held by the first run (or not
// deletable at all) is tried again after a pause. False when the attempts ran out.
bool removeWhenReleased(const std::string& path, const UninstallWait& wait) {
    for (int attempt = 0;; ++attempt) {
        if (::unlink(path.c_str()) == 0) {
            continue; // one more attempt confirms it is gone
        }
        if (errno == ENOENT) {
            return true;
        }
        if (attempt >= wait.attempts) {
            return false;
        }
        if (wait.pause) {
            wait.pause();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }
}

// The running copy lies in a temporary folder of its own: a shell removes both once this
// process has ended (waiting at most five seconds for that).
void removeOwnCopyAfterExit(const std::string& ownPath) {
    const fs::path own(ownPath);
    if (!own.parent_path().filename().string().starts_with(kTemporaryFolderPrefix)) {
        return;
    }
    const std::string script = "i=0; while kill -0 \"$1\" 2>/dev/null && [ $i -lt 50 ]; do "
                               "sleep 0.1; i=$((i+1)); done; rm -f -- \"$2\"; rmdir -- \"$3\"";
    startDetached(
        {"/bin/sh",
         {"-c", script, "sh", std::to_string(::getpid()), ownPath, own.parent_path().string()},
         "/"});
}

} // namespace

int finishUninstall(const std::string& productName, const std::string& programFolder,
                    const std::string& ownPath, const UninstallWait& wait) {
    removeInstalledFiles(productName, programFolder);
    const std::string uninstaller = programFolder + "/" + kUninstallerName;
    const bool released = removeWhenReleased(uninstaller, wait);
    if (!released) {
        reportMessage(nullptr, "Can't remove \"" + uninstaller + "\", Please Remove It Manually",
                      "Uninstallation Incomplete", MB_ICONWARNING);
    }
    ::rmdir(programFolder.c_str());
    ::unlink(productIniPath(productName).c_str());
    if (released) {
        reportMessage(nullptr, productName + " Uninstallation Completed!",
                      "Uninstallation Succeded", MB_ICONINFORMATION);
    }
    removeOwnCopyAfterExit(ownPath);
    return released ? kUninstallSucceeded : kUninstallFailed;
}

} // namespace pelmora
