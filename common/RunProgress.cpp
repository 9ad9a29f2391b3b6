#include "RunProgress.h"

#include "FileOps.h"

#include <QElapsedTimer>

namespace chain {

qint64 steadyMs() {
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

RunProgress::RunProgress(SteadyClock clock) : m_clock(clock ? std::move(clock) : SteadyClock(steadyMs)) {}

void RunProgress::begin(const QStringList& outputs) {
    m_startedAt = m_clock();
    m_outputs = outputs;
}

QString RunProgress::end() {
    if (!running())
        return {};
    const qint64 took = m_clock() - m_startedAt;
    m_startedAt = -1;
    m_outputs.clear();
    return QStringLiteral(" (所要 %1)").arg(duration(took));
}

QString RunProgress::text() const {
    if (!running())
        return {};
    QString text = QStringLiteral("経過 %1").arg(duration(m_clock() - m_startedAt));
    qint64 bytes = 0;
    bool seen = false;
    for (const QString& output : m_outputs) {
        if (const std::optional<qint64> grown = fileSize(output)) {
            bytes += *grown;
            seen = true;
        }
    }
    if (seen)
        text += QStringLiteral("　出力 %1").arg(size(bytes));
    return text;
}

QString RunProgress::duration(qint64 ms) {
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000;
    const QString secondsText = QStringLiteral("%1").arg(seconds % 60, 2, 10, QChar(u'0'));
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(secondsText);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(secondsText);
}

QString RunProgress::size(qint64 bytes) {
    constexpr double Kilo = 1024.0;
    if (bytes < Kilo * Kilo)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    if (bytes < Kilo * Kilo * Kilo)
        return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (Kilo * Kilo), 0, 'f', 1);
    return QStringLiteral("%1 GB").arg(static_cast<double>(bytes) / (Kilo * Kilo * Kilo), 0, 'f', 2);
}

} // namespace chain
