#include "uninstall/second_run.h"

#include "platform/core/descriptor.h"
#include "platform/core/message.h"
#include "setup/installation.h"
#include "setup/manifest_removal.h"
#include "setup/process_start.h"
#include "uninstall/first_run.h"

#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

// Removes the listed "Uninstal" until it is reported missing (or no longer the installed
// file); a file that cannot be removed yet is tried again after a pause. False when the
// attempts ran out.
bool removeWhenReleased(const std::string& programFolder, const ManifestFile& uninstaller,
                        const UninstallWait& wait) {
    for (int attempt = 0;; ++attempt) {
        const Descriptor root(openProgramFolder(programFolder));
        const ListedRemoval result =
            root.valid() ? removeListedFile(root.get(), uninstaller) : ListedRemoval::Missing;
        if (result == ListedRemoval::Removed) {
            continue; // one more attempt confirms it is gone
        }
        if (result != ListedRemoval::Failed) {
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

std::string stayedText(const std::vector<std::string>& stayed) {
    std::string names;
    for (const std::string& path : stayed) {
        names += (names.empty() ? "\"" : ", \"") + path + "\"";
    }
    return "Can't remove " + names +
           (stayed.size() == 1 ? ", Please Remove It Manually" : ", Please Remove Them Manually");
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
                    const InstallManifest& manifest, const std::string& ownPath,
                    const UninstallWait& wait) {
    std::vector<std::string> stayed =
        removeListedFiles(programFolder, manifest, {kUninstallerName});
    if (const ManifestFile* uninstaller = manifest.find(kUninstallerName)) {
        if (!removeWhenReleased(programFolder, *uninstaller, wait)) {
            stayed.push_back(programFolder + "/" + kUninstallerName);
        }
    }
    if (!stayed.empty()) {
        reportMessage(nullptr, stayedText(stayed), "Uninstallation Incomplete", MB_ICONWARNING);
    } else {
        removeListedFolders(programFolder, manifest);
        // Last: while it is there, a second run can find the installation again.
        ::unlink(productIniPath(productName).c_str());
        reportMessage(nullptr, productName + " Uninstallation Completed!",
                      "Uninstallation Succeded", MB_ICONINFORMATION);
    }
    removeOwnCopyAfterExit(ownPath);
    return stayed.empty() ? kUninstallSucceeded : kUninstallFailed;
}

} // namespace pelmora
