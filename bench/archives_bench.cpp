// Catalogs a folder holding one ZIP of 50,000 members (made by zip -r) and one holding an ARJ
// of the same members (made by arj), and compares each with listing the same archive by
// `zipinfo -1` and `arj l`, measured in the same run. The members are empty files in 50
// folders of 1,000.
//
// usage: bench_archives [MEMBERS [RUNS]]   (default 50000 members, best of 5 runs)

#include "bench/archive_fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace pelmora::bench;

namespace {

// Catalogs `disk` and lists `archive` with `tool` in turns, keeping the best time of each;
// true when the catalog counted every member.
bool compare(const char* kind, int members, const std::string& disk, const char* tool,
             const std::string& archive, int runs) {
    int files = 0;
    double catalog = 1e9;
    double reference = 1e9;
    for (int run = 0; run < runs; ++run) {
        catalog = std::min(catalog, catalogSeconds(disk, 1, files));
        reference = std::min(
            reference, commandSeconds(std::string(tool) + " '" + archive + "' >/dev/null", 1));
    }
    std::printf("%s: catalog of %d members (%d files counted) %.3f s, %s %.3f s, ratio %.2f "
                "(goal <= 1.00)\n",
                kind, members, files, catalog, tool, reference, catalog / reference);
    return files == members;
}

} // namespace

int main(int argc, char** argv) {
    const int members = argc > 1 ? std::atoi(argv[1]) : 50000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    ScratchFolder scratch("pelmora-bench-archives");
    const std::string tree = scratch.sub("tree");
    const std::string zipDisk = scratch.sub("zipdisk");
    const std::string arjDisk = scratch.sub("arjdisk");
    std::printf("making %d files and their archives under %s ...\n", members,
                scratch.path().c_str());
    buildMemberTree(tree, members);
    const std::string zip = zipDisk + "/members.zip";
    const std::string arj = arjDisk + "/members.arj";
    zipTree(tree, zip);
    arjTree(tree, arj);

    const bool zipComplete = compare("ZIP", members, zipDisk, "zipinfo -1", zip, runs);
    const bool arjComplete = compare("ARJ", members, arjDisk, "arj l", arj, runs);
    return zipComplete && arjComplete ? 0 : 1;
}
