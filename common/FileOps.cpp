#include "FileOps.h"

#include "NativeName.h"
#include "SystemReason.h"

#include "platform/Files.h"

#include <algorithm>

namespace chain {

namespace {
// QString::compare with letter case ignored, which folds the case of every character,
// done faster: units that are the same fold alike, and ASCII folds to ASCII lower case,
// so Qt is asked only from the first other unit on (from the start of a surrogate pair
// cut there).
int compareIgnoringCase(QStringView a, QStringView b) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    qsizetype same = 0;
    const qsizetype shorter = std::min(a.size(), b.size());
    for (; same < shorter; ++same) {
        const char16_t x = a[same].unicode();
        const char16_t y = b[same].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            break;
        if (lower(x) != lower(y))
            return lower(x) - lower(y);
    }
    if (same > 0 && a[same - 1].isHighSurrogate())
        --same;
    return a.sliced(same).compare(b.sliced(same), Qt::CaseInsensitive);
}

// Why an entry name can't be used in a folder that can: it holds a NUL or another
// control character. (Joined to such a folder, an empty name is the folder itself.)
QString nameProblem(const QString& name) {
    return name.isEmpty() ? QString() : pathProblem(name);
}

// Names of the system, as text sorted the way listings are.
QStringList sortedNames(const std::vector<std::string>& names) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        list << fromNative(name);
    std::sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        const int folded = compareIgnoringCase(a, b);
        return folded != 0 ? folded < 0 : a < b;
    });
    return list;
}

// A name with the differences that some filesystems ignore taken out: Unicode forms
// (decomposed), upper and lower case (upper-cased, then case-folded, which also makes
// "ı" and "I", or "ß" and "SS", one). Two names that any of them takes for one name have
// the same loose name.
QString looseName(const QString& name) {
    return name.normalized(QString::NormalizationForm_D).toUpper().toCaseFolded();
}
} // namespace

QChar pathSeparator() {
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

qsizetype lastSeparator(const QString& path) {
#ifdef Q_OS_WIN
    return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
#else
    return path.lastIndexOf(u'/');
#endif
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return {};
    if (folder.endsWith(pathSeparator()))
        return folder + name;
    return folder + pathSeparator() + name;
}

QString pathProblem(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("パスが空です");
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("パスに制御文字が含まれています");
    }
    return {};
}

QString folderSettingProblem(const QString& settingName, const QString& folder) {
    if (folder.isEmpty())
        return QStringLiteral("%1が指定されていません").arg(settingName);
    if (!pathProblem(folder).isEmpty())
        return QStringLiteral("%1に制御文字が含まれています").arg(settingName);
    return {};
}

QString hiddenNameProblem([[maybe_unused]] const QString& name) {
#ifndef Q_OS_WIN
    if (name.startsWith(u'.'))
        return QStringLiteral("新しい名前が「.」で始まり、隠しファイルになります");
#endif
    return {};
}

QString moveNoReplace(const QString& from, const QString& to) {
    for (const QString& path : {from, to}) {
        if (const QString problem = pathProblem(path); !problem.isEmpty())
            return problem;
    }
    return reasonText(platform::moveNoReplace(toNative(from), toNative(to)));
}

QStringList renameInFolder(const QString& folder, const QList<std::pair<QString, QString>>& renames) {
    // A pair that a single move would refuse is refused alike and not handed on.
    const QString folderProblem = pathProblem(folder);
    QStringList reasons;
    std::vector<std::pair<std::string, std::string>> handedOn;
    for (const auto& [from, to] : renames) {
        QString problem = folderProblem;
        if (problem.isEmpty())
            problem = nameProblem(from);
        if (problem.isEmpty())
            problem = nameProblem(to);
        reasons << problem;
        if (problem.isEmpty())
            handedOn.emplace_back(toNative(from), toNative(to));
    }
    const std::vector<platform::OpResult> results = platform::renameInFolder(toNative(folder), handedOn);
    std::size_t next = 0;
    for (QString& reason : reasons) {
        if (reason.isEmpty())
            reason = reasonText(results[next++]);
    }
    return reasons;
}

QString deleteFile(const QString& path) {
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return problem;
    return reasonText(platform::deleteFile(toNative(path)));
}

QString setNormalAttributes(const QString& path) {
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return problem;
    return reasonText(platform::setNormalAttributes(toNative(path)));
}

std::optional<QStringList> listFiles(const QString& folder, QString* error) {
    return listFiles(folder, QString(), error);
}

