#include "TextFile.h"

#include "FileOps.h"
#include "NativeName.h"
#include "SystemReason.h"

#include "platform/Cp932.h"
#include "platform/Files.h"

#include <QRegularExpression>

namespace chain {

namespace {
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

} // namespace

std::optional<std::string> toCp932(const QString& text) {
    // QString's own UTF-8 conversion would turn a lone surrogate into "?".
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return std::nullopt;
    }
    return platform::utf8ToCp932(text.toStdString());
}

namespace {
// The first character of the text that cp932 can't hold, for the message.
QString firstUnencodable(const QString& line) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        const qsizetype length = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QString character = line.mid(i, length);
        if (!toCp932(character))
            return character;
        i += length - 1;
    }
    return line;
}

// Keeps an unreadable file under the first free backup name. Empty text on success.
QString backUp(const QString& path) {
    for (int n = 1; n <= 99; ++n) {
        const QString target = path + (n == 1 ? QStringLiteral(".bak") : QStringLiteral(".bak%1").arg(n));
        if (fileExists(target))
            continue; // an older backup: never overwritten
        return moveNoReplace(path, target);
    }
    return QStringLiteral("控えのファイル名 (.bak) がすべて使われています");
}
} // namespace

TextRead readTextFile(const QString& path) {
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return {TextRead::State::Unreadable, {}, problem};
    std::string bytes;
    const platform::OpResult result = platform::readWholeFile(toNative(path), bytes);
    if (result.kind == platform::OpResult::Kind::NotFound)
        return {TextRead::State::Missing, {}, {}};
    if (!result.ok())
        return {TextRead::State::Unreadable, {}, reasonText(result)};
    return decodeText(bytes);
}

TextRead decodeText(std::string_view bytes) {
    const auto utf8 = platform::cp932ToUtf8(bytes);
    if (!utf8)
        return {
            TextRead::State::Unreadable, {}, QStringLiteral("Shift_JIS (cp932) のテキストではありません")};
    return {TextRead::State::Read, splitLines(QString::fromStdString(*utf8)), {}};
}

std::optional<QStringList> readTextLines(const QString& path) {
    TextRead read = readTextFile(path);
    if (read.state != TextRead::State::Read)
        return std::nullopt;
    return std::move(read.lines);
}

QString writeTextLines(const QString& path, const QStringList& lines, OldFile old) {
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return problem;
    std::string bytes;
    if (const QString refused = encodeLines(lines, bytes); !refused.isEmpty())
        return refused;
    // Through a symbolic link to its target, the backup and the temporary file beside
    // it, so that the link stays a link.
    const QString target = fromNative(platform::linkTarget(toNative(path)));
    if (old == OldFile::BackUpUnreadable) {
        if (const QString error = backUpIfUnreadable(target); !error.isEmpty())
            return error;
    }
    return reasonText(platform::replaceFileContents(toNative(target), bytes));
}

QString encodeLines(const QStringList& lines, std::string& bytes) {
    bytes.clear();
    for (const QString& line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            return QStringLiteral("改行を含む値は保存できません: %1")
                .arg(QString(line).replace(u'\r', u' ').replace(u'\n', u' '));
        const auto encoded = toCp932(line);
        if (!encoded)
            return QStringLiteral("「%1」は Shift_JIS (cp932) で保存できない文字です")
                .arg(firstUnencodable(line));
        bytes += *encoded;
        bytes += "\r\n";
    }
    return {};
}

QString backUpIfUnreadable(const QString& path) {
    if (readTextFile(path).state != TextRead::State::Unreadable)
        return {};
    if (const QString error = backUp(path); !error.isEmpty())
        return QStringLiteral("読めない元のファイルを控えに残せません: %1").arg(error);
    return {};
}

QStringList removeSaveLeftovers(const QString& path) {
    const qsizetype cut = path.lastIndexOf(pathSeparator());
    const QString folder = cut < 0 ? QString() : path.left(cut == 0 ? 1 : cut);
    const QString name = path.mid(cut + 1);
    const QRegularExpression leftover(
        QStringLiteral("^") + QRegularExpression::escape(name) +
        QRegularExpression::escape(QString::fromLatin1(
            platform::TemporarySuffix.data(), static_cast<qsizetype>(platform::TemporarySuffix.size()))) +
        QStringLiteral("[A-Za-z0-9]{6}$"));
    QStringList removed;
    for (const QString& file : listFiles(folder).value_or(QStringList{})) {
        if (leftover.match(file).hasMatch() && deleteFile(joinPath(folder, file)).isEmpty())
            removed << file;
    }
    return removed;
}

} // namespace chain
