#pragma once
// What the archive benchmarks share: a scratch folder, trees of empty files, archives of them
// made by zip and arj, and the time a catalog of a folder takes (the scan with archives on,
// then the sort, as Read Disk does).

#include "bench/bench_timing.h"
#include "catalog/ordering.h"
#include "catalog/scanner.h"
#include "platform/core/drives.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace pelmora::bench {

constexpr int kFilesPerFolder = 1000;
constexpr char kBenchDrive = 'B';

// A fresh folder under the system temp folder, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name) {
        path_ = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
        if (mkdtemp(path_.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string sub(const std::string& name) const {
        std::filesystem::create_directories(path_ + "/" + name);
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

// `members` empty files in folders of 1,000 under `root`, named as zip -r of a source tree
// would store them: d000/f0000.txt, ...
inline void buildMemberTree(const std::string& root, int members) {
    for (int made = 0; made < members; ++made) {
        char name[64];
        std::snprintf(name, sizeof name, "/d%03d", made / kFilesPerFolder);
        const std::string folder = root + name;
        if (made % kFilesPerFolder == 0) {
            std::filesystem::create_directories(folder);
        }
        std::snprintf(name, sizeof name, "/f%04d.txt", made % kFilesPerFolder);
        const int fd = open((folder + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            close(fd);
        }
    }
}

// Runs a shell command; stops the benchmark when it fails.
inline void mustRun(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// zip -r and arj a -r of everything in `tree`, written to `archive`.
inline void zipTree(const std::string& tree, const std::string& archive) {
    mustRun("cd '" + tree + "' && zip -qr '" + archive + "' . >/dev/null");
}
inline void arjTree(const std::string& tree, const std::string& archive) {
    mustRun("cd '" + tree + "' && arj a -r -y '" + archive + "' '*' >/dev/null");
}

// Best time of `runs` runs of a shell command.
inline double commandSeconds(const std::string& command, int runs) {
    return bestOf(runs, [&] { mustRun(command); });
}

// Best time of `runs` catalogs of `folder` read as a drive, archives included; `files` gets
// the number of files the catalog counted.
inline double catalogSeconds(const std::string& folder, int runs, int& files) {
    setDriveFolder(kBenchDrive, folder);
    CatalogSettings settings;
    settings.driveLetter = kBenchDrive;
    settings.scanLevels = kAllLevels;
    settings.scanArchives = 1;
    return bestOf(runs, [&] {
        VAROINFO label;
        DiskScanner(settings).scanDirectory(kBenchDrive, settings.scanLevels, label);
        sortLabel(label);
        files = label.fileCount;
    });
}

} // namespace pelmora::bench
