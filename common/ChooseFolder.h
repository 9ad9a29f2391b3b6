#pragma once

#include "Dialogs.h"

#include <QString>
#include <optional>

namespace chain {

// The folder a save-as style dialog result names: nothing when the returned file name
// equals the remembered initial one (a cancel or an unchanged confirmation), else the
// text before its last "\" , "/" or ":" (the separator dropped); nothing when it holds
// none of them.
std::optional<QString> folderFromDialogResult(const QString& returned, const QString& remembered);

// The folder choice all four programs share. The dialog opens at `currentFolder`; its
// initial file name, `currentFolder` + separator + `title`, is stored in `remembered`
// (the program's slot for it); a `filter` ("description|*.ext") shows those files too.
// Returns the chosen folder, or nothing for no change.
std::optional<QString> ChooseFolder(Dialogs& dialogs, const QString& title, const QString& currentFolder,
                                    QString& remembered, const QString& filter = {});

} // namespace chain
