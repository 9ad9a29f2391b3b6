#pragma once

#include "Dialogs.h"
#include "platform/Lock.h"

#include <QString>
#include <utility>

namespace chain {

// One instance of a program per start folder: the program holds an exclusive lock on
// "<program>.lock" in its start folder for its whole life, so that a second one started
// there (a service beside the window, a double click) can't take the same files on the
// same tick. The lock goes with the process: a kill never leaves it behind.
class InstanceLock {
  public:
    // `program` is the program's name as the user knows it ("Pellavo"); the lock file is
    // its name in lower case with ".lock".
    InstanceLock(const QString& folder, const QString& program);

    // Another instance holds the lock: this one must not run.
    bool refused() const { return !m_refusal.isEmpty(); }
    // Why, naming the folder (in Japanese); empty when not refused.
    const QString& refusal() const { return m_refusal; }
    // Tells the user why this instance ends (a box in the window, standard error headless)
    // and returns the exit status of a fatal start-up error.
    int refuse(Dialogs& dialogs) const;

    static QString fileName(const QString& program);

  private:
    QString m_program;
    QString m_refusal;
    platform::FileLock m_lock;
};

// Runs `run` (the program's window or headless run) while this instance holds the lock of
// the start folder `folder`; a refused instance tells the user through the Dialogs type
// `D` and returns 2 instead.
template <typename D, typename Run> int runAlone(const QString& folder, const QString& program, Run&& run) {
    const InstanceLock lock(folder, program);
    if (lock.refused()) {
        D dialogs;
        return lock.refuse(dialogs);
    }
    return std::forward<Run>(run)();
}

} // namespace chain
