#pragma once
// Expands the macros of a label's comment ("%spacefree%", "%shortdate%", ...) into the
// figures of its last scan.

#include "catalog/records.h"

#include <cstddef>

namespace pelmora {

constexpr std::size_t kExpandedCommentCapacity = 1024;

// Writes the expanded comment, NUL-terminated, into `out` (capacity bytes). Output that
// would not fit is cut at the last whole macro or character that fits, never split inside
// a UTF-8 sequence.
void expandComment(const VAROINFO& label, char* out, std::size_t capacity);

} // namespace pelmora
