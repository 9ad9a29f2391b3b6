#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace chain {

// File operations on users' files. None of them ever replaces an existing file. Each
// returns an empty text on success, otherwise the reason in Japanese.

// The platform's path separator ("\" on Windows, "/" elsewhere).
QChar pathSeparator();
// Where the last separator in `path` is, or -1. On Windows a "/" separates too (the system
// reads it so, and Qt writes folders with it).
qsizetype lastSeparator(const QString& path);
// folder + separator + name. An empty folder is never joined (it would mean the root):
// the result is then empty, which every operation below refuses.
QString joinPath(const QString& folder, const QString& name);
// Why a path can't be used: it is empty, or holds a NUL or another control character
// (the system would cut it or misread it). Empty when it can be used. Every operation
// below refuses such a path with this reason.
QString pathProblem(const QString& path);
// The same check for a folder setting, naming the setting: "<setting>が空です" etc.
QString folderSettingProblem(const QString& settingName, const QString& folder);
// Why a new file name would hide the file from the chain: on POSIX a name that starts
// with "." is a dot-file, which no listing of the programs shows. Empty when it is seen.
QString hiddenNameProblem(const QString& name);

// Renames or moves a file. Fails when the target exists, and never copies across
// volumes.
QString moveNoReplace(const QString& from, const QString& to);
// Renames files within one folder, in order, as moveNoReplace does: (old name, new name)
// pairs. The folder is opened once for all of them. The reasons come back in the same
// order, empty for each rename that worked.
QStringList renameInFolder(const QString& folder, const QList<std::pair<QString, QString>>& renames);
// Deletes one file.
QString deleteFile(const QString& path);
// Clears read-only, hidden and system marks where the platform has them.
QString setNormalAttributes(const QString& path);

// Ordinary files of a folder (no hidden or system files, no dot-files on POSIX), sorted
// by name with letter case ignored. Nothing comes back when the folder can't be
// listed; `error` then says why.
std::optional<QStringList> listFiles(const QString& folder, QString* error = nullptr);
// The same for the files whose extension is `extension` (given with its dot, letter case
// ignored): the others are left out before they are examined or sorted.
std::optional<QStringList> listFiles(const QString& folder, const QString& extension,
                                     QString* error = nullptr);
// The names of `names` whose extension is `extension` (given with its dot), case ignored
// as the listing ignores it.
QStringList withExtension(const QStringList& names, const QString& extension);
// Whether two names within one folder name the same entry: exactly on POSIX, with letter
// case ignored on Windows.
bool sameEntryName(const QString& a, const QString& b);

// One listing of a folder that can also tell whether a name is taken there by any entry
// (a file, a folder, a dot-file, a link, even a dangling one), as nameTaken() tells it,
// without asking the system about each name: only a name that an entry carries in
// another letter case or form (one name to a filesystem that ignores case) is asked about.
class FolderListing {
  public:
    // Nothing when the folder can't be listed; `error` then says why.
    static std::optional<FolderListing> read(const QString& folder, QString* error = nullptr);
    // The ordinary files, as listFiles() gives them.
    const QStringList& files() const { return m_files; }
    bool nameTaken(const QString& name) const;

  private:
    QString m_folder;
    QStringList m_files;
    QSet<QString> m_names;      // every entry's name
    QSet<QString> m_looseNames; // the same, in the form looseName() gives
};

std::optional<qint64> fileSize(const QString& path);
// The sizes of files of one folder, by name, as fileSize() gives them (nothing for one
// that is missing, a folder, or whose path can't be used), each file's marks first
// cleared as setNormalAttributes() clears them: one look at each file, the folder opened
// once.
QList<std::optional<qint64>> normalFileSizes(const QString& folder, const QStringList& names);
// Up to `count` bytes of a file from `offset` on (fewer at its end), without reading the
// rest. Nothing comes back when it can't be read; `error` then says why.
std::optional<QByteArray> readFileRange(const QString& path, qint64 offset, qint64 count,
                                        QString* error = nullptr);
bool fileExists(const QString& path);
// Whether the name is taken by anything: a file, a folder, a dot-file, a link. A move
// or rename onto such a name fails.
bool nameTaken(const QString& path);
// When a regular file was last written, in ms since 1970; nothing when it can't be told.
std::optional<qint64> modifiedMsecs(const QString& path);
// True when the file can be opened for reading (and was closed again).
bool canOpenForReading(const QString& path);
// True when both paths lie on the same drive (Windows) or filesystem (POSIX); nothing
// when either can't be examined.
std::optional<bool> sameVolume(const QString& a, const QString& b);

// The process's current directory in the platform's own spelling.
QString currentFolder();

} // namespace chain
