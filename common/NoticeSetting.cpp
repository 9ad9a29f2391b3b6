#include "NoticeSetting.h"

#include "FileOps.h"
#include "TextFile.h"

namespace chain {

QString noticeSettingPath(const QString& folder, const QString& program) {
    return joinPath(folder, program + QStringLiteral("-tray.txt"));
}

bool noticesOn(const QString& path) {
    const std::optional<QStringList> lines = readTextLines(path);
    if (!lines)
        return true;
    for (QString line : *lines) {
        line.remove(u' ').remove(u'\t').remove(QChar(0x3000));
        if (line == QStringLiteral("通知=オフ") ||
            line.compare(QStringLiteral("notify=off"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

} // namespace chain
