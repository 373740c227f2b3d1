// How the catalog time grows with the number of entries: a plain tree of files, a ZIP and an
// ARJ of the same tree, each at n and 10 n members (empty files in folders of 1,000). Linear
// growth gives a factor near 10. One folder holding n and 10 n files directly is shown too,
// next to a plain readdir + lstat walk of it: there the file system's own growth sets the
// pace, so that line is not held to the goal.
//
// usage: bench_scaling [N [RUNS]]   (default n = 20000, best of 5 runs)

#include "bench/archive_fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

using namespace pelmora::bench;

namespace {

constexpr int kGrowth = 10;
constexpr double kGoal = 12.0;

// Times the catalog of the folder made for n and for 10 n members; false past the goal.
bool measure(const char* kind, int n, const std::string& small, const std::string& large, int runs,
             const char* goalNote = "(goal <= 12)") {
    int smallFiles = 0;
    int largeFiles = 0;
    const double smallSeconds = catalogSeconds(small, runs, smallFiles);
    const double largeSeconds = catalogSeconds(large, runs, largeFiles);
    const double factor = largeSeconds / smallSeconds;
    std::printf("%-12s n=%d: %.3f s (%d files)  10n: %.3f s (%d files)  growth %.1f %s\n", kind, n,
                smallSeconds, smallFiles, largeSeconds, largeFiles, factor, goalNote);
    return factor <= kGoal && smallFiles >= n && largeFiles >= kGrowth * n;
}

// Best time of `runs` readdir + lstat passes over one folder.
double walkSeconds(const std::string& folder, int runs) {
    return bestOf(runs, [&] {
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr) {
            return;
        }
        struct stat status {};
        while (const dirent* entry = readdir(dir)) {
            lstat((folder + "/" + entry->d_name).c_str(), &status);
        }
        closedir(dir);
    });
}

// Files directly in one folder: 0000000.txt, ...
void buildFlatFolder(const std::string& folder, int files) {
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%07d.txt", i);
        std::FILE* file = std::fopen((folder + name).c_str(), "w");
        if (file != nullptr) {
            std::fclose(file);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    ScratchFolder scratch("pelmora-bench-scaling");
    std::printf("making trees of %d and %d files and their archives under %s ...\n", n, kGrowth * n,
                scratch.path().c_str());
    const std::string smallTree = scratch.sub("tree-n");
    const std::string largeTree = scratch.sub("tree-10n");
    buildMemberTree(smallTree, n);
    buildMemberTree(largeTree, kGrowth * n);
    const std::string smallFlat = scratch.sub("flat-n");
    const std::string largeFlat = scratch.sub("flat-10n");
    buildFlatFolder(smallFlat, n);
    buildFlatFolder(largeFlat, kGrowth * n);
    const std::string smallZip = scratch.sub("zip-n");
    const std::string largeZip = scratch.sub("zip-10n");
    zipTree(smallTree, smallZip + "/members.zip");
    zipTree(largeTree, largeZip + "/members.zip");
    const std::string smallArj = scratch.sub("arj-n");
    const std::string largeArj = scratch.sub("arj-10n");
    arjTree(smallTree, smallArj + "/members.arj");
    arjTree(largeTree, largeArj + "/members.arj");

    bool withinGoal = measure("plain tree", n, smallTree, largeTree, runs);
    withinGoal = measure("ZIP", n, smallZip, largeZip, runs) && withinGoal;
    withinGoal = measure("ARJ", n, smallArj, largeArj, runs) && withinGoal;
    measure("one folder", n, smallFlat, largeFlat, runs, "(shown only)");
    std::printf("%-12s growth %.1f (the file system's own)\n", "  plain walk",
                walkSeconds(largeFlat, runs) / walkSeconds(smallFlat, runs));
    return withinGoal ? 0 : 1;
}
