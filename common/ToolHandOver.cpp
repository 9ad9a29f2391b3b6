#include "ToolHandOver.h"

#include "FileOps.h"
#include "NativeName.h"
#include "RunProgress.h"
#include "SystemReason.h"

namespace chain {

ToolHandOver::ToolHandOver(Reporter report, Clock clock)
    : m_report(std::move(report)), m_clock(clock ? std::move(clock) : Clock(steadyMs)) {}

bool ToolHandOver::begin(const QString& toolFolder) {
    settle(true);
    const QString path = joinPath(toolFolder, LockFileName);
    const platform::OpResult result = platform::FileLock::tryLock(toNative(path), m_lock);
    QString told;
    if (result.kind == platform::OpResult::Kind::Busy)
        told = QStringLiteral("ほかのプログラムがツールを起動しているところのため、次の確認まで待ちます (%1)")
                   .arg(path);
    else if (!result.ok())
        told = QStringLiteral("ツールの起動を順番にするためのロックファイル %1 を作れません: %2")
                   .arg(path, reasonText(result));
    if (!told.isEmpty() && told != m_told && m_report)
        m_report(told);
    m_told = told.isEmpty() ? std::nullopt : std::optional<QString>(told);
    return result.kind != platform::OpResult::Kind::Busy;
}

void ToolHandOver::end(bool started, std::function<bool()> seen) {
    if (!m_lock.held())
        return;
    if (!started || !seen || seen()) {
        m_lock.release();
        return;
    }
    m_seen = std::move(seen);
    m_startedAt = m_clock();
}

void ToolHandOver::settle(bool force) {
    if (!m_lock.held())
        return;
    if (force || m_clock() - m_startedAt >= HoldMs || (m_seen && m_seen())) {
        m_lock.release();
        m_seen = nullptr;
    }
}

} // namespace chain
