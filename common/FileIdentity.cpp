#include "FileIdentity.h"

#include "FileOps.h"
#include "NativeName.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace chain {

std::optional<FileIdentity> fileIdentity(const QString& path) {
    if (!pathProblem(path).isEmpty())
        return std::nullopt;
    return platform::fileIdentity(toNative(path));
}

std::optional<FolderStamp> folderStamp(const QString& folder) {
    if (!pathProblem(folder).isEmpty())
        return std::nullopt;
    return platform::folderStamp(toNative(folder));
}

bool isSettled(const FolderStamp& stamp) {
    constexpr qint64 SlackMs = 3000; // FAT's 2 s, with room to spare
    return QDateTime::currentMSecsSinceEpoch() - stamp.modifiedNs / 1000000 > SlackMs;
}

bool isSameFile(const QString& path, const FileIdentity& identity) {
    return fileIdentity(path) == identity;
}

QString identityText(const FileIdentity& identity) {
    return QStringLiteral("%1:%2:%3:%4")
        .arg(identity.volume)
        .arg(identity.file)
        .arg(identity.size)
        .arg(identity.modifiedNs);
}

std::optional<FileIdentity> parseIdentity(const QString& text) {
    const QStringList parts = text.split(u':');
    if (parts.size() != 4)
        return std::nullopt;
    FileIdentity identity;
    bool ok[4] = {};
    identity.volume = parts[0].toULongLong(&ok[0]);
    identity.file = parts[1].toULongLong(&ok[1]);
    identity.size = parts[2].toULongLong(&ok[2]);
    identity.modifiedNs = parts[3].toLongLong(&ok[3]);
    // toULongLong takes a leading "+" or blanks; a record written by us never has them.
    for (const QString& part : parts) {
        if (part.isEmpty() || !(part[0].isDigit() || part[0] == u'-'))
            return std::nullopt;
    }
    if (!(ok[0] && ok[1] && ok[2] && ok[3]))
        return std::nullopt;
    return identity;
}

namespace {
// The resolved form of an existing folder, "/" separated; empty when it can't be had.
QString resolvedFolder(const QString& folder) {
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    return info.isDir() ? info.canonicalFilePath() : QString();
}

bool samePath(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}
} // namespace

bool liesIn(const QString& path, const QString& folder) {
    if (!pathProblem(path).isEmpty() || !pathProblem(folder).isEmpty())
        return false;
    const QString generic = QDir::fromNativeSeparators(path);
    const qsizetype slash = generic.lastIndexOf(u'/');
    const QString name = generic.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || name == u"." || name == u"..")
        return false;
    const QString inside = resolvedFolder(folder);
    if (inside.isEmpty() || !samePath(resolvedFolder(generic.left(slash)), inside))
        return false;
    // A link in the folder that leads elsewhere is not inside it.
    const QFileInfo entry(generic);
    if (entry.isSymLink())
        return samePath(QFileInfo(entry.canonicalFilePath()).absolutePath(), inside);
    return true;
}

bool sameFolder(const QString& a, const QString& b) {
    if (!pathProblem(a).isEmpty() || !pathProblem(b).isEmpty())
        return false;
    const QString resolved = resolvedFolder(a);
    return !resolved.isEmpty() && samePath(resolved, resolvedFolder(b));
}

} // namespace chain
