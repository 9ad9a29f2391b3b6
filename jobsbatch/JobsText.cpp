#include "JobsText.h"

namespace orvane {

namespace {
const QString DoneMark = QStringLiteral("// $done");
const QString OutputMark = QStringLiteral("// $output");

// "\" and ":" end a Windows folder; on POSIX "/" does, and a jobs file written on
// Windows still separates with "\".
bool endsFolder(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u':';
#else
    return c == u'\\' || c == u'/';
#endif
}
} // namespace

QString withoutTrailingSpaces(const QString& line) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    return line.left(end);
}

QStringList usedPart(const QStringList& lines) {
    QStringList used;
    for (const QString& line : lines) {
        used << withoutTrailingSpaces(line);
        if (line.startsWith(DoneMark))
            break;
    }
    return used;
}

bool isBlank(const QStringList& lines) {
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            return false;
    }
    return true;
}

QStringList outputNames(const QStringList& lines) {
    QStringList names;
    for (const QString& raw : lines) {
        const QString line = withoutTrailingSpaces(raw);
        if (!line.startsWith(OutputMark))
            continue;
        // The mark itself holds no "\" or ":", so only the text after it is searched.
        qsizetype start = line.size();
        while (start > OutputMark.size() && !endsFolder(line[start - 1]))
            --start;
        names << (start == OutputMark.size() ? line : line.mid(start));
    }
    return names;
}

QStringList outputPaths(const QStringList& lines) {
    QStringList paths;
    for (const QString& line : lines) {
        if (!line.startsWith(OutputMark))
            continue;
        QString path = line.mid(OutputMark.size()).trimmed();
        if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
            path = path.mid(1, path.size() - 2);
        paths << path;
    }
    return paths;
}

} // namespace orvane
