#pragma once
// The space available for an installation folder, which need not exist yet: the free space of
// the file system holding its nearest existing parent, as the user may fill it.

#include <cstdint>
#include <string>

namespace pelmora {

// Bytes available to the user, in 64 bits (disks pass 4 GB); 0 when nothing along the path
// can be examined.
std::uint64_t availableBytesFor(const std::string& folder);

// "%dkB" of a byte count.
std::string kilobytesText(std::uint64_t bytes);

} // namespace pelmora
