#pragma once
// Replacing a file so that a failure never costs the old one: the new content goes to a
// temporary file in the same folder, every write's count is checked, the data is flushed
// and synced, and only then is the temporary renamed over the target. A full disk, a
// vanished folder or a read-only medium leave the previous file exactly as it was.

#include <string>
#include <string_view>

namespace pelmora {

// Writes `content` to `path`. A symbolic link at `path` is followed, so the file it names
// is replaced and the link stays. A replaced file keeps its permission bits; a new one gets
// 0666 less the umask. Returns false on any failure and, when `problem` is given, says why
// there; the temporary file is removed.
bool writeFileAtomically(const std::string& path, std::string_view content,
                         std::string* problem = nullptr);

} // namespace pelmora
