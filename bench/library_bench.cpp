// The label library against plocate on the same paths, measured in one run.
//
// Generates LABELS label files of ENTRIES catalog entries each (10 folders of files, names
// made of common words and numbers), written with the program's own label writer, and the
// same paths ("/label/folder/name") as a plain list for plocate-build. Then measures:
//   - adding every label to a new library   vs  plocate-build -l no -p on the path list
//   - the library's size on disk            vs  plocate's database
//   - a rare substring (tens of hits) and a common one (thousands), case-insensitive,
//     best of 5                             vs  plocate -d DB -i -c PATTERN
//   - a refresh with nothing changed (no reference: the goal is under a second)
// and prints each figure with its ratio. plocate (Debian's plocate) must be installed.
//
// usage: bench_library [LABELS [ENTRIES [FOLDER]]]   (default 1000 10000, the temp folder)
// The generated files are removed afterwards unless PELMORA_BENCH_KEEP is set.

#include "bench/bench_timing.h"
#include "catalog/scanner.h"
#include "library/library.h"
#include "storage/label_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace pelmora;
namespace fs = std::filesystem;

namespace {

constexpr const char* kWords[] = {
    "photo",  "report", "invoice", "letter", "backup", "music",  "video",  "draft",
    "notes",  "budget", "scan",    "game",   "setup",  "driver", "manual", "slide",
    "poster", "recipe", "map",     "track",  "album",  "clip",   "thesis", "memo",
    "family", "summer", "winter",  "trip",   "garden", "house",  "car",    "office"};
constexpr const char* kExtensions[] = {".jpg", ".doc", ".txt", ".mp3", ".zip",
                                       ".pdf", ".png", ".xls", ".avi", ".exe"};
constexpr const char* kRare = "quixotic";   // one name in 500,000
constexpr const char* kCommon = "kangaroo"; // one name in 3,000
constexpr int kFolders = 10;

std::uint64_t next(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// The name of entry `n` (counted over all labels).
std::string entryName(std::uint64_t n, std::uint64_t& random) {
    std::string name = kWords[next(random) % 32];
    name += '_';
    name += kWords[next(random) % 32];
    if (n % 500000 == 7) {
        name += std::string("_") + kRare;
    } else if (n % 3000 == 11) {
        name += std::string("_") + kCommon;
    }
    name += '_' + std::to_string(next(random) % 100000);
    name += kExtensions[next(random) % 10];
    return name;
}

double seconds(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string runText(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) {
            out += buffer;
        }
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

void line(const char* what, double mine, double reference, const char* unit, const char* goal) {
    std::printf("%-34s %10.3f %-3s  plocate %10.3f %-3s  ratio %6.2fx  (goal %s)\n", what, mine,
                unit, reference, unit, reference > 0 ? mine / reference : 0.0, goal);
}

} // namespace

int main(int argc, char** argv) {
    const int labels = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int entries = argc > 2 ? std::atoi(argv[2]) : 10000;
    const fs::path root =
        fs::path(argc > 3 ? argv[3] : fs::temp_directory_path().string()) / "pelmora-library-bench";
    if (labels < 1 || entries < kFolders) {
        std::fprintf(stderr, "usage: bench_library [LABELS [ENTRIES [FOLDER]]]\n");
        return 2;
    }
    fs::remove_all(root);
    fs::create_directories(root / "labels");

    // The labels and the path list.
    std::printf("writing %d labels of %d entries (%lld entries)...\n", labels, entries,
                static_cast<long long>(labels) * entries);
    std::fflush(stdout);
    std::ofstream paths(root / "paths.txt", std::ios::binary);
    std::uint64_t random = 0x9E3779B97F4A7C15ULL;
    std::uint64_t n = 0;
    const int perFolder = entries / kFolders - 1;
    for (int l = 0; l < labels; ++l) {
        VAROINFO label;
        resetFormat(label);
        std::snprintf(label.volumeName, sizeof label.volumeName, "DISK%04d", l);
        const std::string labelName = "disk" + std::to_string(l);
        for (int f = 0; f < kFolders; ++f) {
            FileEntry folder;
            std::snprintf(folder.name, sizeof folder.name, "%s_%d", kWords[(l + f) % 32], f);
            std::strcpy(folder.sizeText, "[dir]");
            folder.hasChild = 1;
            folder.open = 1;
            folder.child = std::make_unique<VAROINFO>();
            paths << '/' << labelName << '/' << folder.name << '\n';
            ++n;
            for (int i = 0; i < perFolder; ++i) {
                FileEntry file;
                const std::string name = entryName(n++, random);
                std::snprintf(file.name, sizeof file.name, "%s", name.c_str());
                file.size = 1000 + next(random) % 5000000;
                formatSizeText(file.size, file.sizeText);
                paths << '/' << labelName << '/' << folder.name << '/' << file.name << '\n';
                folder.child->entries.push_back(std::move(file));
            }
            label.entries.push_back(std::move(folder));
        }
        const std::string bytes = encodeLabelFile(label);
        std::ofstream(root / "labels" / (labelName + ".PMB"), std::ios::binary) << bytes;
    }
    paths.close();

    // Adding.
    const std::string libraryPath = (root / "library.sqlite").string();
    const std::vector<std::string> files = library::findLabelFiles((root / "labels").string());
    double addTime = 0;
    {
        library::Library lib;
        addTime = bench::bestOf(1, [&] {
            if (lib.open(libraryPath) != library::OpenResult::Opened) {
                std::fprintf(stderr, "%s\n", lib.problem().c_str());
                std::exit(1);
            }
            for (const std::string& file : files) {
                const library::AddResult result = lib.addLabelFile(file);
                if (result.status != library::AddStatus::Added) {
                    std::fprintf(stderr, "%s: %s\n", file.c_str(), result.problem.c_str());
                    std::exit(1);
                }
            }
        });
    } // closing checkpoints the write-ahead log into the file
    const std::string plocateDb = (root / "plocate.db").string();
    const double buildTime =
        seconds("plocate-build -l no -p " + (root / "paths.txt").string() + " " + plocateDb);

    const double librarySize = static_cast<double>(fs::file_size(libraryPath)) / 1e6;
    const double plocateSize = static_cast<double>(fs::file_size(plocateDb)) / 1e6;

    library::Library lib;
    lib.open(libraryPath, true);
    auto query = [&](const char* pattern, std::size_t& hits) {
        return bench::bestOf(5, [&] { hits = lib.find({.pattern = pattern}).size(); });
    };
    auto plocate = [&](const char* pattern, std::string& count) {
        const std::string command = "plocate -d " + plocateDb + " -i -c " + pattern;
        count = runText(command);
        return bench::bestOf(5, [&] { seconds(command + " > /dev/null"); });
    };
    std::size_t rareHits = 0, commonHits = 0;
    std::string rareCount, commonCount;
    const double rare = query(kRare, rareHits);
    const double rareRef = plocate(kRare, rareCount);
    const double common = query(kCommon, commonHits);
    const double commonRef = plocate(kCommon, commonCount);

    library::Library writer;
    writer.open(libraryPath);
    library::Library::RefreshCounts counts;
    const double refresh = bench::bestOf(3, [&] { counts = writer.refresh(); });

    std::printf("\n%d labels x %d entries; hits: rare %zu (plocate %s), common %zu (plocate %s)\n",
                labels, entries, rareHits, rareCount.c_str(), commonHits, commonCount.c_str());
    line("add all labels / plocate-build", addTime, buildTime, "s", "within 10x");
    line("size on disk", librarySize, plocateSize, "MB", "within 4x");
    line("rare substring query", rare * 1000, rareRef * 1000, "ms", "within 3x, < 50 ms");
    line("common substring query", common * 1000, commonRef * 1000, "ms", "within 3x, < 50 ms");
    std::printf("%-34s %10.3f s    (%zu unchanged; goal under 1 s)\n", "refresh, nothing changed",
                refresh, counts.unchanged);
    if (!std::getenv("PELMORA_BENCH_KEEP")) {
        fs::remove_all(root);
    }
    return 0;
}
