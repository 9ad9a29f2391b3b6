#include "HeadlessRunner.h"

#include "JobEngine.h"
#include "Startup.h"
#include "Texts.h"

#include "EventLog.h"
#include "EventPrinter.h"
#include "FileOps.h"
#include "HeadlessLoop.h"
#include "PrintingDialogs.h"

namespace pellavo {

int runHeadless(const QStringList& arguments) {
    const chain::HeadlessOptions options = chain::parseHeadlessOptions(arguments);
    if (!options.error.isEmpty()) {
        chain::printErrorLine(options.error);
        return chain::ExitFatal;
    }

    chain::PrintingDialogs dialogs;
    SettingTable settings(SettingTableSize);
    PatternTable patterns;
    const QString startFolder = chain::currentFolder();
    chain::EventLog log(
        options.noLog ? QString() : chain::joinPath(startFolder, chain::EventLog::fileName(text::LogName)));
    chain::printEventsOf(log);
    for (const QString& note : startUp(startFolder, settings, patterns, dialogs))
        log.add(note);

    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    SystemRandom random;
    JobEngine engine(settings, patterns, watch, launcher, random, dialogs);
    QObject::connect(&engine, &JobEngine::report, &log, &chain::EventLog::add);
    engine.M2vList();
    engine.AviList();
    // The settings can't change while a headless run goes on: a storage folder that is the
    // m2v folder refuses the run at once, as "開始" refuses it in the window. A recorded run
    // stays recorded for a start with other settings.
    if (engine.storageRefused()) {
        log.flush();
        return chain::ExitNothingToDo;
    }
    engine.resumeRecordedRun();
    return chain::runHeadlessLoop(options,
                                  {[&] { return engine.step(); }, [&] { return engine.isIdle(); },
                                   [&] { engine.stop(); }, [] { return 1; },
                                   [&] { return engine.failedCount() > 0; }},
                                  JobEngine::FirstIntervalMs, &log);
}

} // namespace pellavo
