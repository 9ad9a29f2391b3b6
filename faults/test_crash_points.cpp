// Crash points: each program, run headless on real folders with the stand-in tools, is
// killed right before each of its calls that change something on disk, one call per round
// (the crash_points library numbers them and kills the program at the chosen one), then
// started again without the library. After each round every user's file is where its
// program's rules put it, nothing is left under a temporary name or as a run record, and
// the tool ran exactly once for each input. A random kill moment rarely lands between two
// calls a few microseconds apart; this reaches every such gap of an ordinary run.
//
// CRASH_POINTS_ONLY=k runs round k alone and prints what both runs printed.

#include "Bench.h"

#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using faults::Bench;
using faults::Program;

namespace {

struct Finding {
    QString program;
    int k;
    QString call; // the call the program was killed before
    QString what;
};

struct TableRow {
    QString program;
    int points;     // counted in the ordinary run
    int rounds;     // crash points tried: rounds whose run was killed
    int notReached; // rounds up to the count whose run ended before its k-th call
    QList<int> secondStarts;
    int findings;
    qint64 seconds;
};

QList<TableRow> g_table;
QList<Finding> g_findings;

QString describe(const QStringList& names, const QStringList& outcomes) {
    QStringList parts;
    for (qsizetype i = 0; i < outcomes.size(); ++i)
        parts << (i < names.size() ? names[i] : QString::number(i)) + QStringLiteral(": ") + outcomes[i];
    return parts.join(QStringLiteral(", "));
}

// The tool's file in "prog" that the stand-in appends a line to for each input it runs on.
QString runsFile(Program program) {
    switch (program) {
    case Program::Kestrune:
        return QStringLiteral("prog/BonTsDemux.runs");
    case Program::Pellavo:
    case Program::Orvane:
        return QStringLiteral("prog/VirtualDub.runs");
    case Program::Tassik:
        break;
    }
    return {};
}

// What the tool must run on once each: Kestrune's recordings, Pellavo's .m2v, the clips
// Orvane's jobs name. Each by its first 64 bytes in hex, as the stand-in names it in its
// runs file, with its place in the workspace.
QMap<QString, QString> toolInputs(const Bench& bench) {
    QString folder;
    QString pattern;
    switch (bench.program()) {
    case Program::Kestrune:
        folder = QStringLiteral("rec");
        pattern = QStringLiteral("*.ts");
        break;
    case Program::Pellavo:
        folder = QStringLiteral("m2v");
        pattern = QStringLiteral("*.m2v");
        break;
    case Program::Orvane:
        folder = QStringLiteral("clips");
        pattern = QStringLiteral("*.m2v");
        break;
    case Program::Tassik:
        return {};
    }
    QMap<QString, QString> inputs;
    for (const QString& name : QDir(bench.path(folder)).entryList({pattern}, QDir::Files)) {
        const QString relative = folder + u'/' + name;
        inputs.insert(QString::fromLatin1(chain::testing::readFile(bench.path(relative)).left(64).toHex()),
                      relative);
    }
    return inputs;
}

// A fresh workspace with the program's inputs and an empty runs file for its tool.
void prepare(Bench& bench) {
    bench.populate();
    if (!runsFile(bench.program()).isEmpty())
        chain::testing::writeFile(bench.path(runsFile(bench.program())), "");
}

// How often the tool ran on anything but exactly once per input; empty when all is well.
// The inputs of `mayRunAgain` may have run twice: Orvane hands a jobs file over again when
// it was stopped before filing it away (a stop within ten seconds of a start runs that job
// again at the next start, by its rules).
QString toolRunsWrong(const Bench& bench, const QMap<QString, QString>& inputs,
                      const QStringList& mayRunAgain = {}) {
    if (runsFile(bench.program()).isEmpty())
        return {};
    QMap<QString, QStringList> runs; // an input's first bytes → the names the tool got it under
    const QList<QByteArray> lines =
        chain::testing::readFile(bench.path(runsFile(bench.program()))).split('\n');
    for (const QByteArray& line : lines) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            runs[QString::fromLatin1(line.left(tab))] << QString::fromUtf8(line.mid(tab + 1));
    }
    QStringList wrong;
    for (auto it = inputs.begin(); it != inputs.end(); ++it) {
        const int times = int(runs.value(it.key()).size());
        QStringList names = runs.take(it.key()); // the names the tool got it under
        names.removeAll(bench.path(it.value())); // its own name goes without saying
        names.removeDuplicates();
        if (times != 1 && !(times == 2 && mayRunAgain.contains(it.value())))
            wrong << QStringLiteral("the tool ran %1 times on %2").arg(times).arg(it.value()) +
                         (names.isEmpty()
                              ? QString()
                              : QStringLiteral(" (also as ") + names.join(QStringLiteral(", ")) + u')');
    }
    for (auto it = runs.begin(); it != runs.end(); ++it)
        wrong << QStringLiteral("the tool ran on something else: ") + it.value().join(QStringLiteral(", "));
    return wrong.join(QStringLiteral("; "));
}

