#include "ToolWatch.h"

namespace chain {

ToolWatch::ToolWatch(ProcessWatch& watch, Reporter report) : m_watch(watch), m_report(std::move(report)) {}

bool ToolWatch::demuxerBusy() {
    return anyRunning({DemuxerImage});
}

bool ToolWatch::videoToolBusy() {
    return anyRunning({VirtualDubModImage, VirtualDubImage});
}

bool ToolWatch::anyToolBusy() {
    return anyRunning({DemuxerImage, VirtualDubModImage, VirtualDubImage});
}

bool ToolWatch::anyRunning(const QStringList& names) {
    const std::optional<QStringList> running = m_watch.running(names);
    if (!running) {
        if (!m_failureReported && m_report)
            m_report(QStringLiteral("プロセス一覧を読めないため、ツールが実行中とみなして待ちます"));
        m_failureReported = true;
        return true;
    }
    m_failureReported = false;
    return !running->isEmpty();
}

} // namespace chain
