#include "Startup.h"

#include "Settings.h"

#include "FileOps.h"
#include "TextFile.h"

#include <utility>

namespace orvane {

QStringList startUp(const QString& startFolder, StateTable& state, JobLists& lists) {
    QStringList notes;
    state.set(slot::StartFolder, startFolder);
    for (const QString& leftover : chain::removeSaveLeftovers(settingsPath(state)))
        notes << QStringLiteral("保存の途中で残った一時ファイル %1 を削除しました").arg(leftover);
    if (const QString note = loadSettings(state); !note.isEmpty())
        notes << note;
    state.set(slot::CurrentJobPath, QString());
    state.set(slot::CurrentJobName, QString());
    state.set(slot::ListEditFlag, QStringLiteral("0"));

    // Each folder with the window's label for it, so that an empty setting can be named too.
    const std::pair<int, QString> folders[] = {
        {slot::VirtualDubFolder, VirtualDubFolderLabel},
        {slot::JobsFolder, JobsFolderLabel},
        {slot::JobsMoveFolder, JobsMoveFolderLabel},
    };
    for (const auto& [folderSlot, label] : folders) {
        const QString folder = state.text(folderSlot);
        QString error;
        // Whether the folder can be listed; asking for its .jobs only examines nothing else.
        if (chain::listFiles(folder, JobsPattern.mid(1), &error))
            continue;
        if (folder.isEmpty())
            notes << QStringLiteral("%1が空欄のため、起動フォルダ %2 を使います").arg(label, startFolder);
        else
            notes << QStringLiteral("%1 %2 を開けないため、起動フォルダ %3 を使います: %4")
                         .arg(label, folder, startFolder, error);
        state.set(folderSlot, startFolder);
    }
    const QString jobList = chain::joinPath(state.text(slot::VirtualDubFolder), VirtualDubJobsName);
    for (const QString& leftover : chain::removeSaveLeftovers(jobList))
        notes << QStringLiteral("保存の途中で残った一時ファイル %1 を削除しました").arg(leftover);
    lists.JobsList();
    lists.showFirst();
    return notes;
}

} // namespace orvane
