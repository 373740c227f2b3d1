// Scans a tree of 100,000 files in nested folders and compares the time with a plain
// readdir + lstat walk of the same tree, measured in the same run.
//
// usage: bench_scan [FILES]   (default 100000)

#include "catalog/scanner.h"
#include "platform/core/drives.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// 10 x 10 x 10 folders with the files spread evenly over the deepest ones.
void buildTree(const std::string& root, int files) {
    const int perFolder = std::max(1, files / 1000);
    int made = 0;
    for (int a = 0; a < 10 && made < files; ++a) {
        for (int b = 0; b < 10 && made < files; ++b) {
            for (int c = 0; c < 10 && made < files; ++c) {
                std::string folder = root + "/dir" + std::to_string(a) + "/Sub" +
                                     std::to_string(b) + "/LEAF" + std::to_string(c);
                fs::create_directories(folder);
                for (int f = 0; f < perFolder && made < files; ++f, ++made) {
                    std::string name =
                        folder + "/file" + std::to_string(f) + (f % 3 == 0 ? ".TXT" : ".dat");
                    int fd = open(name.c_str(), O_CREAT | O_WRONLY, 0644);
                    if (fd >= 0) {
                        if (f % 7 == 0) {
                            ftruncate(fd, f * 113);
                        }
                        close(fd);
                    }
                }
            }
        }
    }
}

long plainWalk(const std::string& folder) {
    long count = 0;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.' &&
            (e->d_name[1] == '\0' || (e->d_name[1] == '.' && e->d_name[2] == '\0'))) {
            continue;
        }
        std::string path = folder + "/" + e->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) {
            continue;
        }
        ++count;
        if (S_ISDIR(st.st_mode)) {
            count += plainWalk(path);
        }
    }
    closedir(dir);
    return count;
}

template <typename F> double seconds(F&& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string root = (fs::temp_directory_path() / "pelmora-bench-scan-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::printf("building %d files under %s ...\n", files, root.c_str());
    buildTree(root, files);
    pelmora::setDriveFolder('B', root);

    pelmora::CatalogSettings settings;
    settings.driveLetter = 'B';
    settings.scanLevels = pelmora::kAllLevels;

    // Warm the caches once, then take the best of several alternating runs of each.
    long walked = plainWalk(root);
    std::vector<double> scanTimes;
    std::vector<double> walkTimes;
    int scannedFiles = 0;
    for (int run = 0; run < 5; ++run) {
        walkTimes.push_back(seconds([&] { walked = plainWalk(root); }));
        pelmora::VAROINFO label;
        scanTimes.push_back(seconds([&] {
            pelmora::DiskScanner scanner(settings);
            scanner.scanDirectory('B', settings.scanLevels, label);
        }));
        scannedFiles = label.fileCount;
    }
    double scan = *std::min_element(scanTimes.begin(), scanTimes.end());
    double walk = *std::min_element(walkTimes.begin(), walkTimes.end());
    std::printf("entries: scan found %d files, walk visited %ld entries\n", scannedFiles, walked);
    std::printf("scan:       %.3f s\n", scan);
    std::printf("plain walk: %.3f s\n", walk);
    std::printf("ratio scan/walk: %.2f (goal <= 1.30)\n", scan / walk);

    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
