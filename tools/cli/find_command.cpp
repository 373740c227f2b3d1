// pelmora-cli find and duplicates: searching the label library.

#include "library/library.h"
#include "library/regex_filter.h"
#include "tools/cli/arguments.h"
#include "tools/cli/json_writer.h"
#include "tools/cli/library_command.h"

#include <cctype>
#include <limits>

namespace pelmora::cli {
namespace {

using library::Hit;
using library::Library;
using library::OpenResult;

// "N", "NK", "NM", "NG" (powers of 1024, any letter case).
std::uint64_t sizeValue(const std::string& option, const std::string& text) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            throw InputError(option + " is too large: " + text);
        }
        value = value * 10 + digit;
    }
    int shift = 0;
    if (i + 1 == text.size()) {
        switch (std::toupper(static_cast<unsigned char>(text[i]))) {
        case 'K':
            shift = 10;
            break;
        case 'M':
            shift = 20;
            break;
        case 'G':
            shift = 30;
            break;
        default:
            i = 0;
        }
        ++i;
    }
    if (i == 0 || i != text.size() || (text.size() == 1 && shift != 0)) {
        throw InputError(option + " takes a size in bytes (a K, M or G may follow), not \"" + text +
                         "\"");
    }
    if (shift != 0 && value > (std::numeric_limits<std::uint64_t>::max() >> shift)) {
        throw InputError(option + " is too large: " + text);
    }
    return value << shift;
}

// Opens for searching; a library that is missing answers with nothing found.
bool openForSearch(Library& lib, const std::string& path, std::ostream& err) {
    const OpenResult result = lib.open(path, true);
    if (result == OpenResult::Missing) {
        err << "pelmora-cli: " << lib.problem()
            << "; add label files with \"pelmora-cli library add PATH\"\n";
        return false;
    }
    if (result != OpenResult::Opened && result != OpenResult::ReadOnly) {
        throw InputError(lib.problem());
    }
    return true;
}

std::string pathWithin(const Hit& hit) {
    return hit.folder.empty() ? hit.name : hit.folder + "/" + hit.name;
}

std::string sizeColumn(const Hit& hit) {
    return hit.kind == library::EntryKind::Folder ? "[dir]" : std::to_string(hit.size);
}

const char* kindName(library::EntryKind kind) {
    switch (kind) {
    case library::EntryKind::Folder:
        return "folder";
    case library::EntryKind::Archive:
        return "archive";
    case library::EntryKind::File:
        break;
    }
    return "file";
}

void writeHitJson(JsonWriter& json, const Hit& hit) {
    json.beginObject();
    json.field("volume", hit.volume);
    json.field("path", pathWithin(hit));
    json.field("name", hit.name);
    json.field("folder", hit.folder);
    json.field("size", hit.size);
    json.field("kind", kindName(hit.kind));
    json.field("label", hit.labelPath);
    json.endObject();
}

} // namespace

int runFind(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            throw HelpRequested();
        }
    }
    const std::string path = takeLibraryPath(args);
    library::FindQuery query;
    bool regex = false;
    bool json = false;
    bool havePattern = false;
    Arguments a(args);
    while (!a.done()) {
        const std::string arg = a.take();
        if (arg == "--regex") {
            regex = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--files") {
            query.filesOnly = true;
        } else if (arg == "--folders") {
            query.foldersOnly = true;
        } else if (arg == "--ext") {
            query.extension = a.takeValue(arg);
        } else if (arg == "--min-size") {
            query.minSize = sizeValue(arg, a.takeValue(arg));
        } else if (arg == "--max-size") {
            query.maxSize = sizeValue(arg, a.takeValue(arg));
        } else if (arg == "--label") {
            query.labelPattern = a.takeValue(arg);
        } else if (arg == "--limit") {
            query.limit = static_cast<std::size_t>(sizeValue(arg, a.takeValue(arg)));
        } else if (arg.starts_with("-") && arg.size() > 1) {
            throw UsageError("unknown option " + arg);
        } else if (havePattern) {
            throw UsageError("find takes one PATTERN, got \"" + arg + "\" too");
        } else {
            query.pattern = arg;
            havePattern = true;
        }
    }
    if (!havePattern) {
        throw UsageError("find needs a PATTERN (\"\" finds every name)");
    }
    if (query.filesOnly && query.foldersOnly) {
        throw UsageError("--files and --folders exclude each other");
    }
    if (regex) {
        library::RegexFilter filter = library::makeRegexFilter(query.pattern);
        if (!filter.matches) {
            throw InputError("invalid regular expression at position " +
                             std::to_string(filter.offset) + ": " + filter.error);
        }
        query.nameFilter = std::move(filter.matches);
    }
    Library lib;
    std::vector<Hit> hits;
    if (openForSearch(lib, path, err)) {
        hits = lib.find(query);
    }
    if (json) {
        JsonWriter writer(out);
        writer.beginArray();
        for (const Hit& hit : hits) {
            writeHitJson(writer, hit);
        }
        writer.endArray();
        writer.finish();
    } else {
        for (const Hit& hit : hits) {
            out << hit.volume << "  " << pathWithin(hit) << "  " << sizeColumn(hit) << "  "
                << hit.labelPath << '\n';
        }
    }
    err << hits.size() << (hits.size() == 1 ? " match\n" : " matches\n");
    return hits.empty() ? 1 : 0;
}

int runDuplicates(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            throw HelpRequested();
        }
    }
    const std::string path = takeLibraryPath(args);
    // Empty files are alike everywhere: they count only when asked for with --min-size 0.
    std::uint64_t minSize = 1;
    Arguments a(args);
    while (!a.done()) {
        const std::string arg = a.take();
        if (arg == "--min-size") {
            minSize = sizeValue(arg, a.takeValue(arg));
        } else {
            throw UsageError(arg.starts_with("-") ? "unknown option " + arg
                                                  : "duplicates takes no PATTERN");
        }
    }
    Library lib;
    std::vector<library::DuplicateGroup> groups;
    if (openForSearch(lib, path, err)) {
        groups = lib.duplicates(minSize);
    }
    for (const library::DuplicateGroup& group : groups) {
        out << group.name << "  " << group.size << '\n';
        for (const Hit& copy : group.copies) {
            out << "  " << copy.volume << "  " << pathWithin(copy) << "  " << copy.labelPath
                << '\n';
        }
    }
    err << groups.size() << (groups.size() == 1 ? " file" : " files") << " on more than one disk\n";
    return groups.empty() ? 1 : 0;
}

} // namespace pelmora::cli
