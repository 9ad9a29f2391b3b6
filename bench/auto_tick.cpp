// One auto tick of Kestrune's engine over the folder that CHAIN_BENCH_SCAN names: the
// busy check, the listing of the folder, and the size check of its waiting recordings.
// Its .ts files should be empty, so that none ever becomes ready and every tick does the
// same work. With the real process list (BM_AutoTick) and with a list that answers
// without looking (BM_AutoTickFolderPart), which leaves the folder's part alone.

#include "ConversionEngine.h"
#include "Keywords.h"
#include "Slots.h"

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

void autoTick(benchmark::State& state, chain::ProcessWatch& watch) {
    const QString folder = qEnvironmentVariable("CHAIN_BENCH_SCAN");
    QTemporaryDir program;
    if (folder.isEmpty() || !program.isValid()) {
        state.SkipWithError("CHAIN_BENCH_SCAN names no folder (scripts/bench.sh makes it)");
        return;
    }
    kestrune::Settings settings(kestrune::SettingsSize);
    settings.set(kestrune::slot::ProgramFolder, program.path());
    settings.set(kestrune::slot::Mode, QStringLiteral("0"));
    settings.set(kestrune::slot::SourceFolder, folder);
    settings.set(kestrune::slot::AfterFolder, program.filePath(QStringLiteral("done")));
    settings.set(kestrune::slot::OutputFolder, program.filePath(QStringLiteral("out")));
    settings.set(kestrune::slot::CheckInterval, QStringLiteral("1")); // every step is a check
    const kestrune::Keywords keywords;
    NoLauncher launcher;
    kestrune::ConversionEngine engine(settings, keywords, watch, launcher);
    engine.start({}, {}, {});
    engine.step(); // the first sizes seen
    if (engine.table().size() != 10) {
        state.SkipWithError("the folder should hold 10 empty .ts files");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.step());
}

void BM_AutoTick(benchmark::State& state) {
    chain::SystemProcessWatch watch;
    autoTick(state, watch);
}
BENCHMARK(BM_AutoTick)->Unit(benchmark::kMillisecond);

void BM_AutoTickFolderPart(benchmark::State& state) {
    NoProcesses watch;
    autoTick(state, watch);
}
BENCHMARK(BM_AutoTickFolderPart)->Unit(benchmark::kMillisecond);

} // namespace
