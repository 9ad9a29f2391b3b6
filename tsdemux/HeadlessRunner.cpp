#include "HeadlessRunner.h"

#include "ConversionEngine.h"
#include "IndividualList.h"
#include "Startup.h"

#include "EventPrinter.h"
#include "FileOps.h"
#include "PrintingDialogs.h"
#include "StepDriver.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>

namespace kestrune {

namespace {
std::atomic<bool> g_stopRequested{false};

extern "C" void requestStop(int) {
    g_stopRequested = true;
}

struct Options {
    bool untilIdle = false;
    double timeScale = 1.0;
    QString error;
};

Options parseOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--headless")
            continue;
        if (arg == u"--until-idle") {
            options.untilIdle = true;
        } else if (arg == u"--time-scale" && i + 1 < arguments.size()) {
            bool ok = false;
            options.timeScale = arguments[++i].toDouble(&ok);
            if (!ok || !(options.timeScale > 0.0) || options.timeScale > 1.0)
                options.error = QStringLiteral("--time-scale は 0 より大きく 1 以下の数で指定して下さい");
        } else {
            options.error = QStringLiteral("不明なオプション: %1").arg(arg);
        }
    }
    return options;
}
} // namespace

int runHeadless(const QStringList& arguments) {
    const Options options = parseOptions(arguments);
    if (!options.error.isEmpty()) {
        std::fputs((options.error + u'\n').toUtf8().constData(), stderr);
        return 1;
    }

    chain::PrintingDialogs dialogs;
    Settings settings(SettingsSize);
    Keywords keywords;
    if (!startUp(chain::currentFolder(), settings, keywords, dialogs))
        return 2;

    // Individual mode works through the source folder's recordings, listed as "取得" lists them.
    IndividualList list;
    const bool autoMode = settings.text(slot::Mode) == u"0";
    if (!autoMode) {
        const auto files = tsFilesOf(settings.text(slot::SourceFolder));
        if (!files || files->isEmpty()) {
            dialogs.message(QStringLiteral("ファイル無し"),
                            QStringLiteral("該当する(.TS)ファイルが、ありません。"));
            return 1;
        }
        list.AddChosenFiles(*files);
    }

    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    ConversionEngine engine(settings, keywords, watch, launcher);
    QObject::connect(&engine, &ConversionEngine::report, &chain::printEvent);

    chain::StepDriver driver([&engine] { return engine.step(); }, options.timeScale);
    QObject::connect(&driver, &chain::StepDriver::stepped, [&](std::optional<int> next) {
        if (!next)
            QCoreApplication::exit(0);
        else if (options.untilIdle && engine.isIdle()) {
            chain::printEvent(QStringLiteral("処理するファイルがなくなりました"));
            engine.stop();
            QCoreApplication::exit(0);
        }
    });

    const std::optional<int> first =
        engine.start(settings.text(slot::SourceFolder), list.names, list.outputNames);
    if (!first)
        return 1;
    driver.arm(*first);

    // SIGINT and SIGTERM stop the engine as "中止" does; a running demuxer keeps running.
    g_stopRequested = false;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer signalPoll;
    QObject::connect(&signalPoll, &QTimer::timeout, [&] {
        if (!g_stopRequested)
            return;
        driver.disarm();
        engine.stop();
        QCoreApplication::exit(0);
    });
    signalPoll.start(100);

    return QCoreApplication::exec();
}

} // namespace kestrune
