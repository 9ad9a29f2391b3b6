// Pellavo's tick with nothing to take, over the folder that CHAIN_BENCH_FILES/N names
// (N finished .avi files) as its avi folder, its m2v folder empty: both folders listed
// afresh, as at every tick of an idle Pellavo, and the busy check when they changed (here
// they don't). BM_PellavoTick with the real process list, BM_PellavoTickFolderPart with one
// that answers without looking.

#include "JobEngine.h"
#include "PatternTable.h"
#include "RandomSource.h"
#include "Slots.h"

#include "RecordingDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class NoProcesses : public chain::ProcessWatch {
  public:
    std::optional<QStringList> running(const QStringList&) override { return QStringList(); }
};

class NoLauncher : public chain::Launcher {
  public:
    QString start(const QString&, Window) override { return QStringLiteral("not in a benchmark"); }
};

void pellavoTick(benchmark::State& state, chain::ProcessWatch& watch) {
    const QString root = qEnvironmentVariable("CHAIN_BENCH_FILES");
    QTemporaryDir dir;
    if (root.isEmpty() || !dir.isValid()) {
        state.SkipWithError("CHAIN_BENCH_FILES names no folder (scripts/bench.sh makes it)");
        return;
    }
    for (const char* sub : {"start", "m2v", "done", "vd"})
        QDir(dir.path()).mkpath(QString::fromLatin1(sub));
    pellavo::SettingTable settings(pellavo::SettingTableSize);
    settings.set(pellavo::slot::StartFolder, dir.filePath(QStringLiteral("start")));
    settings.set(pellavo::slot::M2vFolder, dir.filePath(QStringLiteral("m2v")));
    settings.set(pellavo::slot::AviFolder, root + u'/' + QString::number(state.range(0)));
    settings.set(pellavo::slot::StorageFolder, dir.filePath(QStringLiteral("done")));
    settings.set(pellavo::slot::VirtualDubFolder, dir.filePath(QStringLiteral("vd")));
    settings.set(pellavo::slot::Interval, QStringLiteral("30"));
    const pellavo::PatternTable patterns = pellavo::defaultPatterns();
    NoLauncher launcher;
    pellavo::SystemRandom random;
    chain::RecordingDialogs dialogs;
    pellavo::JobEngine engine(settings, patterns, watch, launcher, random, dialogs);
    engine.step();
    if (engine.List2().size() != state.range(0)) {
        state.SkipWithError("the avi folder doesn't hold the .avi files it should");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.step());
}

void BM_PellavoTick(benchmark::State& state) {
    chain::SystemProcessWatch watch;
    pellavoTick(state, watch);
}
BENCHMARK(BM_PellavoTick)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PellavoTickFolderPart(benchmark::State& state) {
    NoProcesses watch;
    pellavoTick(state, watch);
}
BENCHMARK(BM_PellavoTickFolderPart)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
