#include "Headless.h"

#include "Actions.h"
#include "EventPrinter.h"
#include "PrintingDialogs.h"
#include "ValueTable.h"

namespace tassik {

int runHeadless(const QString& startFolder) {
    QStringList notes;
    const ValueTable values = startUp(startFolder, &notes);
    for (const QString& note : notes)
        chain::printEvent(note);
    chain::PrintingDialogs dialogs;
    const StartResult result =
        startRename(dialogs, values, values.text(slot::BeforeString), values.text(slot::AfterString));
    switch (result.outcome) {
    case StartResult::Outcome::Ignored:
        chain::printEvent(QStringLiteral("変換表が空のため、何もしません"));
        return 1;
    case StartResult::Outcome::Refused:
        return 1;
    case StartResult::Outcome::Finished:
        break;
    }
    for (const RenameResult& rename : result.results) {
        if (rename.error.isEmpty())
            chain::printEvent(
                QStringLiteral("名前を変更しました: %1 → %2").arg(rename.oldName, rename.newName));
        else
            chain::printEvent(QStringLiteral("名前を変更できません: %1 → %2: %3")
                                  .arg(rename.oldName, rename.newName, rename.error));
    }
    return result.anyFailed() ? 1 : 0;
}

} // namespace tassik
