#pragma once

#include "OpResult.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// File operations of the platform layer. Paths are the system's own bytes (POSIX) or
// UTF-8 (Windows). None of them replaces an existing file unless its name says so.
namespace chain::platform {

// Renames or moves `from` to `to`. Fails with Exists when `to` exists, and with
// CrossVolume instead of copying when the two lie on different volumes.
OpResult moveNoReplace(const std::string& from, const std::string& to);
// Renames files within one folder, in order, each as moveNoReplace does: (old name, new
// name) pairs. On POSIX the folder is opened once and each rename is relative to it
// (Windows renames by whole paths). results[i] tells how renames[i] went.
std::vector<OpResult> renameInFolder(const std::string& folder,
                                     const std::vector<std::pair<std::string, std::string>>& renames);
// Deletes a file; a folder is refused.
OpResult deleteFile(const std::string& path);
// Clears read-only, hidden, system and archive marks (Windows); on POSIX it only checks
// that the file is there.
OpResult setNormalAttributes(const std::string& path);

// Names of the ordinary files in a folder, unsorted: no folders, no hidden or system
// files on Windows, no dot-files on POSIX (where a symbolic link counts as what it points
// to). With an `extension` (a dot and letters, such as ".ts") only the names that end in
// it, ASCII letter case ignored, are kept, and no other entry is examined further.
// `others`, when given, gets the names of all the other entries, so that the two hold
// every name in the folder. Both are emptied first and stay empty on failure.
OpResult listOrdinaryFiles(const std::string& folder, std::vector<std::string>& names,
                           std::string_view extension = {}, std::vector<std::string>* others = nullptr);

// Size of a regular file (symbolic links followed); nothing for a folder or a missing file.
std::optional<std::uint64_t> fileSize(const std::string& path);
// The sizes of files of one folder, by name: sizes[i] for names[i] as fileSize() gives
// it, each file's marks first cleared as setNormalAttributes() clears them. On POSIX the
// folder is opened once and each file costs one fstatat relative to it (a folder that
// can't be opened: each file by its path); on Windows one look at each file's
// attributes, and a second call only for a file that has marks to clear.
std::vector<std::optional<std::uint64_t>> normalFileSizes(const std::string& folder,
                                                          const std::vector<std::string>& names);
// What tells whether a folder's entries may have changed: the folder's volume and number,
// when it was last modified (an entry added, removed or renamed sets it) and when it last
// changed at all (which, unlike the modification time, no program can set back). The
// same stamp later means the same entries, except for changes made within the
// filesystem's time resolution of the stamp: a caller trusts only a stamp whose
// modification time is older than that. Nothing comes back when the folder can't be
// examined, and always on Windows, where the folder's times can't be trusted the same way
// (FAT keeps none for changes of its entries): the caller lists the folder every time.
struct FolderStamp {
    std::uint64_t volume = 0;
    std::uint64_t folder = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FolderStamp&) const = default;
};
std::optional<FolderStamp> folderStamp(const std::string& path);
bool isRegularFile(const std::string& path);
// Whether anything at all has this name: a file, a folder, a link (even a dangling one).
bool entryExists(const std::string& path);
// Whether two names within one folder name the same entry, as the system compares names:
// byte for byte on POSIX, with letter case ignored on Windows.
bool sameEntryName(std::string_view a, std::string_view b);
// When a regular file was last written, in milliseconds since 1970 (links followed);
// nothing for a folder or a missing file.
std::optional<std::int64_t> modifiedMsecs(const std::string& path);
// What tells one file from every other: the volume and the file's number on it (device
// and inode on POSIX, volume serial and file id on Windows), with its size and when it
// was last written (ns since 1970). A rename or a move within the volume keeps all four;
// a new file under the same name, or one written to since, differs in one of them.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of a regular file (symbolic links followed); nothing for a folder or a
// missing file.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// Whether the file (not a folder) can be opened for reading now.
bool canOpenForReading(const std::string& path);
// Same drive letter (Windows) or same filesystem device (POSIX).
std::optional<bool> sameVolume(const std::string& a, const std::string& b);

// Reads a whole regular file into `bytes` (emptied first).
OpResult readWholeFile(const std::string& path, std::string& bytes);
// Reads up to `count` bytes of a regular file from `offset` on into `bytes` (emptied
// first); fewer come back at the end of the file, none past it.
OpResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, std::string& bytes);
// The file a path names once symbolic links are followed: the last link's target (which
// need not exist yet), a relative target taken from its link's folder. The path itself
// when it is no link, or when a link can't be read or leads round in a loop. A save goes
// there, so that a settings file kept elsewhere through a link stays a link.
std::string linkTarget(const std::string& path);
// Replaces the file's contents whole and atomically: the bytes go to a new temporary
// file in the same folder (its name the file's name + TemporarySuffix + six random
// characters), are flushed to the disk, and the temporary file is then renamed over the
// file. On any failure the temporary file is removed and the old file stays as it was.
OpResult replaceFileContents(const std::string& path, std::string_view bytes);
inline constexpr std::string_view TemporarySuffix = ".tmp~";
// Appends the bytes to the end of the file, creating it when it is missing; other
// writers' appends are never overwritten. The bytes are flushed to the system. They go in
// whole or not at all: after a failure part-way (a full disk) the file is cut back to its
// old end. Anything but a regular file (a FIFO, a device) is refused without waiting.
OpResult appendToFile(const std::string& path, std::string_view bytes);

std::string currentDirectory();

} // namespace chain::platform
