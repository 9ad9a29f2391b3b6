#include "HeadlessRunner.h"

#include "BatchEngine.h"
#include "Startup.h"

#include "EventPrinter.h"
#include "FileOps.h"
#include "HeadlessLoop.h"

#include <cstdio>

namespace orvane {

int runHeadless(const QStringList& arguments) {
    const chain::HeadlessOptions options = chain::parseHeadlessOptions(arguments);
    if (!options.error.isEmpty()) {
        std::fputs((options.error + u'\n').toUtf8().constData(), stderr);
        return 1;
    }

    const auto print = qOverload<const QString&>(&chain::printEvent);
    StateTable state(StateTableSize);
    JobLists lists(state);
    QObject::connect(&lists, &JobLists::report, print);
    for (const QString& note : startUp(chain::currentFolder(), state, lists))
        chain::printEvent(note);

    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    BatchEngine engine(state, lists, watch, launcher);
    QObject::connect(&engine, &BatchEngine::report, print);

    const int first = engine.start();
    return chain::runHeadlessLoop(options,
                                  {[&] { return engine.step(); }, [&] { return engine.isIdle(); },
                                   [&] { engine.stop(); }, [] { return 0; }},
                                  first);
}

} // namespace orvane
