#pragma once

#include "platform/Lock.h"

#include <QString>
#include <functional>
#include <optional>

namespace chain {

// One hand-over to an outside tool at a time per tool folder. Two programs that check
// "is a tool running?" in the same moment would both see none and both start one (and
// both write VirtualDub.jobs). So writing the tool's input and starting it happen only
// while holding an exclusive lock on a lock file in the tool's folder, the busy check is
// made again inside the lock, and the lock is kept until the tool is seen in the process
// list (or a few seconds have passed: it may have ended already), so that the other
// program's check inside the lock is sure to see it. Nothing here waits: a program that
// can't have the lock tries again at its next step.
class ToolHandOver {
  public:
    static inline const QString LockFileName = QStringLiteral("tool-handover.lock");
    // How long the lock is kept at most after a start when the tool is never seen.
    static constexpr qint64 HoldMs = 3000;
    using Reporter = std::function<void(const QString&)>;
    using Clock = std::function<qint64()>; // a steady clock, in ms

    explicit ToolHandOver(Reporter report, Clock clock = {});

    // Takes the lock in `toolFolder` for one hand-over. False while another program holds
    // it (told once until the lock is had again): wait for the next step. A lock file that
    // can't be made at all (a read-only or missing folder) is told once and the hand-over
    // goes on unguarded; its own steps then meet the folder's trouble and report it.
    bool begin(const QString& toolFolder);
    // Ends the hand-over: without a start the lock goes now; after one it is kept until
    // `seen` says the tool is in the process list or HoldMs have passed.
    void end(bool started, std::function<bool()> seen);
    // At every step, and when the engine stops: lets a kept lock go once the tool has been
    // seen or its time is over (`force`: now).
    void settle(bool force = false);
    bool holding() const { return m_lock.held(); }

  private:
    Reporter m_report;
    Clock m_clock;
    platform::FileLock m_lock;
    std::function<bool()> m_seen;
    qint64 m_startedAt = 0;
    std::optional<QString> m_told; // what was last told of the lock, so it is told once
};

} // namespace chain
