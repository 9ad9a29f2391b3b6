#include "Headless.h"

#include "Actions.h"
#include "Undo.h"

#include "EventLog.h"
#include "EventPrinter.h"
#include "HeadlessLoop.h"

namespace tassik {

int runHeadlessUndo(const QString& startFolder, bool writeLog) {
    QStringList notes;
    const ValueTable values = startUp(startFolder, &notes);
    chain::EventLog log(writeLog ? logPath(values) : QString());
    chain::printEventsOf(log);
    for (const QString& note : notes)
        log.add(note);
    const UndoRun run = undoLastBatch(undoPath(values));
    for (const QString& event : run.events)
        log.add(event);
    if (run.state != UndoPlan::State::Ready)
        return chain::ExitNothingToDo;
    return run.anyFailed ? chain::ExitFileFailed : chain::ExitDone;
}

} // namespace tassik
