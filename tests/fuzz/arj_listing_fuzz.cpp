// ARJ archives listed as the scanner lists them with "Scan Archives" on.

#include "tests/fuzz/archive_listing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelmora::fuzz::quietProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelmora::fuzz::listArchive(std::span(data, size), pelmora::ArchiveMode::Arj);
    return 0;
}
