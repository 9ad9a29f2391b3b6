#pragma once

#include "Dialogs.h"

namespace chain {

// Tells the user in a box titled "エラー" that a file could not be written, naming the
// file and the reason (a settings file on "記憶", a table on "OK").
void tellWriteFailure(Dialogs& dialogs, const QString& path, const QString& reason);

} // namespace chain
