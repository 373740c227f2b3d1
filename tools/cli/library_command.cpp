#include "tools/cli/library_command.h"

#include "library/library.h"
#include "tools/cli/arguments.h"

#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace pelmora::cli {

namespace {

using library::AddResult;
using library::AddStatus;
using library::Library;
using library::OpenResult;

// Opens for adding; a refused file is an InputError saying why.
void openForWriting(Library& lib, const std::string& path) {
    const OpenResult result = lib.open(path);
    if (result == OpenResult::ReadOnly) {
        throw InputError("the library " + path + " is read-only: nothing can be added or removed");
    }
    if (result != OpenResult::Opened) {
        throw InputError(lib.problem() +
                         (result == OpenResult::NotLibrary || result == OpenResult::NewerSchema
                              ? "; \"pelmora-cli library rebuild\" moves it "
                                "aside and makes a new library"
                              : ""));
    }
}

struct AddTally {
    std::size_t added = 0, refreshed = 0, unchanged = 0, skipped = 0, failed = 0;
};

void reportAdd(const std::string& path, const AddResult& result, AddTally& tally, std::ostream& out,
               std::ostream& err) {
    switch (result.status) {
    case AddStatus::Added:
    case AddStatus::Refreshed:
        ++(result.status == AddStatus::Added ? tally.added : tally.refreshed);
        out << (result.status == AddStatus::Added ? "added " : "refreshed ") << path << " ("
            << result.entries << " entries)";
        if (result.damaged) {
            out << ", damaged: " << result.problem << "; indexed as far as it could be read";
        }
        out << '\n';
        break;
    case AddStatus::Unchanged:
        ++tally.unchanged;
        break;
    case AddStatus::NotLabel:
        ++tally.skipped;
        err << "pelmora-cli: skipped " << path << ": not a label file\n";
        break;
    case AddStatus::Unreadable:
        ++tally.failed;
        err << "pelmora-cli: cannot read " << path << ": " << result.problem << '\n';
        break;
    case AddStatus::Failed:
        ++tally.failed;
        err << "pelmora-cli: " << path << " was not added"
            << (result.diskFull ? " (the disk is full)" : "") << ": " << result.problem
            << "; the library is as it was before this label\n";
        break;
    }
}

void printTally(const AddTally& tally, std::ostream& err) {
    err << tally.added << " added, " << tally.refreshed << " refreshed, " << tally.unchanged
        << " unchanged, " << tally.skipped << " skipped, " << tally.failed << " failed\n";
}

int addPaths(Library& lib, const std::vector<std::string>& paths, std::ostream& out,
             std::ostream& err) {
    AddTally tally;
    for (const std::string& given : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(given, error)) {
            for (const std::string& file : library::findLabelFiles(given)) {
                reportAdd(file, lib.addLabelFile(file), tally, out, err);
            }
        } else {
            reportAdd(given, lib.addLabelFile(given), tally, out, err);
        }
    }
    printTally(tally, err);
    return tally.failed > 0 ? 2 : 0;
}

// A name beside the old library that is not taken yet: library.sqlite.old, .old-2, ...
std::string asideName(const std::string& path) {
    std::string candidate = path + ".old";
    for (int n = 2; std::filesystem::exists(candidate); ++n) {
        candidate = path + ".old-" + std::to_string(n);
    }
    return candidate;
}

int rebuild(const std::string& path, std::ostream& out, std::ostream& err) {
    std::vector<std::string> labelPaths;
    {
        Library old;
        const OpenResult result = old.open(path, true);
        if (result == OpenResult::Opened || result == OpenResult::ReadOnly) {
            for (const library::LabelRecord& record : old.labels()) {
                labelPaths.push_back(record.path);
            }
        }
    }
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        const std::string aside = asideName(path);
        std::filesystem::rename(path, aside, error);
        if (error) {
            throw InputError("cannot move " + path + " aside: " + error.message());
        }
        for (const char* suffix : {"-wal", "-shm"}) {
            std::error_code ignored;
            if (std::filesystem::exists(path + suffix, ignored)) {
                std::filesystem::rename(path + suffix, aside + suffix, ignored);
            }
        }
        err << "pelmora-cli: moved the old library to " << aside << '\n';
    }
    Library lib;
    openForWriting(lib, path);
    return addPaths(lib, labelPaths, out, err);
}

} // namespace

std::string takeLibraryPath(std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--library") {
            if (i + 1 >= args.size()) {
                throw UsageError("--library needs a value");
            }
            std::string path = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(i + 2));
            return path;
        }
    }
    return library::defaultLibraryPath();
}

int runLibrary(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            throw HelpRequested();
        }
    }
    const std::string path = takeLibraryPath(args);
    if (args.empty()) {
        throw UsageError("library needs add, refresh, remove, list or rebuild");
    }
    const std::string action = args[0];
    std::vector<std::string> operands(args.begin() + 1, args.end());
    for (const std::string& operand : operands) {
        if (operand.starts_with("-")) {
            throw UsageError("unknown option " + operand);
        }
    }
    const bool takesPaths = action == "add" || action == "remove";
    if (takesPaths && operands.empty()) {
        throw UsageError("library " + action + " needs a PATH");
    }
    if (!takesPaths && !operands.empty()) {
        throw UsageError("library " + action + " takes no PATH");
    }
    if (action == "rebuild") {
        return rebuild(path, out, err);
    }
    Library lib;
    if (action == "list") {
        const OpenResult result = lib.open(path, true);
        if (result == OpenResult::Missing) {
            err << "pelmora-cli: " << lib.problem() << '\n';
            return 0;
        }
        if (result != OpenResult::Opened && result != OpenResult::ReadOnly) {
            throw InputError(lib.problem());
        }
        for (const library::LabelRecord& record : lib.labels()) {
            out << (record.volume.empty() ? "(no volume name)" : record.volume) << "  "
                << record.entryCount << "  " << record.scanDate << "  " << record.path
                << (record.damaged ? "  (damaged)" : "") << '\n';
        }
        return 0;
    }
    if (action != "add" && action != "refresh" && action != "remove") {
        throw UsageError("unknown library command \"" + action + "\"");
    }
    openForWriting(lib, path);
    if (action == "add") {
        return addPaths(lib, operands, out, err);
    }
    if (action == "remove") {
        std::size_t removed = 0;
        for (const std::string& operand : operands) {
            const std::size_t n = lib.remove(operand);
            if (n == 0) {
                err << "pelmora-cli: no label in the library at " << operand << '\n';
            }
            removed += n;
        }
        err << removed << " removed\n";
        return removed > 0 ? 0 : 2;
    }
    AddTally tally;
    std::size_t dropped = 0;
    lib.refresh([&](const std::string& label, const AddResult* result) {
        if (result == nullptr || result->status == AddStatus::NotLabel) {
            ++dropped;
            out << "dropped " << label << " (" << (result ? "no longer a label file" : "gone")
                << ")\n";
            return;
        }
        reportAdd(label, *result, tally, out, err);
    });
    err << tally.refreshed << " refreshed, " << dropped << " dropped, " << tally.failed
        << " failed\n";
    return tally.failed > 0 ? 2 : 0;
}

} // namespace pelmora::cli
