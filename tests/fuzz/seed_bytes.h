#pragma once
// The seed generator's shared pieces: byte buffers filled field by field, little-endian, and
// the one way a seed reaches its corpus folder.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::seeds {

using Bytes = std::vector<std::uint8_t>;

// A byte buffer filled field by field, little-endian.
class Le {
public:
    explicit Le(std::size_t size = 0) : data(size, 0) {}
    Le& u8(std::size_t at, std::uint8_t v) {
        grow(at + 1);
        data[at] = v;
        return *this;
    }
    Le& u16(std::size_t at, std::uint16_t v) { return u8(at, v & 0xFF).u8(at + 1, v >> 8); }
    Le& u32(std::size_t at, std::uint32_t v) {
        return u16(at, static_cast<std::uint16_t>(v))
            .u16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    Le& i32(std::size_t at, std::int32_t v) { return u32(at, static_cast<std::uint32_t>(v)); }
    Le& append(const Bytes& bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes data;

private:
    void grow(std::size_t size) {
        if (data.size() < size) {
            data.resize(size, 0);
        }
    }
};

// The folder every seed goes below, one folder per target.
void setCorpusFolder(const std::filesystem::path& folder);

// Writes tests/fuzz/corpus/TARGET/NAME; ends the program when it cannot.
void writeSeed(const std::string& target, const std::string& name, std::string_view bytes);
void writeSeed(const std::string& target, const std::string& name, const Bytes& bytes);

} // namespace pelmora::seeds
