#include "FileOps.h"

#include "platform/Files.h"

#include <algorithm>

namespace chain {

namespace {
std::string native(const QString& path) {
    return path.toStdString();
}

QString reason(const platform::OpResult& result) {
    using Kind = platform::OpResult::Kind;
    const QString detail = QString::fromStdString(result.detail);
    switch (result.kind) {
    case Kind::Ok:
        return {};
    case Kind::Exists:
        return QStringLiteral("同じ名前のファイルが既にあります");
    case Kind::NotFound:
        return QStringLiteral("ファイルが見つかりません");
    case Kind::CrossVolume:
        return QStringLiteral("別のドライブへは移動できません");
    case Kind::Denied:
        return QStringLiteral("アクセスが拒否されました (%1)").arg(detail);
    case Kind::Other:
        break;
    }
    return detail.isEmpty() ? QStringLiteral("不明なエラー") : detail;
}
} // namespace

QChar pathSeparator() {
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(pathSeparator()))
        return folder + name;
    return folder + pathSeparator() + name;
}

QString moveNoReplace(const QString& from, const QString& to) {
    return reason(platform::moveNoReplace(native(from), native(to)));
}

QString deleteFile(const QString& path) {
    return reason(platform::deleteFile(native(path)));
}

QString setNormalAttributes(const QString& path) {
    return reason(platform::setNormalAttributes(native(path)));
}

std::optional<QStringList> listFiles(const QString& folder, QString* error) {
    std::vector<std::string> names;
    const platform::OpResult result = platform::listOrdinaryFiles(native(folder), names);
    if (!result.ok()) {
        if (error)
            *error = reason(result);
        return std::nullopt;
    }
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    std::sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return list;
}

QStringList withExtension(const QStringList& names, const QString& extension) {
    QStringList matching;
    for (const QString& name : names) {
        if (name.endsWith(extension, Qt::CaseInsensitive))
            matching << name;
    }
    return matching;
}

std::optional<qint64> fileSize(const QString& path) {
    const auto size = platform::fileSize(native(path));
    if (!size)
        return std::nullopt;
    return static_cast<qint64>(*size);
}

bool fileExists(const QString& path) {
    return platform::isRegularFile(native(path));
}

bool canOpenForReading(const QString& path) {
    return platform::canOpenForReading(native(path));
}

std::optional<bool> sameVolume(const QString& a, const QString& b) {
    return platform::sameVolume(native(a), native(b));
}

QString currentFolder() {
    return QString::fromStdString(platform::currentDirectory());
}

} // namespace chain
