#pragma once
// The configuration block that Setup and Uninstall carry in their initialised data and that
// the build stamps with the release's values (tools/stamp.cpp): a 16-byte marker naming the
// field count, then that many 32-byte text fields, each NUL-terminated. Stamping writes a
// value and its NUL over the start of a field; what follows the NUL is placeholder text that
// is never read.

#include <cstddef>
#include <string>

namespace pelmora {

constexpr std::size_t kStampMarkerSize = 16;
constexpr std::size_t kStampFieldWidth = 32;

// The markers are macros so that each block's initialiser holds the only copy of its text in
// the program: a second copy elsewhere in the binary would make the block ambiguous.
// "<PelmoraStamp" is followed by the field count, ">" and NUL padding.
#define PELMORA_STAMP_MARKER_PREFIX "<PelmoraStamp"
#define PELMORA_SETUP_STAMP_MARKER PELMORA_STAMP_MARKER_PREFIX "5>"
#define PELMORA_UNINSTALL_STAMP_MARKER PELMORA_STAMP_MARKER_PREFIX "2>"

template <std::size_t FieldCount> struct StampBlock {
    char marker[kStampMarkerSize];
    char fields[FieldCount][kStampFieldWidth];
};

static_assert(sizeof(StampBlock<5>) == kStampMarkerSize + 160);
static_assert(sizeof(StampBlock<2>) == kStampMarkerSize + 64);

// The text of one field: up to its NUL (at most 31 bytes). `field` must be the block's own
// memory; the read is kept from being folded into the placeholder the compiler saw.
std::string readStampField(const char (&field)[kStampFieldWidth]);

} // namespace pelmora
