#include "Headless.h"

#include "Actions.h"
#include "EventLog.h"
#include "EventPrinter.h"
#include "HeadlessLoop.h"
#include "PrintingDialogs.h"
#include "Undo.h"
#include "ValueTable.h"

namespace tassik {

int runHeadless(const QString& startFolder, bool writeLog) {
    QStringList notes;
    const ValueTable values = startUp(startFolder, &notes);
    chain::EventLog log(writeLog ? logPath(values) : QString());
    chain::printEventsOf(log);
    for (const QString& note : notes)
        log.add(note);
    chain::PrintingDialogs dialogs;
    const StartResult result =
        startRename(dialogs, values, values.text(slot::BeforeString), values.text(slot::AfterString));
    switch (result.outcome) {
    case StartResult::Outcome::Ignored:
        log.add(QStringLiteral("変換表が空のため、何もしません"));
        return chain::ExitNothingToDo;
    case StartResult::Outcome::Refused:
        return chain::ExitNothingToDo;
    case StartResult::Outcome::Finished:
        break;
    }
    for (const QString& event : renameEvents(result.results))
        log.add(event);
    if (const QString note = keepUndoJournal(values, result.results); !note.isEmpty())
        log.add(note);
    return result.anyFailed() ? chain::ExitFileFailed : chain::ExitDone;
}

} // namespace tassik
