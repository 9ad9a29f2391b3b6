#include "TextFile.h"

#include "platform/Cp932.h"

#include <QFile>
#include <QSaveFile>

namespace chain {

std::optional<QStringList> readTextLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    const auto utf8 = platform::cp932ToUtf8(std::string_view(bytes.constData(), bytes.size()));
    if (!utf8)
        return std::nullopt;
    const QString text = QString::fromStdString(*utf8);

    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines << current;
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

QString writeTextLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        const auto encoded = platform::utf8ToCp932(line.toStdString());
        if (!encoded)
            return QStringLiteral("保存できない文字が含まれています: %1").arg(line);
        bytes.append(encoded->data(), static_cast<qsizetype>(encoded->size()));
        bytes.append("\r\n");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace chain
