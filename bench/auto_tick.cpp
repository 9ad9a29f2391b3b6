// Kestrune's auto tick, one step of its engine in auto mode that checks: the busy check,
// the listing of the source folder (when its stamp says it changed) and the size check
// of every waiting recording. The .ts files of the folders should be empty, so that none
// ever becomes ready and every tick does the same work.
//
// - BM_AutoTick, BM_AutoTickFolderPart: the folder that CHAIN_BENCH_SCAN names, 10,000
//   files of which 10 are waiting recordings; with the real process list, and with one
//   that answers without looking, which leaves the folder's part.
// - BM_AutoTickAllWaiting/N, BM_AutoTickAllWaitingFolderPart/N: the folder
//   CHAIN_BENCH_WAITING/N, N waiting recordings and nothing else.
// - BM_AutoTickWindow/N: the folder part of the same tick in Kestrune's window, its lists
//   kept up to date and any change painted.
// - BM_StatFloor/N, the floor of the folder part: one fstatat for each file of
//   CHAIN_BENCH_WAITING/N in plain C, the folder opened once.

#include "ConversionEngine.h"
#include "Form1.h"
#include "Keywords.h"
#include "Slots.h"

#include "RecordingDialogs.h"
#include "stat_floor.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A process list on which nothing runs, asked nothing of the system.
class NoProcesses : public chain::ProcessWatch {
  public:
    std::optional<QStringList> running(const QStringList&) override { return QStringList(); }
};

// Never asked: no recording of the folder becomes ready.
class NoLauncher : public chain::Launcher {
  public:
    QString start(const QString&, Window) override { return QStringLiteral("not in a benchmark"); }
};

// Auto mode over `folder`, a check at every step.
void autoSettings(kestrune::Settings& settings, const QTemporaryDir& program, const QString& folder) {
    QDir(program.path()).mkpath(QStringLiteral("done"));
    QDir(program.path()).mkpath(QStringLiteral("out"));
    settings.set(kestrune::slot::ProgramFolder, program.path());
    settings.set(kestrune::slot::Mode, QStringLiteral("0"));
    settings.set(kestrune::slot::SourceFolder, folder);
    settings.set(kestrune::slot::AfterFolder, program.filePath(QStringLiteral("done")));
    settings.set(kestrune::slot::OutputFolder, program.filePath(QStringLiteral("out")));
    settings.set(kestrune::slot::CheckInterval, QStringLiteral("1"));
}

void autoTick(benchmark::State& state, chain::ProcessWatch& watch, const QString& folder,
              std::size_t waiting) {
    QTemporaryDir program;
    if (folder.isEmpty() || !program.isValid()) {
        state.SkipWithError("no folder to scan named (scripts/bench.sh makes them)");
        return;
    }
    kestrune::Settings settings(kestrune::SettingsSize);
    autoSettings(settings, program, folder);
    const kestrune::Keywords keywords;
    NoLauncher launcher;
    kestrune::ConversionEngine engine(settings, keywords, watch, launcher);
    engine.start({}, {}, {});
    engine.step(); // the first sizes seen
    if (engine.table().size() != waiting) {
        state.SkipWithError("the folder doesn't hold the empty .ts files it should");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.step());
}

QString scanFolder() {
    return qEnvironmentVariable("CHAIN_BENCH_SCAN");
}

QString waitingFolder(const benchmark::State& state) {
    const QString root = qEnvironmentVariable("CHAIN_BENCH_WAITING");
    return root.isEmpty() ? root : root + u'/' + QString::number(state.range(0));
}

void BM_AutoTick(benchmark::State& state) {
    chain::SystemProcessWatch watch;
    autoTick(state, watch, scanFolder(), 10);
}
BENCHMARK(BM_AutoTick)->Unit(benchmark::kMillisecond);

void BM_AutoTickFolderPart(benchmark::State& state) {
    NoProcesses watch;
    autoTick(state, watch, scanFolder(), 10);
}
BENCHMARK(BM_AutoTickFolderPart)->Unit(benchmark::kMillisecond);

void BM_AutoTickAllWaiting(benchmark::State& state) {
    chain::SystemProcessWatch watch;
    autoTick(state, watch, waitingFolder(state), static_cast<std::size_t>(state.range(0)));
}
BENCHMARK(BM_AutoTickAllWaiting)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AutoTickAllWaitingFolderPart(benchmark::State& state) {
    NoProcesses watch;
    autoTick(state, watch, waitingFolder(state), static_cast<std::size_t>(state.range(0)));
}
BENCHMARK(BM_AutoTickAllWaitingFolderPart)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_AutoTickWindow(benchmark::State& state) {
    const QString folder = waitingFolder(state);
    QTemporaryDir program;
    if (folder.isEmpty() || !program.isValid()) {
        state.SkipWithError("CHAIN_BENCH_WAITING names no folder (scripts/bench.sh makes it)");
        return;
    }
    kestrune::Settings settings(kestrune::SettingsSize);
    autoSettings(settings, program, folder);
    kestrune::Keywords keywords;
    NoProcesses watch;
    NoLauncher launcher;
    chain::RecordingDialogs dialogs;
    kestrune::Form1 window(settings, keywords, watch, launcher, dialogs);
    window.show();
    if (!window.engine().start({}, {}, {})) {
        state.SkipWithError("the engine did not start");
        return;
    }
    window.Timer1_Timer(); // the first sizes seen
    QApplication::processEvents();
    if (window.engine().table().size() != static_cast<std::size_t>(state.range(0))) {
        state.SkipWithError("the folder doesn't hold the empty .ts files it should");
        return;
    }
    for (auto _ : state) {
        window.Timer1_Timer();
        QApplication::processEvents(); // what the tick changed is painted
    }
}
BENCHMARK(BM_AutoTickWindow)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_StatFloor(benchmark::State& state) {
    const QByteArray folder = waitingFolder(state).toLocal8Bit();
    StatFloorNames* names = folder.isEmpty() ? nullptr : statFloorList(folder.constData());
    if (names == nullptr || statFloorCount(names) != static_cast<std::size_t>(state.range(0))) {
        state.SkipWithError("the folder doesn't hold the files it should");
        if (names != nullptr)
            statFloorFree(names);
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(statFloorSizes(folder.constData(), names));
    statFloorFree(names);
}
BENCHMARK(BM_StatFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
