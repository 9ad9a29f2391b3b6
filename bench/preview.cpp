// Tassik's preview after an edit of the table, on the window started from the program
// folder that CHAIN_BENCH_TASSIK names (its settings file names the rename folder): the
// folder listed again, every new name worked out, the list shown and painted.

#include "Form1.h"

#include "RecordingDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {

void BM_Preview(benchmark::State& state) {
    const QString programFolder = qEnvironmentVariable("CHAIN_BENCH_TASSIK");
    if (programFolder.isEmpty()) {
        state.SkipWithError("CHAIN_BENCH_TASSIK names no folder (scripts/bench.sh makes it)");
        return;
    }
    chain::RecordingDialogs dialogs;
    tassik::Form1 window(dialogs, programFolder);
    window.show();
    QApplication::processEvents();
    auto* before = window.findChild<QLineEdit*>(QStringLiteral("Text2"));
    auto* after = window.findChild<QLineEdit*>(QStringLiteral("Text3"));
    const QString tables[2][2] = {{QStringLiteral(" "), QStringLiteral("_")},
                                  {QStringLiteral(" 番"), QStringLiteral("_バ")}};
    int edit = 0;
    for (auto _ : state) {
        const auto& table = tables[edit++ % 2];
        before->setText(table[0]);
        after->setText(table[1]);
        window.refreshPreview();
        window.repaint();
    }
}
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond);

} // namespace
