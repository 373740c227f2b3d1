#pragma once
// What the fuzz targets share: a quiet process (messages swallowed, a fatal allocation failure
// made a crash the fuzzer sees), a scratch file for readers that open a path, and a reader of
// little-endian fields for targets whose input is a record rather than a file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelmora::fuzz {

// Once per process, before the first input: every reported message is answered with OK and
// dropped, and the "Fatal Error" ending aborts instead of exiting with code 0, so that running
// out of memory counts as a finding.
void quietProcess();

// Ends the run with a message on standard error; for a broken invariant the sanitizers
// cannot see (a file written by the program that it cannot read back, ...).
[[noreturn]] void invariantBroken(const char* what);

// A file in $TMPDIR (or /tmp) made with mkstemps, unique to the process and removed when the
// object goes away. Each input replaces its contents; the file is opened by its name every
// time, since code that saves atomically puts a new file in its place.
class ScratchFile {
public:
    // `suffix` ends the name (".zip"); readers that go by the name need it.
    explicit ScratchFile(const char* suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }
    // Makes the file hold exactly `bytes`.
    void replace(std::span<const std::uint8_t> bytes);
    void replace(std::string_view text);

    // What the file holds now (a reader under test may have replaced it).
    std::string contents() const;

private:
    std::string path_;
};

// Takes fields off the front of an input; past its end every field reads as 0 and every
// text as empty.
class FieldReader {
public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t u64();
    std::uint32_t u32();
    std::uint16_t u16();
    std::uint8_t u8();
    // Up to the next NUL (which is consumed) or the end.
    std::string_view text();
    // Everything left.
    std::string_view rest();

private:
    std::uint64_t little(std::size_t width);

    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

} // namespace pelmora::fuzz
