#include "Headless.h"

#include "Actions.h"
#include "EventLog.h"
#include "EventPrinter.h"
#include "HeadlessLoop.h"
#include "PrintingDialogs.h"
#include "Undo.h"
#include "ValueTable.h"

#include <functional>

namespace tassik {

namespace {

// What every headless run starts with: the settings of `startFolder` loaded, and its events
// printed and (unless `writeLog` is false) written to tassik.log, the notes of the loading
// first. `body` does the run and gives the exit status.
int withSettingsAndLog(const QString& startFolder, bool writeLog,
                       const std::function<int(const ValueTable&, chain::EventLog&)>& body) {
    QStringList notes;
    const ValueTable values = startUp(startFolder, &notes);
    chain::EventLog log(writeLog ? logPath(values) : QString());
    chain::printEventsOf(log);
    for (const QString& note : notes)
        log.add(note);
    return body(values, log);
}

int renameBatch(const ValueTable& values, chain::EventLog& log) {
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

int undoBatch(const ValueTable& values, chain::EventLog& log) {
    const UndoRun run = undoLastBatch(undoPath(values));
    for (const QString& event : run.events)
        log.add(event);
    if (run.state != UndoPlan::State::Ready)
        return chain::ExitNothingToDo;
    return run.anyFailed ? chain::ExitFileFailed : chain::ExitDone;
}

} // namespace

int runHeadless(const QString& startFolder, bool writeLog) {
    return withSettingsAndLog(startFolder, writeLog, renameBatch);
}

int runHeadlessUndo(const QString& startFolder, bool writeLog) {
    return withSettingsAndLog(startFolder, writeLog, undoBatch);
}

} // namespace tassik
