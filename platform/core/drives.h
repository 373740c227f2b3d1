#pragma once
// Drive letters mapped to folders. Removable media mounted under /media/$USER,
// /run/media/$USER and /mnt get free letters from A in mount order; entries of the
// "[Drives]" section of Pelmora.ini ("A=/some/folder") and the environment variables
// PELMORA_DRIVE_A .. PELMORA_DRIVE_Z override them; Z: is "/" unless overridden.

#include <cstdint>
#include <optional>
#include <string>

namespace pelmora {

// Bit 0 = A: ... bit 25 = Z:, for every letter that maps to an existing folder.
std::uint32_t GetLogicalDrives();

// The drive a first run starts from, before the user has chosen one: the letter of the first
// mounted removable medium, else the first letter of an existing folder, else 'Z'.
char firstRunDriveLetter();

// The folder a drive letter stands for (no trailing slash except for "/").
std::optional<std::string> driveFolder(char letter);

// Maps a letter to a folder for the life of the process (the CLI scans a folder "as a drive"
// this way); an empty folder removes the mapping made here.
void setDriveFolder(char letter, const std::string& folder);

struct DiskSpace {
    std::int64_t totalBytes = 0;
    std::int64_t freeBytes = 0; // available to the user
};

// statvfs of the drive's folder; nullopt when the drive is unmapped or statvfs fails.
std::optional<DiskSpace> GetDiskFreeSpace(char letter);

// The file-system label of the medium (the mount's device matched against
// /dev/disk/by-label), else the drive folder's own name. nullopt for an unmapped drive.
std::optional<std::string> GetVolumeInformation(char letter);

// Converts a path below a drive root written with backslashes ("\SUB\DEEPER") into the real
// path of that folder. nullopt when the drive is unmapped.
std::optional<std::string> drivePathToFolder(char letter, const std::string& pathBelowRoot);

} // namespace pelmora
