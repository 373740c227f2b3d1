#include "shell/document_types.h"

#include "platform/core/atomic_file.h"
#include "platform/core/desktop_exec.h"
#include "platform/core/message.h"
#include "platform/core/profile.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace pelmora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgramName = "Pelmora";

struct IconFile {
    const char* resource;
    const char* size;
    const char* name;
};

constexpr IconFile kIcons[] = {
    {":/icons/label-file-16.png", "16x16", "mimetypes/application-x-pelmora-label.png"},
    {":/icons/label-file-32.png", "32x32", "mimetypes/application-x-pelmora-label.png"},
    {":/icons/label-file-48.png", "48x48", "mimetypes/application-x-pelmora-label.png"},
    {":/icons/template-file-16.png", "16x16", "mimetypes/application-x-pelmora-template.png"},
    {":/icons/template-file-32.png", "32x32", "mimetypes/application-x-pelmora-template.png"},
    {":/icons/template-file-48.png", "48x48", "mimetypes/application-x-pelmora-template.png"},
    // The program's own icon, which the menu entries Setup writes name.
    {":/icons/pelmora-16.png", "16x16", "apps/pelmora.png"},
    {":/icons/pelmora-32.png", "32x32", "apps/pelmora.png"},
    {":/icons/pelmora-48.png", "48x48", "apps/pelmora.png"},
};

// The program's path as one word of an Exec line; empty when no Exec line can name it.
std::string execProgram(const std::string& programFolder) {
    std::string path = programFolder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return desktopExecArgument(path + kProgramName);
}

std::string resourceText(const char* name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::string();
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The installed entries' texts name the program as "@PELMORA_PROGRAM@"; empty when the
// program's path cannot be written there.
std::string withProgram(std::string text, const std::string& programFolder) {
    const std::string marker = "@PELMORA_PROGRAM@";
    const std::string program = execProgram(programFolder);
    if (program.empty()) {
        return std::string();
    }
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + program.size())) {
        text.replace(at, marker.size(), program);
    }
    return text;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes `content` unless the file already holds it; true when it was written.
bool writeIfDifferent(const std::string& path, const std::string& content) {
    std::error_code error;
    if (fs::exists(path, error) && readWhole(path) == content) {
        return false;
    }
    fs::create_directories(fs::path(path).parent_path(), error);
    return writeFileAtomically(path, content, nullptr);
}

// Runs a desktop cache tool if it is installed; its absence or failure is no error.
void runIfPresent(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}

} // namespace

std::string documentTypesProgramFolder() {
    std::string folder =
        GetPrivateProfileString("Install", "InstallPath", "error", 512, profilePath("Pelmora.ini"));
    if (folder != "error") {
        return folder;
    }
    // Without an installation on record, the folder that holds the running program: an entry
    // pointing at whatever folder the program was started from would name a program that is not
    // there, and (being the user's own) would hide the working entry of a packaged install.
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string userDataFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return dataHome;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share";
}

std::string mimePackageText() {
    return resourceText(":/desktop/pelmora.xml");
}

std::string labelDesktopEntryText(const std::string& programFolder) {
    return withProgram(resourceText(":/desktop/pelmora-label.desktop"), programFolder);
}

std::string templateDesktopEntryText(const std::string& programFolder) {
    return withProgram(resourceText(":/desktop/pelmora-template.desktop"), programFolder);
}

int RecordDocumentTypes(const std::string& dataFolder, const std::string& programFolder) {
    if (programFolder.empty() || dataFolder.empty()) {
        return 0;
    }
    int mimeWritten = 0;
    int entriesWritten = 0;
    int iconsWritten = 0;
    mimeWritten += writeIfDifferent(dataFolder + "/mime/packages/pelmora.xml", mimePackageText());
    const std::string labelEntry = labelDesktopEntryText(programFolder);
    const std::string templateEntry = templateDesktopEntryText(programFolder);
    if (labelEntry.empty() || templateEntry.empty()) {
        // A folder name with a line break would add lines of its own to the entries, and the
        // desktop would run them; such a name is not written at all.
        reportMessage(nullptr,
                      "The document types were not recorded: a desktop entry cannot name the "
                      "program folder \"" +
                          desktopRefusedPathShown(programFolder) + "\".",
                      kDocumentTypesCaption, MB_ICONWARNING);
    } else {
        entriesWritten +=
            writeIfDifferent(dataFolder + "/applications/pelmora-label.desktop", labelEntry);
        entriesWritten +=
            writeIfDifferent(dataFolder + "/applications/pelmora-template.desktop", templateEntry);
    }
    for (const IconFile& icon : kIcons) {
        QFile resource(icon.resource);
        if (!resource.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray bytes = resource.readAll();
        iconsWritten +=
            writeIfDifferent(dataFolder + "/icons/hicolor/" + icon.size + "/" + icon.name,
                             std::string(bytes.constData(), bytes.size()));
    }
    if (mimeWritten > 0) {
        runIfPresent({"update-mime-database", dataFolder + "/mime"});
    }
    if (entriesWritten > 0) {
        runIfPresent({"update-desktop-database", dataFolder + "/applications"});
    }
    return mimeWritten + entriesWritten + iconsWritten;
}

} // namespace pelmora
