#include "Startup.h"

#include "Settings.h"

#include "FileOps.h"
#include "TextFile.h"

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

    for (const int folderSlot : {slot::VirtualDubFolder, slot::JobsFolder, slot::JobsMoveFolder}) {
        const QString folder = state.text(folderSlot);
        QString error;
        // Whether the folder can be listed; asking for its .jobs only examines nothing else.
        if (chain::listFiles(folder, JobsPattern.mid(1), &error))
            continue;
        notes << QStringLiteral("フォルダ %1 を開けないため、起動フォルダ %2 を使います: %3")
                     .arg(folder, startFolder, error);
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
