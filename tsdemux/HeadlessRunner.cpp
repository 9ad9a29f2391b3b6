#include "HeadlessRunner.h"

#include "ConversionEngine.h"
#include "IndividualList.h"
#include "Startup.h"

#include "EventLog.h"
#include "EventPrinter.h"
#include "FileOps.h"
#include "HeadlessLoop.h"
#include "PrintingDialogs.h"

namespace kestrune {

int runHeadless(const QStringList& arguments) {
    const chain::HeadlessOptions options = chain::parseHeadlessOptions(arguments);
    if (!options.error.isEmpty()) {
        chain::printErrorLine(options.error);
        return chain::ExitFatal;
    }

    chain::PrintingDialogs dialogs;
    Settings settings(SettingsSize);
    Keywords keywords;
    QStringList notes;
    if (!startUp(chain::currentFolder(), settings, keywords, dialogs, &notes))
        return 2;
    chain::EventLog log(options.noLog
                            ? QString()
                            : chain::joinPath(settings.text(slot::ProgramFolder),
                                              chain::EventLog::fileName(QStringLiteral("kestrune"))));
    chain::printEventsOf(log);
    for (const QString& note : notes)
        log.add(note);

    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    ConversionEngine engine(settings, keywords, watch, launcher);
    QObject::connect(&engine, &ConversionEngine::report, &log, &chain::EventLog::add);

    // An empty or unusable folder setting is refused before anything is listed.
    if (const QString problem = engine.startProblem(settings.text(slot::SourceFolder)); !problem.isEmpty()) {
        dialogs.message(QStringLiteral("入力エラー"), problem);
        return 1;
    }

    // Individual mode works through the source folder's recordings, listed as "取得" lists them.
    IndividualList list;
    const bool autoMode = settings.text(slot::Mode) == u"0";
    if (!autoMode) {
        const auto files = tsFilesOf(settings.text(slot::SourceFolder));
        // A run an earlier Kestrune left unfinished is finished off even with nothing to list.
        if ((!files || files->isEmpty()) && !engine.hasRecordedRun()) {
            dialogs.message(QStringLiteral("ファイル無し"),
                            QStringLiteral("該当する(.TS)ファイルが、ありません。"));
            return 1;
        }
        if (files)
            list.AddChosenFiles(*files);
    }

    const std::optional<int> first =
        engine.start(settings.text(slot::SourceFolder), list.names, list.outputNames);
    if (!first)
        return 1;
    return chain::runHeadlessLoop(options,
                                  {[&] { return engine.step(); }, [&] { return engine.isIdle(); },
                                   [&] { engine.stop(); }, [] { return 0; },
                                   [&] { return engine.passedOverCount() > 0; }},
                                  *first, &log);
}

} // namespace kestrune
