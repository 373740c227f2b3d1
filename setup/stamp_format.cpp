#include "setup/stamp_format.h"

#include "setup/stamp_block.h"

#include <cstring>

namespace pelmora {

namespace {

constexpr std::string_view kMarkerPrefix = PELMORA_STAMP_MARKER_PREFIX;

// The field count of a marker at `at` ("<PelmoraStamp" digit ">" then NULs), 0 if none.
std::size_t markerFieldCount(const std::string& bytes, std::size_t at) {
    if (at + kStampMarkerSize > bytes.size()) {
        return 0;
    }
    const char digit = bytes[at + kMarkerPrefix.size()];
    if (digit < '1' || digit > '9' || bytes[at + kMarkerPrefix.size() + 1] != '>') {
        return 0;
    }
    for (std::size_t i = kMarkerPrefix.size() + 2; i < kStampMarkerSize; ++i) {
        if (bytes[at + i] != '\0') {
            return 0;
        }
    }
    return static_cast<std::size_t>(digit - '0');
}

} // namespace

std::optional<StampLocation> findStampBlock(const std::string& bytes, std::string* problem) {
    std::optional<StampLocation> found;
    for (std::size_t at = bytes.find(kMarkerPrefix); at != std::string::npos;
         at = bytes.find(kMarkerPrefix, at + 1)) {
        const std::size_t count = markerFieldCount(bytes, at);
        if (count == 0) {
            continue;
        }
        if (found) {
            if (problem != nullptr) {
                *problem = "more than one configuration block";
            }
            return std::nullopt;
        }
        found = StampLocation{at, count};
    }
    if (!found) {
        if (problem != nullptr) {
            *problem = "no configuration block";
        }
        return std::nullopt;
    }
    if (found->offset + kStampMarkerSize + found->fieldCount * kStampFieldWidth > bytes.size()) {
        if (problem != nullptr) {
            *problem = "the configuration block runs past the end of the file";
        }
        return std::nullopt;
    }
    return found;
}

std::vector<std::string> readStampFields(const std::string& bytes, const StampLocation& where) {
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < where.fieldCount; ++i) {
        const char* field = bytes.data() + where.offset + kStampMarkerSize + i * kStampFieldWidth;
        fields.emplace_back(field, strnlen(field, kStampFieldWidth - 1));
    }
    return fields;
}

bool writeStampField(std::string& bytes, const StampLocation& where, std::size_t index,
                     const std::string& value) {
    if (index >= where.fieldCount || value.size() >= kStampFieldWidth ||
        value.find('\0') != std::string::npos) {
        return false;
    }
    const std::size_t at = where.offset + kStampMarkerSize + index * kStampFieldWidth;
    bytes.replace(at, value.size() + 1, value.c_str(), value.size() + 1);
    return true;
}

} // namespace pelmora
