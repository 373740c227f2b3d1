#pragma once
// Giving a file the hidden attribute. On a FAT medium (vfat) the file's own hidden attribute
// is set and its other attributes (read-only, system, archive) are cleared; elsewhere, or when
// the medium refuses the attribute, the name is added once to the folder's ".hidden" file,
// the list file managers and the directory listing read.

#include <string>

namespace pelmora {

// Returns true when the file is hidden afterwards. False when the file does not exist, or
// neither the attribute nor the ".hidden" entry could be written. A name that starts with a
// dot is hidden already and needs nothing written.
bool SetFileHidden(const std::string& path);

} // namespace pelmora