// The text with the workspace's folder left out of every path in it.
QString inWorkspace(const Bench& bench, QString text) {
    return text.replace(bench.path(QStringLiteral("x")).chopped(1), QString());
}

QStringList lines(const QString& file) {
    return QString::fromUtf8(chain::testing::readFile(file)).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class CrashPoints : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_logs; // the library's call logs, outside the workspaces

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!qEnvironmentVariableIsEmpty("CHAIN_BIN_DIR"), "CHAIN_BIN_DIR is not set");
        QVERIFY2(QFile::exists(QStringLiteral(CRASH_POINTS_LIBRARY)), CRASH_POINTS_LIBRARY);
    }

    void cleanupTestCase() {
        std::printf(
            "\n| Program | Calls counted | Crash points tried | Not reached | Second start needed (k) | "
            "Findings | Time |\n|---|---|---|---|---|---|---|\n");
        for (const TableRow& row : g_table) {
            QStringList second;
            for (int k : row.secondStarts)
                second << QString::number(k);
            std::printf("| %s | %d | %d | %d | %s | %d | %lld s |\n", qPrintable(row.program), row.points,
                        row.rounds, row.notReached,
                        second.isEmpty() ? "none" : qPrintable(second.join(QStringLiteral(", "))),
                        row.findings, row.seconds);
        }
        if (!g_findings.isEmpty()) {
            std::printf("\nFindings:\n");
            for (const Finding& f : g_findings)
                std::printf("- %s, k=%d, before %s: %s\n", qPrintable(f.program), f.k, qPrintable(f.call),
                            qPrintable(f.what));
        }
        std::fflush(stdout);
    }

    void killedBeforeEachCall_data() {
        QTest::addColumn<int>("program");
        QTest::addColumn<QString>("option");
        QTest::addRow("Kestrune") << int(Program::Kestrune) << QStringLiteral("0");
        QTest::addRow("Pellavo, .m2v filed") << int(Program::Pellavo) << QStringLiteral("0");
        QTest::addRow("Pellavo, .m2v deleted") << int(Program::Pellavo) << QStringLiteral("1");
        QTest::addRow("Orvane, jobs moved") << int(Program::Orvane) << QStringLiteral("0");
        QTest::addRow("Orvane, jobs deleted") << int(Program::Orvane) << QStringLiteral("1");
        QTest::addRow("Tassik") << int(Program::Tassik) << QStringLiteral("0");
    }
    void killedBeforeEachCall() {
        QFETCH(int, program);
        QFETCH(QString, option);
        const auto p = static_cast<Program>(program);
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        const QString log = m_logs.filePath(name + QStringLiteral(".calls"));
        const QString library = QStringLiteral("LD_PRELOAD=") + QStringLiteral(CRASH_POINTS_LIBRARY);
        QElapsedTimer clock;
        clock.start();

        // One ordinary run, counted.
        int points = 0;
        {
            Bench bench(p, option);
            prepare(bench);
            const QMap<QString, QString> inputs = toolInputs(bench);
            bench.setEnvironment({library, QStringLiteral("CRASH_LOG=") + log});
            const Bench::Run run = bench.run();
            QCOMPARE(bench.outcomes(), QStringList(bench.names().size(), QStringLiteral("filed")));
            QVERIFY2(bench.leftovers().isEmpty(), qPrintable(bench.leftovers().join(u'\n')));
            QCOMPARE(toolRunsWrong(bench, inputs), QString());
            points = int(lines(log).size());
            std::printf("%s: the calls of an ordinary run\n%s\n", qPrintable(name),
                        qPrintable(inWorkspace(bench, lines(log).join(u'\n'))));
            QVERIFY2(points > 0,
                     qPrintable(QStringLiteral("no call counted; the run printed:\n") + run.output));
        }

        // A run can make a call more or fewer than the counted one (one more engine step while
        // a tool runs, say): the rounds go on past the count for as long as the program is
        // still killed, so that the last calls of a longer run are reached too.
        const bool onlyOne = qEnvironmentVariableIsSet("CRASH_POINTS_ONLY");
        const int first = onlyOne ? qEnvironmentVariableIntValue("CRASH_POINTS_ONLY") : 1;
        TableRow row{name, points, 0, 0, {}, 0, 0};
        bool reached = true;
        for (int k = first; onlyOne ? k == first : k <= points || (reached && k <= 2 * points); ++k) {
            Bench bench(p, option);
            prepare(bench);
            const QMap<QString, QString> inputs = toolInputs(bench);
            QFile::remove(log);
            bench.setEnvironment(
                {library, QStringLiteral("CRASH_LOG=") + log, QStringLiteral("CRASH_AT=%1").arg(k)});
            const Bench::Run killed = bench.run();
            const QStringList calls = lines(log);
            QString call =
                inWorkspace(bench, calls.isEmpty() ? QStringLiteral("?") : calls.last().section(u' ', 1));
            reached = calls.size() >= k; // the library logs the k-th call before the kill
            if (reached) {
                ++row.rounds;
            } else {
                if (k <= points)
                    ++row.notReached;
                call = QStringLiteral("(not reached: the run made %1 calls)").arg(calls.size());
            }
            const QStringList afterKill = bench.outcomes();
            // Orvane's jobs files still in the jobs folder after the kill, handed over or not:
            // their clips may run again.
            QStringList mayRunAgain;
            for (qsizetype i = 0; p == Program::Orvane && i < afterKill.size(); ++i) {
                if (afterKill[i] == u"kept")
                    mayRunAgain << QStringLiteral("clips/") + bench.names()[i].section(u'.', 0, 0) +
                                       QStringLiteral(".m2v");
            }

            bench.setEnvironment({});
            Bench::Run again = bench.run();
            if (bench.outcomes().contains(QStringLiteral("kept"))) { // passed over until the next start
                row.secondStarts << k;
                again.output += bench.run().output;
            }

            QStringList wrong;
            if (!reached && killed.exitCode == -1)
                wrong << QStringLiteral("the run crashed or hung before its k-th call");
            if (again.exitCode == -1)
                wrong << QStringLiteral("the restart crashed or hung");
            for (const QString& outcome : afterKill) {
                if (!QStringList({"filed", "kept", "temporary-name"}).contains(outcome)) {
                    wrong << QStringLiteral("after the kill: ") + describe(bench.names(), afterKill);
                    break;
                }
            }
            const QStringList outcomes = bench.outcomes();
            if (outcomes != QStringList(bench.names().size(), QStringLiteral("filed")))
                wrong << QStringLiteral("after the restart: ") + describe(bench.names(), outcomes);
            wrong << bench.leftovers();
            wrong << toolRunsWrong(bench, inputs, mayRunAgain);
            wrong.removeAll(QString());
            if (!wrong.isEmpty()) {
                ++row.findings;
                g_findings << Finding{name, k, call, inWorkspace(bench, wrong.join(QStringLiteral("; ")))};
            }
            if (!wrong.isEmpty() || onlyOne) {
                std::printf(
                    "%s %s k=%d before %s: %s\n--- killed run:\n%s--- restart (exit status %d):\n%s---\n",
                    wrong.isEmpty() ? "ROUND" : "FINDING", qPrintable(name), k, qPrintable(call),
                    wrong.isEmpty() ? "nothing wrong" : qPrintable(g_findings.last().what),
                    qPrintable(killed.output), again.exitCode, qPrintable(again.output));
                std::fflush(stdout);
            }
        }
        row.seconds = clock.elapsed() / 1000;
        g_table << row;
        QVERIFY2(row.findings == 0,
                 qPrintable(QStringLiteral("%1 of %2 crash points left something wrong (see FINDING lines)")
                                .arg(row.findings)
                                .arg(row.rounds)));
    }
};

QTEST_GUILESS_MAIN(CrashPoints)
#include "test_crash_points.moc"
