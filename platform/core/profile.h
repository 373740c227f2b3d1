#pragma once
// Private profile (ini) files: case-insensitive section and key names, a default text when the
// key is missing, the result cut to the caller's capacity.

#include <optional>
#include <string>

namespace pelmora {

// The folder that stands for the Windows folder: $PELMORA_WINDIR when set, else
// ${XDG_CONFIG_HOME:-$HOME/.config}.
std::string windowsFolder();

// Full path of an ini file name in the Windows folder ("Pelmora.ini").
std::string profilePath(const std::string& fileName);

// Reads `key` of `section`; returns `defaultText` when the file, the section or the key is
// missing. The text is cut to capacity-1 bytes (as the fixed buffers of the callers hold).
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultText, std::size_t capacity,
                                    const std::string& iniPath);

} // namespace pelmora
