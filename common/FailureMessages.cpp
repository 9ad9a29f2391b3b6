#include "FailureMessages.h"

namespace chain {

void tellWriteFailure(Dialogs& dialogs, const QString& path, const QString& reason) {
    dialogs.message(ErrorTitle, QStringLiteral("%1 に書き込めませんでした。\n%2").arg(path, reason),
                    Dialogs::Icon::Critical);
}

void tellDeleteFailure(Dialogs& dialogs, const QString& path, const QString& reason) {
    dialogs.message(ErrorTitle, QStringLiteral("%1 を削除できませんでした。\n%2").arg(path, reason),
                    Dialogs::Icon::Critical);
}

} // namespace chain
