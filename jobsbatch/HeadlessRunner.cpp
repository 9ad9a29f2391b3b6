#include "HeadlessRunner.h"

#include "BatchEngine.h"
#include "Startup.h"

#include "EventLog.h"
#include "EventPrinter.h"
#include "FileOps.h"
#include "HeadlessLoop.h"
#include "PrintingDialogs.h"

namespace orvane {

int runHeadless(const QStringList& arguments) {
    const chain::HeadlessOptions options = chain::parseHeadlessOptions(arguments);
    if (!options.error.isEmpty()) {
        chain::printErrorLine(options.error);
        return chain::ExitFatal;
    }

    const QString startFolder = chain::currentFolder();
    chain::EventLog log(options.noLog ? QString() : chain::joinPath(startFolder, LogFileName));
    chain::printEventsOf(log);
    StateTable state(StateTableSize);
    JobLists lists(state);
    QObject::connect(&lists, &JobLists::report, &log, &chain::EventLog::add);
    for (const QString& note : startUp(startFolder, state, lists))
        log.add(note);

    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    BatchEngine engine(state, lists, watch, launcher);
    QObject::connect(&engine, &BatchEngine::report, &log, &chain::EventLog::add);

    // Refused as "開始" refuses it, with the window's message.
    if (const QString problem = engine.startProblem(); !problem.isEmpty()) {
        log.flush();
        chain::PrintingDialogs().message(StartRefusedTitle, problem);
        return 1;
    }
    const int first = engine.start();
    return chain::runHeadlessLoop(options,
                                  {[&] { return engine.step(); }, [&] { return engine.isIdle(); },
                                   [&] { engine.stop(); }, [] { return 0; },
                                   [&] { return engine.passedOverCount() > 0; }},
                                  first, &log);
}

} // namespace orvane
