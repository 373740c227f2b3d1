#pragma once
// Replacing a file so that a failure never costs the old one: the new content goes to a
// temporary file in the same folder, every write's count is checked, the data is flushed
// and synced, and only then is the temporary renamed over the target. A full disk, a
// vanished folder or a read-only medium leave the previous file exactly as it was.
//
// The temporary file is named ".NAME.pelmora-tmp-XXXXXX" (NAME the target's name, cut to 200
// bytes; six random characters), hidden and recognisable. A save killed before its rename
// leaves one behind, so each save first removes the ones in its folder that are regular
// files of this user, last changed over a minute ago (a save in progress keeps writing to its
// own). Nothing else in the folder is touched.

#include <string>
#include <string_view>

namespace pelmora {

// Whether a file name has the form of a save's temporary file.
bool isAtomicSaveTemporary(std::string_view name);

// Temporaries older than this are left over from a save that did not finish.
constexpr int kStaleTemporarySeconds = 60;

// Writes `content` to `path`. A symbolic link at `path` is followed, so the file it names
// is replaced and the link stays. A replaced file keeps its permission bits; a new one gets
// 0666 less the umask. Returns false on any failure and, when `problem` is given, says why
// there; the temporary file is removed.
bool writeFileAtomically(const std::string& path, std::string_view content,
                         std::string* problem = nullptr);

} // namespace pelmora
