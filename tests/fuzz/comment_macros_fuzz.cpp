// Comment macros expanded as the front face shows them, with the comment, dates and disk
// figures a hostile label file can hold (fields filled to their last byte without a NUL,
// negative and extreme figures) and every output capacity up to the painter's. The output
// must stay inside its buffer, end with a NUL, and be whole UTF-8 when its parts are.

#include "catalog/comment_macros.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

using namespace pelmora;

namespace {

template <std::size_t N> void fill(char (&field)[N], std::string_view bytes) {
    std::memset(field, 0, N);
    std::memcpy(field, bytes.data(), std::min(N, bytes.size()));
}

bool wholeUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

template <std::size_t N> std::string_view fieldText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FieldReader in(std::span(data, size));
    const std::size_t capacity = in.u16() % (kExpandedCommentCapacity + 1);
    VAROINFO label;
    label.spaceUsed = static_cast<std::int64_t>(in.u64());
    label.spaceFree = static_cast<std::int64_t>(in.u64());
    label.spaceTotal = static_cast<std::int64_t>(in.u64());
    label.fileCount = static_cast<std::int32_t>(in.u32());
    label.folderCount = static_cast<std::int32_t>(in.u32());
    fill(label.shortDate, in.text());
    fill(label.longDate, in.text());
    fill(label.comment, in.rest());

    // Exactly `capacity` bytes, so that a write past them is an overflow the sanitizer sees.
    std::vector<char> out(capacity);
    expandComment(label, out.data(), capacity);
    if (capacity == 0) {
        return 0;
    }
    const std::string_view expanded(out.data(), strnlen(out.data(), capacity));
    if (expanded.size() == capacity) {
        fuzz::invariantBroken("the expanded comment has no NUL inside its buffer");
    }
    if (wholeUtf8(fieldText(label.comment)) && wholeUtf8(fieldText(label.shortDate)) &&
        wholeUtf8(fieldText(label.longDate)) && !wholeUtf8(expanded)) {
        fuzz::invariantBroken("the expanded comment splits a UTF-8 sequence");
    }
    return 0;
}
