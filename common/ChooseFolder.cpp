#include "ChooseFolder.h"

#include "FileOps.h"

namespace chain {

namespace {
bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/' || c == u':';
#else
    // A ":" is an ordinary character of POSIX folder names, so only "/" separates.
    return c == u'/';
#endif
}
} // namespace

std::optional<QString> folderFromDialogResult(const QString& returned, const QString& remembered) {
    if (returned == remembered)
        return std::nullopt;
    for (qsizetype i = returned.size() - 1; i >= 0; --i) {
        if (!isSeparator(returned[i]))
            continue;
        const QString folder = returned.left(i);
#ifdef Q_OS_WIN
        // A file right under a drive's root: the root itself ("D:\"), not "D:", which
        // names the current folder of that drive.
        if (folder.size() == 2 && folder[1] == u':' && returned[i] != u':')
            return folder + u'\\';
#else
        if (folder.isEmpty())
            return QStringLiteral("/"); // a file right under the root: the root itself
#endif
        return folder;
    }
    return std::nullopt;
}

std::optional<QString> ChooseFolder(Dialogs& dialogs, const QString& title, const QString& currentFolder,
                                    QString& remembered, const QString& filter) {
    remembered = joinPath(currentFolder, title);
    const std::optional<QString> picked = dialogs.pickFolder(title, currentFolder, filter);
    // The picker stands in for a save-as dialog whose dummy file name is left as it
    // was, so its answer is read as that dialog's file name would be.
    const QString returned = picked ? joinPath(*picked, title) : remembered;
    return folderFromDialogResult(returned, remembered);
}

} // namespace chain
