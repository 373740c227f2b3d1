#pragma once
// Label files (".PMB"): one label with its catalog tree, styles and placed objects, the
// pixels of every image embedded. Lines end with a single LF; the placed objects are raw
// little-endian records, each image's DIB block right after its record:
//
//   version line ("41") | label block | catalog tree | object count | objects
//
// A catalog node is its entry count followed by its entries, each six lines (name, size
// text, size, hasChild, open, align) and then, for a folder that was read, its own node.
//
// Files from "1.6" up to 41 are read; 42 and above were written by a newer program and are
// refused. A truncated or damaged file loads up to the point of damage: a count that is
// negative or larger than the rest of the file could hold, a DIB block running past the
// end, or a line that is not what it should be ends reading there, and what was read stays.
// Data after the last placed object (but trailing white space) is damage too: a count that
// shrank would otherwise hide what follows it.

#include "catalog/records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelmora {

// Catalog trees nested deeper than this are treated as damage.
constexpr int kMaxCatalogDepth = 256;
// The memory a catalog read from a file may take: each entry costs sizeof(FileEntry) and
// each folder's node sizeof(VAROINFO) more, about 19 million files or 1.7 million folders.
// A file announcing more is damage, read up to that point.
constexpr std::uint64_t kMaxCatalogBytes = std::uint64_t{2} << 30;
// Test hook: replaces the catalog's memory cap and returns the one it replaces.
std::uint64_t replaceCatalogByteCap(std::uint64_t cap);
// Larger label files are refused unread. A disk of a million files saves to about 40 MB.
constexpr std::uint64_t kMaxLabelFileBytes = std::uint64_t{1} << 30;

// The complete file for `label`, current version.
std::string encodeLabelFile(const VAROINFO& label);

enum class LabelFileStatus {
    Loaded,         // read, completely or up to the point of damage (see `complete`)
    CannotOpen,     // the file could not be opened or read
    VersionRefused, // no version number, or one this program cannot read
};

struct LabelFileLoad {
    LabelFileStatus status = LabelFileStatus::CannotOpen;
    int version = 0;       // version code: 16 for "1.6", else the whole number
    bool complete = false; // every item the file announced was read
    std::string problem;   // why reading stopped early or the file was refused
    std::size_t problemOffset = 0;
    std::size_t droppedObjects = 0; // objects skipped: unknown kind or a picture unfit to paint
};

// The version code of a file's first number: trunc(10 x) when that is 16 ("1.6"), else
// trunc(x). -1 when the data does not start with a number.
int labelFileVersion(std::span<const std::uint8_t> bytes);

// Whether the bytes start with a version this program can read.
bool isReadableLabelFileVersion(int version);

// Clears `label` and reads the file's bytes into it. A refused version leaves the label
// cleared.
LabelFileLoad decodeLabelFile(std::span<const std::uint8_t> bytes, VAROINFO& label);

// What happens to the label when the version is refused.
enum class WhenRefused {
    LabelCleared, // cleared before the version is looked at (Open, recent files)
    LabelKept,    // cleared only once the version is accepted (the command-line load)
};

// Reads the file at `path` into `label`. A file that cannot be opened leaves the label as
// it was; so does anything but a regular file (a pipe or device is refused without waiting
// on it) and a file larger than kMaxLabelFileBytes. Reports nothing: the callers' messages differ.
LabelFileLoad loadLabelFile(const std::string& path, VAROINFO& label,
                            WhenRefused whenRefused = WhenRefused::LabelCleared);

// Writes `label` to `path` atomically. On failure the previous file is untouched and
// "Error Saving Body" is shown (caption "Disk Error") with the path and the system's reason;
// `problem` then holds the reason.
bool saveLabelFile(const std::string& path, const VAROINFO& label, std::string* problem = nullptr);

} // namespace pelmora
