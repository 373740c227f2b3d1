#include "tests/fuzz/fuzz_support.h"

#include "platform/core/message.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace pelmora::fuzz {

void quietProcess() {
    setMessageHandler([](const Message&) { return static_cast<int>(IDOK); });
    setFatalExitHandler([] { std::abort(); });
}

void invariantBroken(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

ScratchFile::ScratchFile(const char* suffix) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                          "/pelmora-fuzz-XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemps(name.data(), static_cast<int>(std::strlen(suffix)));
    if (fd < 0) {
        throw std::runtime_error("cannot make a scratch file from " + pattern);
    }
    ::close(fd);
    path_ = name.data();
}

ScratchFile::~ScratchFile() {
    ::unlink(path_.c_str());
}

void ScratchFile::replace(std::span<const std::uint8_t> bytes) {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        invariantBroken("the scratch file cannot be opened");
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            invariantBroken("the scratch file cannot be written");
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

void ScratchFile::replace(std::string_view text) {
    replace(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string ScratchFile::contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint64_t FieldReader::little(std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width && at_ < bytes_.size(); ++i, ++at_) {
        value |= static_cast<std::uint64_t>(bytes_[at_]) << (8 * i);
    }
    return value;
}

std::uint64_t FieldReader::u64() {
    return little(8);
}

std::uint32_t FieldReader::u32() {
    return static_cast<std::uint32_t>(little(4));
}

std::uint16_t FieldReader::u16() {
    return static_cast<std::uint16_t>(little(2));
}

std::uint8_t FieldReader::u8() {
    return static_cast<std::uint8_t>(little(1));
}

std::string_view FieldReader::text() {
    const auto* start = reinterpret_cast<const char*>(bytes_.data()) + at_;
    std::size_t length = 0;
    while (at_ + length < bytes_.size() && bytes_[at_ + length] != 0) {
        ++length;
    }
    at_ += length;
    if (at_ < bytes_.size()) {
        ++at_; // the NUL
    }
    return std::string_view(start, length);
}

std::string_view FieldReader::rest() {
    const auto* start = reinterpret_cast<const char*>(bytes_.data()) + at_;
    const std::size_t length = bytes_.size() - at_;
    at_ = bytes_.size();
    return std::string_view(start, length);
}

} // namespace pelmora::fuzz
