#pragma once
// Reading files the user names (label files, templates, images, the ini). Only regular files
// are read: a folder is refused, and a named pipe, device or socket given such a name is
// refused without blocking, since opening a pipe with no writer would wait for ever and
// /dev/zero would never end.

#include "platform/core/descriptor.h"

#include <cstdint>
#include <string>

namespace pelmora {

// Opens path for reading when it names a regular file and measures it. On failure the
// returned descriptor is invalid and errno says why: EISDIR for a folder, ENODEV for a pipe,
// device or socket, or what open() reported.
Descriptor openRegularFile(const std::string& path, std::uint64_t& size);

// Reads the whole of a regular file of at most maxBytes bytes into bytes. False, with errno
// set as above or EFBIG for a longer file, when it cannot; bytes is then empty. A file that
// grows past maxBytes while being read is refused the same way.
bool readRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes);

// Why a read failed, in words for a message: "not a regular file" for ENODEV, "file too
// large" for EFBIG, else strerror.
std::string regularFileProblem(int error);

} // namespace pelmora
