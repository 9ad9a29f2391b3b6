// Tassik's preview after an edit of the table, on the window started from the program
// folder CHAIN_BENCH_TASSIK/N (its settings file names a rename folder of N names): the
// folder listed again, every new name worked out and looked for, the list shown and
// painted.

#include "Form1.h"

#include "RecordingDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {

void BM_Preview(benchmark::State& state) {
    const QString root = qEnvironmentVariable("CHAIN_BENCH_TASSIK");
    const QString programFolder = root + u'/' + QString::number(state.range(0));
    if (root.isEmpty()) {
        state.SkipWithError("CHAIN_BENCH_TASSIK names no folder (scripts/bench.sh makes it)");
        return;
    }
    chain::RecordingDialogs dialogs;
    tassik::Form1 window(dialogs, programFolder);
    window.show();
    QApplication::processEvents();
    auto* before = window.findChild<QLineEdit*>(QStringLiteral("Text2"));
    auto* after = window.findChild<QLineEdit*>(QStringLiteral("Text3"));
    before->setText(QStringLiteral(" "));
    // Each edit gives every name a new replacement character, so every new name is one
    // the system has not been asked about yet, as when the user types.
    static char16_t replacement = u'\u4e00';
    for (auto _ : state) {
        after->setText(QString(QChar(replacement++)));
        window.refreshPreview();
        window.repaint();
    }
}
BENCHMARK(BM_Preview)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
