#include "shell/document_types.h"

#include "platform/core/atomic_file.h"
#include "platform/core/profile.h"

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
    {":/icons/label-file-16.png", "16x16", "application-x-pelmora-label.png"},
    {":/icons/label-file-32.png", "32x32", "application-x-pelmora-label.png"},
    {":/icons/label-file-48.png", "48x48", "application-x-pelmora-label.png"},
    {":/icons/template-file-16.png", "16x16", "application-x-pelmora-template.png"},
    {":/icons/template-file-32.png", "32x32", "application-x-pelmora-template.png"},
    {":/icons/template-file-48.png", "48x48", "application-x-pelmora-template.png"},
};

// The program's path as one word of an Exec line: quoted (with the characters the desktop
// entry format reserves escaped) when it holds anything but plain path characters.
std::string execProgram(const std::string& programFolder) {
    std::string path = programFolder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += kProgramName;
    if (path.find_first_of(" \t\n\"'\\><~|&;$*?#()`%=") == std::string::npos) {
        return path;
    }
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    // Inside a desktop entry's value a backslash is itself escaped once more.
    std::string escaped;
    for (char c : quoted) {
        escaped += c;
        if (c == '\\') {
            escaped += '\\';
        }
    }
    return escaped;
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
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::string() : current.string();
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
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"application/x-pelmora-label\">\n"
           "    <comment>Pelmora Label</comment>\n"
           "    <icon name=\"application-x-pelmora-label\"/>\n"
           "    <glob pattern=\"*.PMB\"/>\n"
           "  </mime-type>\n"
           "  <mime-type type=\"application/x-pelmora-template\">\n"
           "    <comment>Pelmora Template</comment>\n"
           "    <icon name=\"application-x-pelmora-template\"/>\n"
           "    <glob pattern=\"*.PMT\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string labelDesktopEntryText(const std::string& programFolder) {
    const std::string program = execProgram(programFolder);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pelmora\n"
           "GenericName=Pelmora Label\n"
           "Comment=Open a disk label in Pelmora\n"
           "Exec=" +
           program +
           " -label %f\n"
           "Icon=application-x-pelmora-label\n"
           "MimeType=application/x-pelmora-label;\n"
           "NoDisplay=true\n"
           "Actions=Print;\n"
           "\n"
           "[Desktop Action Print]\n"
           "Name=Print\n"
           "Exec=" +
           program + " -printlabel %f\n";
}

std::string templateDesktopEntryText(const std::string& programFolder) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pelmora\n"
           "GenericName=Pelmora Template\n"
           "Comment=Start Pelmora with a label template\n"
           "Exec=" +
           execProgram(programFolder) +
           " -template %f\n"
           "Icon=application-x-pelmora-template\n"
           "MimeType=application/x-pelmora-template;\n"
           "NoDisplay=true\n";
}

int RecordDocumentTypes(const std::string& dataFolder, const std::string& programFolder) {
    if (programFolder.empty() || dataFolder.empty()) {
        return 0;
    }
    int mimeWritten = 0;
    int entriesWritten = 0;
    int iconsWritten = 0;
    mimeWritten += writeIfDifferent(dataFolder + "/mime/packages/pelmora.xml", mimePackageText());
    entriesWritten += writeIfDifferent(dataFolder + "/applications/pelmora-label.desktop",
                                       labelDesktopEntryText(programFolder));
    entriesWritten += writeIfDifferent(dataFolder + "/applications/pelmora-template.desktop",
                                       templateDesktopEntryText(programFolder));
    for (const IconFile& icon : kIcons) {
        QFile resource(icon.resource);
        if (!resource.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray bytes = resource.readAll();
        iconsWritten +=
            writeIfDifferent(dataFolder + "/icons/hicolor/" + icon.size + "/mimetypes/" + icon.name,
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
