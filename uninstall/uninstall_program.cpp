#include "uninstall/uninstall_program.h"

#include "platform/core/message.h"
#include "setup/installation.h"
#include "uninstall/entry_removal.h"
#include "uninstall/first_run.h"
#include "uninstall/second_run.h"

namespace pelmora {

namespace {

constexpr std::size_t kProgramFolderCapacity = 512;

} // namespace

int runUninstall(const std::string& productName, const std::string& commandLine,
                 const std::string& ownPath, const UninstallWait& wait) {
    // Only an absolute folder is used: the files are removed by their names inside it.
    const auto folder = readInstallPath(productName, kProgramFolderCapacity);
    if (!folder || !folder->starts_with("/")) {
        reportMessage(nullptr, "Can't Find Installation Path, Please Remove Manually",
                      "Can't Uninstall...", MB_ICONERROR);
        return kUninstallFailed;
    }
    const bool secondRun = commandLine == "killemall";
    if (!secondRun && reportMessage(nullptr, "Really Uninstall " + productName + "?",
                                    "Last Chance...", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return kUninstallSucceeded;
    }
    removeInstallationEntries(productName, *folder);
    if (!secondRun) {
        return startSecondRun(*folder);
    }
    return finishUninstall(productName, *folder, ownPath, wait);
}

} // namespace pelmora
