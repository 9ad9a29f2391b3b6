#include "EventLog.h"

#include "FileOps.h"
#include "NativeName.h"
#include "SystemReason.h"

#include "platform/Files.h"

#include <QTimer>

namespace chain {

namespace {
QString rotatedName(const QString& path, int n) {
    return path + u'.' + QString::number(n);
}

// The lines of a log file, or none when it can't be read.
QStringList fileLines(const QString& path) {
    std::string bytes;
    if (!platform::readWholeFile(toNative(path), bytes).ok())
        return {};
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}
} // namespace

EventLog::EventLog(const QString& logPath, QObject* parent) : QObject(parent), m_path(logPath) {
    m_offsetSeconds = QDateTime::currentDateTime().offsetFromUtc();
}

EventLog::~EventLog() {
    flush();
}

QString EventLog::fileName(const QString& program) {
    return program + QStringLiteral(".log");
}

QDateTime EventLog::now() {
    // The UTC clock needs no look at the time zone; the offset is read once per flush.
    return QDateTime::currentDateTimeUtc().toOffsetFromUtc(static_cast<int>(m_offsetSeconds));
}

const QByteArray& EventLog::stamp(const QDateTime& when) {
    const qint64 second = when.toSecsSinceEpoch();
    if (second != m_stampSecond) {
        m_stampSecond = second;
        m_stamp = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    }
    return m_stamp;
}

void EventLog::add(const QString& text) {
    const QDateTime when = now();
    if (!m_path.isEmpty()) {
        m_pending += stamp(when);
        m_pending += ' ';
        // One event is one line, whatever the text holds.
        QString line = text;
        line.replace(u'\r', u' ').replace(u'\n', u' ');
        m_pending += line.toUtf8();
        m_pending += "\r\n";
        if (!m_flushScheduled) {
            m_flushScheduled = true;
            QTimer::singleShot(0, this, &EventLog::flush);
        }
    }
    Q_EMIT added(when, text);
}

void EventLog::flush() {
    m_flushScheduled = false;
    if (const qint64 offset = QDateTime::currentDateTime().offsetFromUtc(); offset != m_offsetSeconds) {
        m_offsetSeconds = offset;
        m_stampSecond = -1; // the same second reads differently now
    }
    if (m_path.isEmpty() || m_pending.isEmpty())
        return;
    rotateIfFull(m_pending.size());
    const platform::OpResult result =
        platform::appendToFile(toNative(m_path), std::string_view(m_pending.constData(), m_pending.size()));
    if (!result.ok()) {
        if (!m_failureTold)
            Q_EMIT writeFailed(
                QStringLiteral("記録ファイル %1 に書き込めません: %2").arg(m_path, reasonText(result)));
        m_failureTold = true;
        return;
    }
    m_failureTold = false;
    m_pending.clear();
}

bool EventLog::rotateIfFull(qint64 incoming) {
    const qint64 size = fileSize(m_path).value_or(0);
    if (size == 0 || size + incoming <= MaxFileBytes)
        return false;
    // The old logs below the first free place move up one, from the top, so that every
    // rename goes to a free name; only when no place is free is the oldest dropped. A
    // rotation cut short (a kill) leaves a free place where it stopped, which the next one
    // fills: no old log is skipped over or dropped before its turn.
    int free = 1;
    while (free <= KeptOldFiles && fileExists(rotatedName(m_path, free)))
        ++free;
    if (free > KeptOldFiles) {
        free = KeptOldFiles;
        if (!deleteFile(rotatedName(m_path, free)).isEmpty())
            return false;
    }
    for (int n = free - 1; n >= 1; --n) {
        if (!moveNoReplace(rotatedName(m_path, n), rotatedName(m_path, n + 1)).isEmpty())
            return false;
    }
    return moveNoReplace(m_path, rotatedName(m_path, 1)).isEmpty();
}

QStringList EventLog::history(int count) const {
    if (m_path.isEmpty())
        return {};
    QStringList lines = fileLines(m_path);
    if (lines.size() < count)
        lines = fileLines(rotatedName(m_path, 1)) + lines;
    if (lines.size() > count)
        lines = lines.mid(lines.size() - count);
    return lines;
}

} // namespace chain
