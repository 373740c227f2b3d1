#include "tests/fuzz/seed_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace pelmora::seeds {
namespace {

std::filesystem::path& corpusFolder() {
    static std::filesystem::path folder;
    return folder;
}

} // namespace

void setCorpusFolder(const std::filesystem::path& folder) {
    corpusFolder() = folder;
}

void writeSeed(const std::string& target, const std::string& name, std::string_view bytes) {
    const std::filesystem::path folder = corpusFolder() / target;
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s/%s\n", target.c_str(), name.c_str());
        std::exit(1);
    }
}

void writeSeed(const std::string& target, const std::string& name, const Bytes& bytes) {
    writeSeed(target, name,
              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace pelmora::seeds
