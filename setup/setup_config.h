#pragma once
// Setup's release values, read from its stamped configuration block (stamp_block.h): product
// name, version, release date and the space the installed files need.

#include <cstdint>
#include <string>

namespace pelmora {

struct SetupConfig {
    std::string productName;
    std::string version;
    std::string releaseDate;
    std::string requiredSpace; // kilobytes, decimal text
};

SetupConfig readSetupConfig();

// The required space in bytes: the leading decimal digits of the text times 1024 (0 when it
// starts with none), in 64 bits.
std::uint64_t requiredBytesOf(const std::string& requiredSpace);

} // namespace pelmora
