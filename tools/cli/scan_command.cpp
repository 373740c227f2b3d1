#include "tools/cli/scan_command.h"

#include "catalog/comment_macros.h"
#include "catalog/read_disk.h"
#include "catalog/records.h"
#include "platform/core/atomic_file.h"
#include "platform/core/drives.h"
#include "platform/gdi/devices.h"
#include "render/styles.h"
#include "storage/document.h"
#include "storage/label_file.h"
#include "storage/template_file.h"
#include "tools/cli/arguments.h"
#include "tools/cli/scan_progress.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::cli {
namespace {

// The letter the scanned folder is mounted as while the CLI runs.
constexpr char kScanDrive = 'A';

struct ScanOptions {
    std::string folder;
    std::string output; // label file to write, empty for none
    CatalogSettings settings;
    std::int32_t sortMode = 1;
    std::int32_t direction = 1;
};

// The label file -o names. A value that names no file (empty, ending in '/', "." or "..", an
// existing folder) is refused: ".PMB" would otherwise be appended as a whole hidden file name.
std::string outputPath(const std::string& value) {
    const std::string name = value.substr(value.rfind('/') + 1);
    struct stat info {};
    if (name.empty() || name == "." || name == ".." ||
        (stat(value.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
        throw InputError("-o needs a file name, not \"" + value + "\"");
    }
    return withLabelFileExtension(value);
}

ScanOptions parseScanOptions(const std::vector<std::string>& args) {
    ScanOptions options;
    options.settings.driveLetter = kScanDrive;
    options.settings.scanLevels = kAllLevels;
    bool dirsOnly = false;
    bool sawInclude = false;
    bool sawExclude = false;
    Arguments in(args);
    while (!in.done()) {
        std::string arg = in.take();
        if (arg == "--levels") {
            int i = choose(arg, in.takeValue(arg), {"0", "1", "2", "3", "4", "all"});
            options.settings.scanLevels = i == 5 ? kAllLevels : i;
        } else if (arg == "--dirs-only") {
            dirsOnly = true;
        } else if (arg == "--dirinfo") {
            options.settings.dirInfoMode =
                choose(arg, in.takeValue(arg), {"none", "entries", "size"});
        } else if (arg == "--archives") {
            options.settings.scanArchives = 1;
        } else if (arg == "--exclude" || arg == "--include") {
            // Stored as the Exclude/Include dialog stores a typed pattern, so "*.hpp" here
            // takes the same files as there.
            const std::string pattern = storedPattern(in.takeValue(arg));
            (arg == "--exclude" ? sawExclude : sawInclude) = true;
            if (!pattern.empty()) {
                options.settings.addPattern(pattern.c_str());
            }
        } else if (arg == "--sort") {
            options.sortMode = 1 + choose(arg, in.takeValue(arg), {"name", "ext", "size"});
        } else if (arg == "--descending") {
            options.direction = -1;
        } else if (arg == "-o") {
            options.output = outputPath(in.takeValue(arg));
        } else if (arg == "--use-template") {
            options.settings.useTemplateFiles = 1;
        } else if (isHelpOption(arg)) {
            throw HelpRequested();
        } else if (arg.starts_with("--")) {
            throw UsageError("unknown option " + arg);
        } else if (options.folder.empty()) {
            options.folder = arg;
        } else {
            throw UsageError("only one folder can be scanned, got \"" + arg + "\" too");
        }
    }
    if (options.folder.empty()) {
        throw UsageError("scan needs a FOLDER");
    }
    if (sawInclude && sawExclude) {
        throw UsageError("--include and --exclude cannot be mixed");
    }
    // An include list without patterns would take no file at all, so it excludes nothing,
    // as the dialog decides.
    options.settings.excludeMode = sawInclude && !options.settings.excludePatterns.empty() ? 0 : 1;
    if (dirsOnly) {
        options.settings.scanLevels = -options.settings.scanLevels;
    }
    return options;
}

void checkReadable(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        throw InputError("cannot read folder " + folder + ": " + std::strerror(errno));
    }
    closedir(dir);
}

void printNode(const VAROINFO& node, int depth, bool terminal, std::ostream& out) {
    for (const FileEntry& entry : node.entries) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ')
            << forTerminal(entry.name, terminal) << '\t' << forTerminal(entry.sizeText, terminal)
            << '\n';
        if (entry.hasChild && entry.open && entry.child) {
            printNode(*entry.child, depth + 1, terminal, out);
        }
    }
}

} // namespace

std::string forTerminal(std::string_view text, bool terminal) {
    std::string shown(text);
    if (terminal) {
        for (char& c : shown) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F) {
                c = '?';
            }
        }
    }
    return shown;
}

int runScan(const std::vector<std::string>& args, std::ostream& out) {
    return runScan(args, out, &out == &std::cout && isatty(STDOUT_FILENO) == 1);
}

int runScan(const std::vector<std::string>& args, std::ostream& out, bool terminal) {
    ScanOptions options = parseScanOptions(args);
    checkReadable(options.folder);
    setDriveFolder(kScanDrive, options.folder);

    LabelSet labels;
    VAROINFO& label = labels.current();
    resetFormat(label);
    clearLabel(label);
    label.sortMode = options.sortMode;
    label.direction = options.direction;
    const DiskReadResult read =
        readDisk(labels, options.settings, ApplyDiskTemplate, terminalProgress());
    if (read.unreadableFolders > 0) {
        std::cerr << "pelmora-cli: " << read.unreadableFolders
                  << (read.unreadableFolders == 1 ? " folder" : " folders")
                  << " could not be read (listed without contents)\n";
    }
    if (read.archiveMembersLeftOut > 0) {
        std::cerr << "pelmora-cli: " << archiveMembersLeftOutText(read.archiveMembersLeftOut)
                  << '\n';
    }
    if (read.incomplete) {
        std::cerr << "pelmora-cli: " << kIncompleteCatalogText << '\n';
    }

    if (!options.output.empty()) {
        // The file carries the fonts' line heights; without a printer here they are the
        // display's, as the program measures them without one.
        auto ic = gdi::createInformationContext(gdi::displayCaps());
        MeasureFontHeights(label, *ic);
        std::string problem = labelFileProblem(label);
        if (!problem.empty()) {
            throw InputError("cannot write " + options.output + ": " + problem);
        }
        if (!writeFileAtomically(options.output, encodeLabelFile(label), &problem)) {
            throw InputError("cannot write " + options.output + ": " + problem);
        }
    }

    printNode(label, 0, terminal, out);
    char comment[kExpandedCommentCapacity];
    expandComment(label, comment, sizeof comment);
    out << "Volume: " << forTerminal(label.volumeName, terminal) << '\n'
        << "Space free: " << label.spaceFree << '\n'
        << "Space used: " << label.spaceUsed << '\n'
        << "Space total: " << label.spaceTotal << '\n'
        << "Files: " << label.fileCount << '\n'
        << "Folders: " << label.folderCount << '\n'
        << "Comment: " << forTerminal(comment, terminal) << '\n';
    return 0;
}

} // namespace pelmora::cli
