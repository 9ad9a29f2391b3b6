#pragma once

#include "platform/Files.h"

#include <QString>
#include <optional>

namespace chain {

// Files are acted on by identity, not by name: a run records the identity of each file it
// will rename, move or delete, and acts on a file only while it is still that one. A newer
// file under the same name, or the same file written to since, is another.
using FileIdentity = platform::FileIdentity;

// The identity of a regular file; nothing when it is missing, a folder, or can't be asked.
std::optional<FileIdentity> fileIdentity(const QString& path);
// Whether the file at `path` is the one of `identity` (nothing there: no).
bool isSameFile(const QString& path, const FileIdentity& identity);

// The identity as one field of a run record ("volume:file:size:modified", in decimal), and
// back; nothing for a text that isn't one.
QString identityText(const FileIdentity& identity);
std::optional<FileIdentity> parseIdentity(const QString& text);

// Whether a folder's entries may have changed since an earlier stamp (see
// platform::FolderStamp); nothing when the folder can't be examined, or on a platform
// whose folder times can't be trusted for it.
using FolderStamp = platform::FolderStamp;
std::optional<FolderStamp> folderStamp(const QString& folder);
// Whether a listing made now can be relied on for as long as the folder keeps `stamp`:
// the folder's last modification lies further back than the coarsest time resolution of
// a filesystem (FAT: 2 s), so that a change still to come can't carry the same time.
bool isSettled(const FolderStamp& stamp);

// Whether `path` names an entry directly inside `folder` once both are resolved ("." and
// "..", symbolic links): what a path read back from a run record must pass before it is
// used. False when the folder doesn't exist or either can't be resolved.
bool liesIn(const QString& path, const QString& folder);
// Whether two folder paths name one existing folder once resolved ("." and "..",
// symbolic links, letter case on Windows).
bool sameFolder(const QString& a, const QString& b);

} // namespace chain
