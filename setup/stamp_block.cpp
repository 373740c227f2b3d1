#include "setup/stamp_block.h"

#include <cstring>

namespace pelmora {

std::string readStampField(const char (&field)[kStampFieldWidth]) {
    const char* text = field;
    // The block is written into the binary after linking, so the compiler must not use the
    // placeholder it initialised the block with: hide where the pointer points.
    asm volatile("" : "+r"(text) : : "memory");
    return std::string(text, strnlen(text, kStampFieldWidth - 1));
}

} // namespace pelmora
