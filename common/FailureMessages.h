#pragma once

#include "Dialogs.h"

#include <QString>

namespace chain {

// The title of the boxes that tell a file that could not be written or deleted.
inline const QString ErrorTitle = QStringLiteral("エラー");

// Tells the user that a file could not be written, or deleted, naming it and the reason.
void tellWriteFailure(Dialogs& dialogs, const QString& path, const QString& reason);
void tellDeleteFailure(Dialogs& dialogs, const QString& path, const QString& reason);

} // namespace chain
