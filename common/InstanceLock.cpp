#include "InstanceLock.h"

#include "FileOps.h"
#include "NativeName.h"

namespace chain {

QString InstanceLock::fileName(const QString& program) {
    return program.toLower() + QStringLiteral(".lock");
}

InstanceLock::InstanceLock(const QString& folder, const QString& program) : m_program(program) {
    const QString path = joinPath(folder, fileName(program));
    const platform::OpResult result = platform::FileLock::tryLock(toNative(path), m_lock);
    // Only another holder refuses the start. A lock file that can't be made (a read-only
    // start folder) leaves the program running unguarded, as it ran before there were locks.
    if (result.kind == platform::OpResult::Kind::Busy)
        m_refusal = QStringLiteral("%1 はこのフォルダ (%2) "
                                   "で既に動いています。同じフォルダでは一つしか動かせないため、終了します。")
                        .arg(program, folder);
}

int InstanceLock::refuse(Dialogs& dialogs) const {
    dialogs.message(m_program, m_refusal, Dialogs::Icon::Warning);
    return 2;
}

} // namespace chain
