#include "WriteFailure.h"

namespace chain {

void tellWriteFailure(Dialogs& dialogs, const QString& path, const QString& reason) {
    dialogs.message(QStringLiteral("エラー"),
                    QStringLiteral("%1 に書き込めませんでした。\n%2").arg(path, reason),
                    Dialogs::Icon::Critical);
}

} // namespace chain
