// Orvane's tick with nothing to do, its jobs folder the folder that CHAIN_BENCH_FILES/N
// names (N .avi files, no jobs file among them): the busy check and the jobs folder
// listed afresh, as at every tick of an idle Orvane. BM_OrvaneTick with the real process
// list, BM_OrvaneTickFolderPart with one that answers without looking.

#include "BatchEngine.h"
#include "JobLists.h"
#include "Slots.h"

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

void orvaneTick(benchmark::State& state, chain::ProcessWatch& watch) {
    const QString root = qEnvironmentVariable("CHAIN_BENCH_FILES");
    QTemporaryDir dir;
    if (root.isEmpty() || !dir.isValid()) {
        state.SkipWithError("CHAIN_BENCH_FILES names no folder (scripts/bench.sh makes it)");
        return;
    }
    for (const char* sub : {"vd", "moved"})
        QDir(dir.path()).mkpath(QString::fromLatin1(sub));
    orvane::StateTable table(orvane::StateTableSize);
    table.set(orvane::slot::StartFolder, dir.path());
    table.set(orvane::slot::VirtualDubFolder, dir.filePath(QStringLiteral("vd")));
    table.set(orvane::slot::JobsFolder, root + u'/' + QString::number(state.range(0)));
    table.set(orvane::slot::JobsMoveFolder, dir.filePath(QStringLiteral("moved")));
    table.set(orvane::slot::DeleteOption, QStringLiteral("0"));
    table.set(orvane::slot::CloseOption, QStringLiteral("0"));
    orvane::JobLists lists(table);
    NoLauncher launcher;
    orvane::BatchEngine engine(table, lists, watch, launcher);
    engine.start();
    engine.step();
    if (!engine.isIdle()) {
        state.SkipWithError("Orvane found something to do");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.step());
}

void BM_OrvaneTick(benchmark::State& state) {
    chain::SystemProcessWatch watch;
    orvaneTick(state, watch);
}
BENCHMARK(BM_OrvaneTick)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_OrvaneTickFolderPart(benchmark::State& state) {
    NoProcesses watch;
    orvaneTick(state, watch);
}
BENCHMARK(BM_OrvaneTickFolderPart)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
