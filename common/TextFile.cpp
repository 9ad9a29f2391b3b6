#include "TextFile.h"

#include "FileOps.h"
#include "NativeName.h"
#include "SystemReason.h"

#include "platform/Cp932.h"
#include "platform/Files.h"

#include <QRegularExpression>

#include <algorithm>

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

// How bytes read as UTF-8: whether they are valid (no overlong forms, no surrogates,
// nothing beyond U+10FFFF), and the length of their longest character in bytes.
struct Utf8Scan {
    bool valid = true;
    int longest = 0;
};

Utf8Scan scanUtf8(std::string_view bytes) {
    Utf8Scan scan;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead < 0x80   ? 1
                           : lead < 0xC2 ? 0
                           : lead < 0xE0 ? 2
                           : lead < 0xF0 ? 3
                           : lead < 0xF5 ? 4
                                         : 0;
        if (length == 0 || i + static_cast<size_t>(length) > bytes.size())
            return {false, scan.longest};
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return {false, scan.longest};
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return {false, scan.longest};
        scan.longest = std::max(scan.longest, length);
        i += static_cast<size_t>(length);
    }
    return scan;
}

// Whether bytes that are valid UTF-8 are taken as UTF-8 rather than cp932 (readTextFile).
bool takenAsUtf8(const Utf8Scan& scan, bool validCp932) {
    return scan.valid && (scan.longest >= 3 || (scan.longest == 2 && !validCp932));
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

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

} // namespace

QString backupPath(const QString& path) {
    for (int n = 1; n <= 99; ++n) {
        const QString target = path + (n == 1 ? QStringLiteral(".bak") : QStringLiteral(".bak%1").arg(n));
        if (!fileExists(target)) // an older backup is never overwritten
            return target;
    }
    return {};
}

QString keptOnSaveNote(const QString& path, const QString& when) {
    const QString backup = backupPath(path);
    if (backup.isEmpty())
        return QStringLiteral("控えのファイル名 (.bak) がすべて使われています。");
    return QStringLiteral("%1、元のファイルは %2 として残ります。")
        .arg(when, backup.mid(lastSeparator(backup) + 1));
}

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
    const auto fromCp932 = platform::cp932ToUtf8(bytes);
    if (takenAsUtf8(scanUtf8(bytes), fromCp932.has_value())) {
        if (bytes.starts_with(ByteOrderMark))
            bytes.remove_prefix(ByteOrderMark.size());
        return {TextRead::State::Read,
                splitLines(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))),
                {},
                true};
    }
    if (!fromCp932)
        return {
            TextRead::State::Unreadable, {}, QStringLiteral("Shift_JIS (cp932) のテキストではありません")};
    return {TextRead::State::Read, splitLines(QString::fromStdString(*fromCp932)), {}};
}

QString utf8Note(const QString& path, const TextRead& read) {
    if (read.state != TextRead::State::Read || !read.utf8)
        return {};
    const QString name = path.mid(lastSeparator(path) + 1);
    const QString backup = backupPath(path);
    return QStringLiteral("%1 は UTF-8 で保存されているため、UTF-8 として読みました。"
                          "次に保存するときは Shift_JIS (cp932) で書き、元のファイルは %2 として残します。")
        .arg(name, backup.isEmpty() ? QStringLiteral("控え (.bak)") : backup.mid(lastSeparator(backup) + 1));
}

std::optional<QStringList> readTextLines(const QString& path) {
    TextRead read = readTextFile(path);
    if (read.state != TextRead::State::Read)
        return std::nullopt;
    return std::move(read.lines);
}

QString writeTextLines(const QString& path, const QStringList& lines, OldFile old, Reader reader) {
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return problem;
    std::string bytes;
    if (const QString refused = encodeLines(lines, bytes, reader); !refused.isEmpty())
        return refused;
    // Through a symbolic link to its target, the backup and the temporary file beside
    // it, so that the link stays a link.
    const QString target = fromNative(platform::linkTarget(toNative(path)));
    if (old == OldFile::BackUpNotCp932) {
        if (const QString error = backUpIfNotCp932(target); !error.isEmpty())
            return error;
    }
    return reasonText(platform::replaceFileContents(toNative(target), bytes));
}

QString encodeLines(const QStringList& lines, std::string& bytes, Reader reader) {
    bytes.clear();
    // cp932 converts character by character, and a line end is characters of its own: the
    // whole text converted at once gives each line's bytes. Only a text that doesn't
    // convert whole is gone through line by line, for what to refuse.
    QString text;
    bool oneLineEach = true;
    for (const QString& line : lines) {
        oneLineEach = oneLineEach && !line.contains(u'\r') && !line.contains(u'\n');
        text += line + QStringLiteral("\r\n");
    }
    if (std::optional<std::string> whole = oneLineEach ? toCp932(text) : std::nullopt) {
        bytes = std::move(*whole);
    } else {
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
    }
    // Such bytes would be read back as UTF-8, as other text than was saved.
    if (reader == Reader::Chain && takenAsUtf8(scanUtf8(bytes), true))
        return QStringLiteral("この内容は Shift_JIS (cp932) で保存すると UTF-8 のファイルと見分けがつかず、"
                              "読み戻すと別の文字になるため保存できません");
    return {};
}

QString backUpIfNotCp932(const QString& path) {
    const TextRead read = readTextFile(path);
    if (read.state != TextRead::State::Unreadable && !read.utf8)
        return {};
    const QString backup = backupPath(path);
    const QString error = backup.isEmpty() ? QStringLiteral("控えのファイル名 (.bak) がすべて使われています")
                                           : moveNoReplace(path, backup);
    if (!error.isEmpty())
        return QStringLiteral("元のファイルを控えに残せません: %1").arg(error);
    return {};
}

QStringList removeSaveLeftovers(const QString& path) {
    const qsizetype cut = lastSeparator(path);
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
