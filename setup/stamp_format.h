#pragma once
// Finding, reading and writing a stamped configuration block (stamp_block.h) in the bytes of a
// built program: used by the stamping tool and by the checks of a stamped build.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct StampLocation {
    std::size_t offset = 0;     // of the marker
    std::size_t fieldCount = 0; // from the marker
};

// The one block in `bytes`; nullopt (and `problem` says why) when there is none or more than
// one, or when the block would run past the end.
std::optional<StampLocation> findStampBlock(const std::string& bytes, std::string* problem);

// The texts of every field of the block at `where`.
std::vector<std::string> readStampFields(const std::string& bytes, const StampLocation& where);

// Writes `value` and its NUL over the start of field `index`; false (nothing written) when the
// index is outside the block or the value does not fit in 31 bytes.
bool writeStampField(std::string& bytes, const StampLocation& where, std::size_t index,
                     const std::string& value);

} // namespace pelmora
