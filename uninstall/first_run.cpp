#include "uninstall/first_run.h"

#include "platform/core/message.h"
#include "setup/file_copy.h"
#include "setup/installation.h"
#include "setup/process_start.h"
#include "uninstall/uninstall_program.h"

#include <QDir>
#include <cstdlib>
#include <filesystem>

namespace pelmora {

namespace {

int cannotContinue(const std::string& text) {
    reportMessage(nullptr, text, "Can't Uninstall...", MB_ICONERROR);
    return kUninstallFailed;
}

} // namespace

int startSecondRun(const std::string& programFolder) {
    // A folder of its own rather than a fixed name in the shared temporary folder, where
    // another user could have put a file or link of that name.
    std::string temporary =
        QDir::tempPath().toStdString() + "/" + kTemporaryFolderPrefix + "XXXXXX";
    if (::mkdtemp(temporary.data()) == nullptr) {
        return cannotContinue("Can't make a temporary folder in " + QDir::tempPath().toStdString());
    }
    const std::string source = programFolder + "/" + kUninstallerName;
    const std::string copy = temporary + "/" + kUninstallerName;
    if (!copyFileReplacing(source, copy, 0700)) {
        std::error_code error;
        std::filesystem::remove(temporary, error);
        return cannotContinue("Can't copy \"" + source + "\" to \"" + copy + "\"");
    }
    if (!startDetached({copy, {"killemall"}, "/"})) {
        std::error_code error;
        std::filesystem::remove_all(temporary, error);
        return cannotContinue("Can't start \"" + copy + "\"");
    }
    return kUninstallSucceeded;
}

} // namespace pelmora
