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

ToolWatch::Busy ToolWatch::demuxerAndVideoToolBusy() {
    const std::optional<QStringList> names = running({DemuxerImage, VirtualDubModImage, VirtualDubImage});
    if (!names)
        return {true, true};
    return {names->contains(DemuxerImage),
            names->contains(VirtualDubModImage) || names->contains(VirtualDubImage)};
}

bool ToolWatch::anyRunning(const QStringList& names) {
    const std::optional<QStringList> found = running(names);
    return !found || !found->isEmpty();
}

std::optional<QStringList> ToolWatch::running(const QStringList& names) {
    std::optional<QStringList> found = m_watch.running(names);
    if (!found) {
        if (!m_failureReported && m_report)
            m_report(QStringLiteral("プロセス一覧を読めないため、ツールが実行中とみなして待ちます"));
        m_failureReported = true;
        return std::nullopt;
    }
    m_failureReported = false;
    return found;
}

} // namespace chain
