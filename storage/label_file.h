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

#include "catalog/catalog_limits.h"
#include "catalog/records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelmora {

// The caps a label file is read back under (kMaxCatalogDepth, kMaxCatalogBytes,
// kMaxLabelFileBytes, kMaxPlacedObjects) are in catalog/catalog_limits.h.

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
// on it) and a file larger than labelFileByteCap(). Reports nothing: the callers' messages differ.
LabelFileLoad loadLabelFile(const std::string& path, VAROINFO& label,
                            WhenRefused whenRefused = WhenRefused::LabelCleared);

// The exact size of the file encodeLabelFile makes for `label`, without making it.
std::uint64_t labelFileBytes(const VAROINFO& label);

// Why the file for `label` would not be read back whole (too many placed objects, a catalog
// past the reader's memory cap or nesting, a size the file cannot hold, a picture the reader
// drops, a file past the size cap); empty when it would be. Checked before anything is written.
std::string labelFileProblem(const VAROINFO& label);

// Why `object` cannot join the label's objects: the label would hold more placed objects, or
// its file would be larger, than the reader takes back. Empty when it can.
std::string objectAdditionProblem(const VAROINFO& label, const PlacedObject& object);

// Writes `label` to `path` atomically. A label labelFileProblem refuses is not written; on
// any failure the previous file is untouched and "Error Saving Body" is shown (caption "Disk
// Error") followed by the reason, which `problem` also receives.
bool saveLabelFile(const std::string& path, const VAROINFO& label, std::string* problem = nullptr);

} // namespace pelmora
