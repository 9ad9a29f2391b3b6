#pragma once

#include "OpResult.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// File operations of the platform layer. Paths are UTF-8. None of them replaces an
// existing file.
namespace chain::platform {

// Renames or moves `from` to `to`. Fails with Exists when `to` exists, and with
// CrossVolume instead of copying when the two lie on different volumes.
OpResult moveNoReplace(const std::string& from, const std::string& to);
// Deletes a file; a folder is refused.
OpResult deleteFile(const std::string& path);
// Clears read-only, hidden, system and archive marks (Windows); on POSIX it only checks
// that the file is there.
OpResult setNormalAttributes(const std::string& path);

// Names of the ordinary files in a folder, unsorted: no folders, no hidden or system
// files on Windows, no dot-files on POSIX (where a symbolic link counts as what it points
// to). `names` is emptied first and stays empty on failure.
OpResult listOrdinaryFiles(const std::string& folder, std::vector<std::string>& names);

// Size of a regular file (symbolic links followed); nothing for a folder or a missing file.
std::optional<std::uint64_t> fileSize(const std::string& path);
bool isRegularFile(const std::string& path);
// Whether the file (not a folder) can be opened for reading now.
bool canOpenForReading(const std::string& path);
// Same drive letter (Windows) or same filesystem device (POSIX).
std::optional<bool> sameVolume(const std::string& a, const std::string& b);

std::string currentDirectory();

} // namespace chain::platform
