#pragma once
// Private profile (ini) files: case-insensitive section and key names, a default text when the
// key is missing, the result cut to the caller's capacity. Writers that change many keys at
// once use IniFile (ini_file.h) to read and write the file only once.

#include <optional>
#include <string>
#include <string_view>

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

// Sets `key` of `section` to `value` in the ini file, creating the file and the section when
// they are missing. An existing key keeps its place in the file and gets the new value; a new
// key goes after the last key of its section. nullopt removes the key. Everything else in the
// file stays as it was. The file is replaced atomically (IniFile::save). False when nothing
// was written: the existing file cannot be read, the names or the value cannot be stored (see
// IniFile::set), or saving failed.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               std::optional<std::string_view> value, const std::string& iniPath);

} // namespace pelmora
