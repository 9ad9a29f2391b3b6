#include "ConversionEngine.h"
#include "FakeTools.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;
using chain::testing::FakeLauncher;
using chain::testing::FakeProcessWatch;
using chain::testing::readFile;
using chain::testing::writeFile;

namespace {
const QString Demuxer = QStringLiteral("BonTsDemux.exe");

QString argAfter(const QString& commandLine, const QString& flag) {
    const qsizetype at = commandLine.indexOf(flag + QStringLiteral(" \""));
    if (at < 0)
        return {};
    const qsizetype start = at + flag.size() + 2;
    return commandLine.mid(start, commandLine.indexOf(u'"', start) - start);
}
} // namespace

// A workspace with the three folders, settings at their defaults, and fake tools. The
// fake demuxer "runs" while the test says so and writes its outputs when started.
struct Bench {
    QTemporaryDir dir;
    Settings settings{SettingsSize};
    Keywords keywords;
    FakeProcessWatch watch;
    FakeLauncher launcher;
    ConversionEngine engine{settings, keywords, watch, launcher};
    QStringList reports;
    bool writeOutputs = true;

    explicit Bench(const QString& mode) {
        QDir root(dir.path());
        for (const char* sub : {"rec", "done", "out"})
            root.mkdir(QString::fromLatin1(sub));
        settings.set(slot::ProgramFolder, dir.path());
        applyDefaults(settings);
        settings.set(slot::Mode, mode);
        settings.set(slot::SourceFolder, path("rec"));
        settings.set(slot::AfterFolder, path("done"));
        settings.set(slot::OutputFolder, path("out"));
        QObject::connect(&engine, &ConversionEngine::report, [this](const QString& t) { reports << t; });
        launcher.onStart = [this](const QString& line) {
            watch.setRunning(Demuxer, true);
            if (writeOutputs) {
                writeFile(argAfter(line, QStringLiteral("-o")) + QStringLiteral(".m2v"), "video");
                writeFile(argAfter(line, QStringLiteral("-o")) + QStringLiteral(".wav"), "audio");
            }
        };
    }
    QString path(const QString& relative) const { return dir.filePath(relative); }
    void demuxerEnds() { watch.setRunning(Demuxer, false); }
    std::optional<int> startIndividual(const QStringList& names) {
        QStringList outputs;
        for (const QString& name : names)
            outputs << name.left(name.size() - 3);
        return engine.start(path("rec"), names, outputs);
    }
    // Steps until a check has been made (auto mode counts down first); returns the
    // number of steps and the interval after the last.
    std::pair<int, std::optional<int>> stepToCheck() {
        const int asked = watch.asked.value(Demuxer);
        int steps = 0;
        std::optional<int> next;
        while (watch.asked.value(Demuxer) == asked && steps < 100) {
            next = engine.step();
            ++steps;
        }
        return {steps, next};
    }
};

class EngineTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void autoModeCountsDownInStepsOfAtMostSixty_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QList<int>>("steps"); // intervals armed, seconds, ending at a check
        QTest::newRow("120") << "120" << QList<int>{60, 60};
        QTest::newRow("90") << "90" << QList<int>{60, 30};
        QTest::newRow("300") << "300" << QList<int>{60, 60, 60, 60, 60};
        QTest::newRow("45") << "45" << QList<int>{45};
        QTest::newRow("hand-edited 0 still waits") << "0" << QList<int>{1};
    }
    void autoModeCountsDownInStepsOfAtMostSixty() {
        QFETCH(QString, interval);
        QFETCH(QList<int>, steps);
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, interval);
        std::optional<int> next = bench.engine.start({}, {}, {});
        for (int round = 0; round < 2; ++round) {
            QList<int> armed{*next / 1000};
            const int asked = bench.watch.asked.value(Demuxer);
            while (armed.size() < 10) {
                next = bench.engine.step();
                QVERIFY(next);
                if (bench.watch.asked.value(Demuxer) != asked)
                    break; // that step was a check
                armed << *next / 1000;
            }
            QCOMPARE(armed, steps);
        }
    }

    void autoModeTakesFileOnlyOnceItsSizeHasSettled() {
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        writeFile(bench.path("rec/grow.ts"), "1");
        writeFile(bench.path("rec/empty.ts"), "");
        bench.engine.start({}, {}, {});
        QCOMPARE(bench.engine.table().size(), 2u);

        bench.stepToCheck(); // first sizes seen
        writeFile(bench.path("rec/grow.ts"), "12");
        bench.stepToCheck(); // grown: still waiting
        QVERIFY(bench.launcher.started.isEmpty());
        bench.stepToCheck(); // same size twice: ready and launched
        QCOMPARE(bench.launcher.started.size(), 1);
        QCOMPARE(argAfter(bench.launcher.started[0], QStringLiteral("-i")), bench.path("rec/grow.ts"));
        QCOMPARE(bench.launcher.windows[0], chain::Launcher::Window::Normal);

        bench.demuxerEnds();
        for (int i = 0; i < 5; ++i)
            bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1); // the zero-byte file never became ready
        QVERIFY(QFile::exists(bench.path("done/grow.ts")));
        QVERIFY(QFile::exists(bench.path("rec/empty.ts")));
        QCOMPARE(bench.engine.table().size(), 1u);
        QCOMPARE(bench.engine.table()[0].state, int(FileRow::Waiting));
    }

    void autoModeWaitsForVideoToolsAndFiltersByKeyword() {
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        bench.settings.set(slot::KeywordFilter, QStringLiteral("1"));
        writeFile(bench.path("rec/番組HD.ts"), "x");
        writeFile(bench.path("rec/番組hd.ts"), "x");
        bench.engine.start({}, {}, {});
        QVERIFY(bench.engine.table().empty()); // filter on, no keywords: nothing taken

        bench.keywords.setEntries({QStringLiteral("HD")});
        bench.watch.setRunning(QStringLiteral("VirtualDub.exe"), true);
        bench.stepToCheck();
        bench.stepToCheck();
        bench.stepToCheck();
        QVERIFY(bench.engine.table().empty()); // a busy video tool holds the scan back
        QCOMPARE(bench.watch.asked.value(QStringLiteral("VirtualDubMod.exe")), 3);

        bench.watch.setRunning(QStringLiteral("VirtualDub.exe"), false);
        bench.stepToCheck();
        bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1);
        QCOMPARE(argAfter(bench.launcher.started[0], QStringLiteral("-i")), bench.path("rec/番組HD.ts"));
    }

    void individualModeConvertsTheListThenStopsByItself() {
        Bench bench(QStringLiteral("1"));
        const QStringList names{"b.ts", "a.ts", "番組!.ts"};
        for (const QString& name : names)
            writeFile(bench.path(QStringLiteral("rec/") + name), "data");
        QSignalSpy running(&bench.engine, &ConversionEngine::runningChanged);

        QVERIFY(!bench.engine.start(bench.path("rec"), {}, {})); // empty list: nothing happens
        QCOMPARE(running.size(), 0);
        QCOMPARE(bench.startIndividual(names).value_or(0), 5000);
        QCOMPARE(running.size(), 1);

        QCOMPARE(bench.engine.step().value_or(0), 5000);
        QCOMPARE(bench.launcher.started.size(), 1);
        QCOMPARE(bench.settings.text(slot::Pending), QStringLiteral("1"));
        bench.engine.step(); // still running
        QCOMPARE(bench.launcher.started.size(), 1);
        bench.demuxerEnds();
        bench.engine.step(); // finishes b, starts a
        bench.demuxerEnds();
        bench.engine.step(); // finishes a, renames and starts the third
        QCOMPARE(bench.launcher.started.size(), 3);
        QCOMPARE(argAfter(bench.launcher.started[2], QStringLiteral("-i")), bench.path("rec/番組！.ts"));
        QCOMPARE(argAfter(bench.launcher.started[2], QStringLiteral("-o")), bench.path("out/番組！"));
        QVERIFY(bench.engine.isRunning());
        bench.demuxerEnds();
        QVERIFY(!bench.engine.step());
        QVERIFY(!bench.engine.isRunning());
        QCOMPARE(running.size(), 2);
        QCOMPARE(QDir(bench.path("done")).entryList(QDir::Files), (QStringList{"a.ts", "b.ts", "番組！.ts"}));
        QVERIFY(QDir(bench.path("rec")).entryList(QDir::Files).isEmpty());
    }

    void characterConversionSwitchedOffKeepsTheName() {
        Bench bench(QStringLiteral("1"));
        bench.settings.set(slot::CharConversion, QStringLiteral("0"));
        writeFile(bench.path("rec/a#b.ts"), "data");
        bench.startIndividual({"a#b.ts"});
        bench.engine.step();
        QCOMPARE(argAfter(bench.launcher.started.value(0), QStringLiteral("-i")), bench.path("rec/a#b.ts"));
    }

    void stopDuringConversionLeavesDemuxerAndRecordingAlone() {
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        writeFile(bench.path("rec/a.ts"), "data");
        bench.engine.start({}, {}, {});
        bench.stepToCheck();
        bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1);
        bench.engine.stop();
        QVERIFY(!bench.engine.step());

        QVERIFY(bench.engine.start({}, {}, {})); // demuxer still running
        QCOMPARE(bench.engine.table().size(), 1u);
        QCOMPARE(bench.engine.table()[0].state, int(FileRow::Waiting));
        bench.demuxerEnds();
        bench.stepToCheck(); // the interrupted run ends: nothing is moved
        QVERIFY(QFile::exists(bench.path("rec/a.ts")));
        QCOMPARE(bench.settings.text(slot::Pending), QStringLiteral("0"));
        bench.stepToCheck(); // taken up again and converted anew
        QCOMPARE(bench.launcher.started.size(), 2);
    }

    // Each failure leaves the recording where it was, unchanged, reports it, and the
    // engine carries on with the next file.
    void failuresLeaveTheRecordingAlone_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("renamed name taken") << "rename";
        QTest::newRow("no output written") << "output";
        QTest::newRow("name taken in after folder") << "move";
        QTest::newRow("demuxer can't start") << "launch";
        QTest::newRow("quote in output folder") << "quote";
        QTest::newRow("converted name unusable") << "unusable";
    }
    void failuresLeaveTheRecordingAlone() {
        QFETCH(QString, failure);
        Bench bench(QStringLiteral("1"));
        QString name = QStringLiteral("x!.ts");
        if (failure == u"rename")
            writeFile(bench.path("rec/x！.ts"), "other");
        if (failure == u"output")
            bench.writeOutputs = false;
        if (failure == u"move") {
            name = QStringLiteral("x.ts");
            writeFile(bench.path("done/x.ts"), "older");
        }
        if (failure == u"launch")
            bench.launcher.failWith = QStringLiteral("no such program");
        if (failure == u"quote")
            bench.settings.set(slot::OutputFolder, bench.path("out\"q"));
        if (failure == u"unusable") {
            bench.settings.set(slot::BeforeString, QStringLiteral("!"));
            bench.settings.set(slot::AfterString, QStringLiteral("/"));
        }
        writeFile(bench.path(QStringLiteral("rec/") + name), "recording");
        writeFile(bench.path("rec/next.ts"), "recording");
        bench.startIndividual({name, "next.ts"});

        for (int i = 0; i < 6 && bench.engine.isRunning(); ++i) {
            bench.engine.step();
            bench.demuxerEnds();
        }
        QVERIFY(!bench.engine.isRunning());
        // The demuxer ran on the converted name, so that is the name the recording keeps.
        const QString kept = failure == u"output" ? QStringLiteral("x！.ts") : name;
        QCOMPARE(readFile(bench.path(QStringLiteral("rec/") + kept)), QByteArray("recording"));
        QVERIFY(!bench.reports.filter(name).isEmpty() || !bench.reports.filter(bench.path("rec")).isEmpty());
        if (failure == u"rename")
            QCOMPARE(readFile(bench.path("rec/x！.ts")), QByteArray("other"));
        if (failure == u"move")
            QCOMPARE(readFile(bench.path("done/x.ts")), QByteArray("older"));
        // The next recording is converted after the failed one, unless its own run
        // meets the same failure.
        const bool nextFailsToo = failure == u"launch" || failure == u"quote" || failure == u"output";
        QCOMPARE(readFile(bench.path(nextFailsToo ? "rec/next.ts" : "done/next.ts")),
                 QByteArray("recording"));
    }

    void failedFileIsPassedOverUntilRestart() {
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        bench.writeOutputs = false;
        writeFile(bench.path("rec/a.ts"), "data");
        bench.engine.start({}, {}, {});
        bench.stepToCheck();
        bench.stepToCheck();
        bench.demuxerEnds();
        for (int i = 0; i < 4; ++i)
            bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1); // not retried while running
        QVERIFY(bench.engine.isIdle());
        bench.engine.stop();
        bench.engine.start({}, {}, {});
        QCOMPARE(bench.engine.table().size(), 1u);
    }

    void vanishedRecordingIsDropped() {
        Bench bench(QStringLiteral("1"));
        bench.startIndividual({"gone.ts"});
        QVERIFY(bench.engine.step());
        QVERIFY(!bench.engine.step());
        QVERIFY(bench.launcher.started.isEmpty());
        QVERIFY(!bench.reports.filter(QStringLiteral("gone.ts")).isEmpty());
    }

    void unreadableProcessListCountsAsBusyReportedOnce() {
        Bench bench(QStringLiteral("1"));
        writeFile(bench.path("rec/a.ts"), "data");
        bench.watch.unreadable = true;
        bench.startIndividual({"a.ts"});
        for (int i = 0; i < 3; ++i)
            QVERIFY(bench.engine.step());
        QVERIFY(bench.launcher.started.isEmpty());
        QCOMPARE(bench.reports.filter(QStringLiteral("プロセス一覧")).size(), 1);
        bench.watch.unreadable = false;
        bench.engine.step();
        QCOMPARE(bench.launcher.started.size(), 1);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "test_engine.moc"
