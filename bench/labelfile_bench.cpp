// Saves and loads a label with 100,000 catalog entries in nested folders, and compares each
// with writing and reading the same bytes with plain buffered stdio, measured in the same run
// and in the same folder: line by line (fwrite of each line, fgets), the way a text file of
// lines is usually handled, and in one block (fwrite / fread of 64 KB), which is little more
// than a copy from the page cache. The save is atomic and synced, so a plain write followed
// by fsync is shown as well.
//
// usage: bench_labelfile [FOLDER]   (default: the system temp folder)

#include "bench/bench_timing.h"
#include "catalog/scanner.h"
#include "storage/label_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace pelmora;

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubFolders = 10;
constexpr int kFilesPerFolder = 999;
constexpr int kRuns = 5;

FileEntry fileEntry(int folder, int sub, int file) {
    FileEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "document_%02d_%02d_%04d.txt", folder, sub, file);
    const std::uint64_t size = 1000u + static_cast<std::uint64_t>(file) * 7919u;
    entry.size = size;
    formatSizeText(size, entry.sizeText);
    return entry;
}

FileEntry folderEntry(const char* format, int number) {
    FileEntry entry;
    std::snprintf(entry.name, sizeof entry.name, format, number);
    std::strcpy(entry.sizeText, "[dir]");
    entry.hasChild = 1;
    entry.open = 1;
    entry.child = std::make_unique<VAROINFO>();
    return entry;
}

// 10 folders of 10 folders of 999 files, plus the folders themselves: 100,010 entries.
void buildLabel(VAROINFO& label) {
    resetFormat(label);
    std::strcpy(label.volumeName, "BENCHMARK DISK");
    for (int folder = 0; folder < kTopFolders; ++folder) {
        FileEntry top = folderEntry("Folder%02d", folder);
        for (int sub = 0; sub < kSubFolders; ++sub) {
            FileEntry inner = folderEntry("Sub%02d", sub);
            inner.child->entries.reserve(kFilesPerFolder);
            for (int file = 0; file < kFilesPerFolder; ++file) {
                inner.child->entries.push_back(fileEntry(folder, sub, file));
            }
            top.child->entries.push_back(std::move(inner));
        }
        label.entries.push_back(std::move(top));
    }
    countEntries(label);
}

template <typename F> double bestOf(F&& work) {
    return bench::bestOf(kRuns, work);
}

void plainWrite(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror("fopen");
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void plainWriteSynced(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror("fopen");
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    fsync(fileno(file));
    std::fclose(file);
}

void lineWrite(const std::string& path, const std::vector<std::string_view>& lines) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror("fopen");
        std::exit(1);
    }
    for (const std::string_view line : lines) {
        std::fwrite(line.data(), 1, line.size(), file);
    }
    std::fclose(file);
}

std::size_t lineRead(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::perror("fopen");
        std::exit(1);
    }
    char line[512];
    std::size_t count = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        ++count;
    }
    std::fclose(file);
    return count;
}

std::size_t plainRead(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::perror("fopen");
        std::exit(1);
    }
    std::vector<char> buffer(1 << 16);
    std::size_t total = 0;
    std::size_t got = 0;
    unsigned checksum = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        total += got;
        checksum += static_cast<unsigned char>(buffer[got - 1]);
    }
    std::fclose(file);
    return total + (checksum & 0);
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    const std::string labelPath = (folder / "bench_labelfile.PMB").string();
    const std::string plainPath = (folder / "bench_labelfile.raw").string();

    VAROINFO label;
    buildLabel(label);
    const std::string bytes = encodeLabelFile(label);
    std::printf("label: %d files, %d folders, %zu bytes, folder %s\n", label.fileCount,
                label.folderCount, bytes.size(), folder.c_str());

    const double encode = bestOf([&] { (void)encodeLabelFile(label); });
    const double save = bestOf([&] {
        if (!saveLabelFile(labelPath, label)) {
            std::exit(1);
        }
    });
    // The text lines of the file, each with its LF.
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size() - 1) + 1;
        lines.emplace_back(bytes.data() + at, end - at);
        at = end;
    }
    const double lineSave = bestOf([&] { lineWrite(plainPath, lines); });
    const double plainSave = bestOf([&] { plainWrite(plainPath, bytes); });
    const double syncedSave = bestOf([&] { plainWriteSynced(plainPath, bytes); });

    std::size_t entries = 0;
    const double load = bestOf([&] {
        VAROINFO read;
        const LabelFileLoad result = loadLabelFile(labelPath, read);
        if (!result.complete) {
            std::fprintf(stderr, "load stopped: %s\n", result.problem.c_str());
            std::exit(1);
        }
        entries = read.entries.size();
    });
    const double lineLoad = bestOf([&] { (void)lineRead(plainPath); });
    const double plainLoad = bestOf([&] { (void)plainRead(plainPath); });

    std::printf("save %8.2f ms  (encoding %.2f ms, then temporary file, fsync, rename)\n",
                save * 1e3, encode * 1e3);
    std::printf("  line-by-line buffered write %8.2f ms  ratio %5.2f  (goal <= 3)\n",
                lineSave * 1e3, save / lineSave);
    std::printf("  block buffered write        %8.2f ms  ratio %5.2f\n", plainSave * 1e3,
                save / plainSave);
    std::printf("  block buffered write + fsync%8.2f ms  ratio %5.2f\n", syncedSave * 1e3,
                save / syncedSave);
    std::printf("load %8.2f ms  (%zu top-level entries; parse and build the catalog)\n", load * 1e3,
                entries);
    std::printf("  line-by-line buffered read  %8.2f ms  ratio %5.2f  (goal <= 3)\n",
                lineLoad * 1e3, load / lineLoad);
    std::printf("  block buffered read         %8.2f ms  ratio %5.2f\n", plainLoad * 1e3,
                load / plainLoad);
    std::remove(labelPath.c_str());
    std::remove(plainPath.c_str());
    return 0;
}