std::optional<QStringList> listFiles(const QString& folder, const QString& extension, QString* error) {
    if (const QString problem = pathProblem(folder); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    std::vector<std::string> names;
    const platform::OpResult result =
        platform::listOrdinaryFiles(toNative(folder), names, toNative(extension));
    if (!result.ok()) {
        if (error)
            *error = reasonText(result);
        return std::nullopt;
    }
    return sortedNames(names);
}

std::optional<FolderListing> FolderListing::read(const QString& folder, QString* error) {
    if (const QString problem = pathProblem(folder); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    std::vector<std::string> files;
    std::vector<std::string> others;
    const platform::OpResult result = platform::listOrdinaryFiles(toNative(folder), files, {}, &others);
    if (!result.ok()) {
        if (error)
            *error = reasonText(result);
        return std::nullopt;
    }
    FolderListing listing;
    listing.m_folder = folder;
    listing.m_files = sortedNames(files);
    listing.m_names.reserve(listing.m_files.size() + static_cast<qsizetype>(others.size()));
    listing.m_looseNames.reserve(listing.m_names.capacity());
    for (const QString& name : listing.m_files)
        listing.m_names.insert(name);
    for (const std::string& name : others)
        listing.m_names.insert(fromNative(name));
    for (const QString& name : std::as_const(listing.m_names))
        listing.m_looseNames.insert(looseName(name));
    return listing;
}

bool FolderListing::nameTaken(const QString& name) const {
    // What nameTaken() refuses to look at, or a path rather than a name, goes to it.
    if (!pathProblem(name).isEmpty() || name.contains(pathSeparator()) || name.contains(u'/'))
        return chain::nameTaken(joinPath(m_folder, name));
    // No entry could be taken for it: none has the same loose name (an entry of this very
    // name has it too). Most names asked about are new, and this one look answers them.
    if (!m_looseNames.contains(looseName(name)))
        return false;
    if (m_names.contains(name))
        return true;
    return chain::nameTaken(joinPath(m_folder, name));
}

QStringList withExtension(const QStringList& names, const QString& extension) {
    // Only ASCII letters match in either case, as in the platform's listing.
    const auto lower = [](QChar c) { return c.unicode() < 0x80 ? c.toLower() : c; };
    const auto matches = [&](const QString& name) {
        if (name.size() < extension.size())
            return false;
        const QStringView tail = QStringView(name).last(extension.size());
        return std::equal(tail.begin(), tail.end(), extension.begin(),
                          [&](QChar a, QChar b) { return lower(a) == lower(b); });
    };
    QStringList matching;
    for (const QString& name : names) {
        if (matches(name))
            matching << name;
    }
    return matching;
}

bool sameEntryName(const QString& a, const QString& b) {
    return platform::sameEntryName(toNative(a), toNative(b));
}

std::optional<qint64> fileSize(const QString& path) {
    if (!pathProblem(path).isEmpty())
        return std::nullopt;
    const auto size = platform::fileSize(toNative(path));
    if (!size)
        return std::nullopt;
    return static_cast<qint64>(*size);
}

QList<std::optional<qint64>> normalFileSizes(const QString& folder, const QStringList& names) {
    // A name that fileSize() would refuse with the folder is refused alike and not handed on.
    const bool folderUsable = pathProblem(folder).isEmpty();
    const auto usable = [&](const QString& name) {
        return folderUsable && !name.isEmpty() && nameProblem(name).isEmpty();
    };
    std::vector<std::string> handedOn;
    handedOn.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        if (usable(name))
            handedOn.push_back(toNative(name));
    }
    const std::vector<std::optional<std::uint64_t>> found =
        platform::normalFileSizes(toNative(folder), handedOn);
    QList<std::optional<qint64>> sizes;
    sizes.reserve(names.size());
    std::size_t next = 0;
    for (const QString& name : names) {
        const std::optional<std::uint64_t> size = usable(name) ? found[next++] : std::nullopt;
        sizes.append(size ? std::optional<qint64>(static_cast<qint64>(*size)) : std::nullopt);
    }
    return sizes;
}

std::optional<QByteArray> readFileRange(const QString& path, qint64 offset, qint64 count, QString* error) {
    QString problem = pathProblem(path);
    if (problem.isEmpty() && (offset < 0 || count < 0))
        problem = QStringLiteral("読み取る位置が正しくありません");
    std::string bytes;
    if (problem.isEmpty()) {
        problem = reasonText(platform::readFileRange(toNative(path), static_cast<std::uint64_t>(offset),
                                                     static_cast<std::size_t>(count), bytes));
    }
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool fileExists(const QString& path) {
    return pathProblem(path).isEmpty() && platform::isRegularFile(toNative(path));
}

bool nameTaken(const QString& path) {
    return pathProblem(path).isEmpty() && platform::entryExists(toNative(path));
}

std::optional<qint64> modifiedMsecs(const QString& path) {
    if (!pathProblem(path).isEmpty())
        return std::nullopt;
    const auto msecs = platform::modifiedMsecs(toNative(path));
    if (!msecs)
        return std::nullopt;
    return static_cast<qint64>(*msecs);
}

bool canOpenForReading(const QString& path) {
    return pathProblem(path).isEmpty() && platform::canOpenForReading(toNative(path));
}

std::optional<bool> sameVolume(const QString& a, const QString& b) {
    if (!pathProblem(a).isEmpty() || !pathProblem(b).isEmpty())
        return std::nullopt;
    return platform::sameVolume(toNative(a), toNative(b));
}

QString currentFolder() {
    return fromNative(platform::currentDirectory());
}

} // namespace chain
