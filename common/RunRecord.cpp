#include "RunRecord.h"

#include "FileOps.h"
#include "NativeName.h"
#include "TextFile.h"

#include <algorithm>

namespace chain {

namespace {
bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
} // namespace

QString RunRecord::encodeField(const QString& value) {
    // A value whose every character is plain stays as it is. cp932 converts character by
    // character, so one conversion of the whole value answers for all of them at once.
    if (std::none_of(value.cbegin(), value.cend(), [](QChar c) { return c == u'%' || c.unicode() < 0x20; }) &&
        toCp932(value))
        return value;
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype length = value[i].isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        const QString character = value.mid(i, length);
        i += length - 1;
        const bool plain = character != u"%" && character.at(0).unicode() >= 0x20 && toCp932(character);
        if (plain) {
            text += character;
            continue;
        }
        for (const char byte : toNative(character))
            text += QStringLiteral("%%1").arg(static_cast<unsigned char>(byte), 2, 16, QChar(u'0')).toUpper();
    }
    return text;
}

QString RunRecord::decodeField(const QString& text) {
    QString value;
    std::string bytes; // a run of %XX bytes, decoded together
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i + 2 < text.size() && text[i] == u'%' && isHex(text[i + 1]) && isHex(text[i + 2])) {
            bytes.push_back(static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
            continue;
        }
        if (!bytes.empty()) {
            value += fromNative(bytes);
            bytes.clear();
        }
        if (i < text.size())
            value += text[i];
    }
    return value;
}

QString RunRecord::momentText(const QDateTime& moment) {
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QDateTime RunRecord::parseMoment(const QString& text) {
    // Date and time are read apart and put together in UTC: read as one, the text would be
    // taken for a local time first, and a moment in the hour a local clock skips when
    // summer time begins would not exist.
    if (text.size() != 24 || text[10] != u'T' || text[23] != u'Z')
        return {};
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11, 12), QStringLiteral("HH:mm:ss.zzz"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

QString RunRecord::save(const Run& run) const {
    QStringList lines{momentText(run.began)};
    for (const QString& field : run.fields)
        lines << encodeField(field);
    return writeTextLines(m_path, lines, OldFile::Replace);
}

RunRecord::Loaded RunRecord::load() const {
    const TextRead read = readTextFile(m_path);
    switch (read.state) {
    case TextRead::State::Missing:
        return {};
    case TextRead::State::Unreadable:
        return {Loaded::State::Damaged, {}, read.reason};
    case TextRead::State::Read:
        break;
    }
    if (read.lines.isEmpty())
        return {Loaded::State::Damaged, {}, QStringLiteral("中身が空です")};
    const QDateTime began = parseMoment(read.lines.first());
    if (!began.isValid())
        return {Loaded::State::Damaged, {}, QStringLiteral("開始時刻が読めません")};
    Run run{began, {}};
    for (qsizetype i = 1; i < read.lines.size(); ++i)
        run.fields << decodeField(read.lines[i]);
    return {Loaded::State::Present, run, {}};
}

QString RunRecord::remove() const {
    if (!fileExists(m_path))
        return {};
    return deleteFile(m_path);
}

QString RunRecord::setAside(QString* error) const {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n <= 99; ++n) {
        QString target = m_path + QStringLiteral(".damaged-") + stamp;
        if (n > 1)
            target += u'-' + QString::number(n);
        if (fileExists(target))
            continue;
        const QString reason = moveNoReplace(m_path, target);
        if (reason.isEmpty())
            return target;
        if (error)
            *error = reason;
        return {};
    }
    if (error)
        *error = QStringLiteral("退避先の名前がすべて使われています");
    return {};
}

} // namespace chain
