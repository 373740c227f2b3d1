// Stamps the configuration block of a built Setup or Uninstall with a release's values, or
// shows what a binary carries.
//
//   pelmora_stamp BINARY [--name TEXT] [--reserved TEXT] [--version TEXT] [--date TEXT]
//                        [--space KB | --space-of PATH...]
//   pelmora_stamp --show BINARY
//
// --space-of sums the sizes of the files given (folders with everything below them) and
// stamps the total in kilobytes, rounded up. Exit 0 on success, 2 on a binary or value that
// cannot be stamped (one line on standard error), 1 on usage errors.

#include "platform/core/atomic_file.h"
#include "setup/stamp_format.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace pelmora;

constexpr const char* kUsage =
    "usage: pelmora_stamp BINARY [--name TEXT] [--reserved TEXT] [--version TEXT] "
    "[--date TEXT] [--space KB | --space-of PATH...]\n"
    "       pelmora_stamp --show BINARY\n";

const std::map<std::string, std::size_t> kFieldOptions = {
    {"--name", 0}, {"--reserved", 1}, {"--version", 2}, {"--date", 3}, {"--space", 4}};

std::optional<std::string> readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// Bytes of a file, or of every regular file below a folder; symbolic links count as
// themselves, not as what they point to. nullopt when the path does not exist.
std::optional<std::uintmax_t> bytesOf(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || !fs::exists(status)) {
        return std::nullopt;
    }
    if (!fs::is_directory(status)) {
        return fs::is_regular_file(status) ? fs::file_size(path, error) : 0;
    }
    std::uintmax_t total = 0;
    for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error)) {
            total += it->file_size(error);
        }
    }
    if (error) {
        return std::nullopt;
    }
    return total;
}

int fail(const std::string& text) {
    std::cerr << "pelmora_stamp: " << text << "\n";
    return 2;
}

// A binary's bytes and where its stamp block is.
struct StampedBinary {
    std::string bytes;
    StampLocation where;
};

// Reads `binary` and finds its stamp block; nullopt after saying on standard error why not.
std::optional<StampedBinary> readStamped(const std::string& binary) {
    auto bytes = readWhole(binary);
    if (!bytes) {
        fail("cannot read " + binary);
        return std::nullopt;
    }
    std::string problem;
    const auto where = findStampBlock(*bytes, &problem);
    if (!where) {
        fail(binary + ": " + problem);
        return std::nullopt;
    }
    return StampedBinary{std::move(*bytes), *where};
}

int show(const std::string& binary) {
    const auto stamped = readStamped(binary);
    if (!stamped) {
        return 2;
    }
    for (const std::string& field : readStampFields(stamped->bytes, stamped->where)) {
        std::cout << field << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--show") {
        return show(args[1]);
    }
    if (args.empty() || args[0].starts_with("--")) {
        std::cerr << kUsage;
        return 1;
    }
    std::map<std::size_t, std::string> values;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--space-of") {
            std::uintmax_t total = 0;
            if (i + 1 == args.size()) {
                std::cerr << kUsage;
                return 1;
            }
            for (++i; i < args.size(); ++i) {
                const auto bytes = bytesOf(args[i]);
                if (!bytes) {
                    return fail("cannot measure " + args[i]);
                }
                total += *bytes;
            }
            values[4] = std::to_string((total + 1023) / 1024);
            break;
        }
        const auto option = kFieldOptions.find(args[i]);
        if (option == kFieldOptions.end() || i + 1 == args.size()) {
            std::cerr << kUsage;
            return 1;
        }
        values[option->second] = args[++i];
    }

    const std::string& binary = args[0];
    auto stamped = readStamped(binary);
    if (!stamped) {
        return 2;
    }
    for (const auto& [index, value] : values) {
        if (!writeStampField(stamped->bytes, stamped->where, index, value)) {
            return fail(index >= stamped->where.fieldCount
                            ? binary + " has no field " + std::to_string(index + 1)
                            : "\"" + value + "\" is longer than 31 bytes");
        }
    }
    std::string problem;
    if (!writeFileAtomically(binary, stamped->bytes, &problem)) {
        return fail(binary + ": " + problem);
    }
    return 0;
}
