#include "ConversionEngine.h"
#include "FakeTools.h"
#include "FolderTime.h"
#include "Settings.h"
#include "TestFiles.h"

#include "FileIdentity.h"
#include "NativeName.h"
#include "RunRecord.h"
#include "platform/Lock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

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

// Writes a file under the system's bytes for the name (which need not be UTF-8). Names on
// Windows are UTF-16, which Qt names as they are (a std::string would be the ANSI code page).
void writeNative(const QString& path, const QByteArray& bytes) {
#ifdef Q_OS_WIN
    writeFile(path, bytes);
#else
    std::ofstream file(chain::toNative(path), std::ios::binary);
    QVERIFY2(file.good(), qPrintable(path));
    file.write(bytes.constData(), bytes.size());
#endif
}

// The folder's names as the system's bytes, sorted.
QList<QByteArray> nativeNames(const QString& folder) {
    QList<QByteArray> names;
    for (const auto& entry : std::filesystem::directory_iterator(chain::toNative(folder)))
        names << QByteArray::fromStdString(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// 番組 in cp932: not UTF-8, as in names copied from Windows.
const QByteArray RawBangumi("\x94\xd4\x91\x67");
} // namespace

// A workspace with the three folders, settings at their defaults, and fake tools. The
// fake demuxer "runs" while the test says so and writes its outputs when started.
struct Bench {
    QTemporaryDir dir;
    Settings settings{SettingsSize};
    Keywords keywords;
    FakeProcessWatch watch;
    FakeLauncher launcher;
    chain::testing::RecordingNotifier notices;
    qint64 nowMs = 0; // the engine's clock
    ConversionEngine engine{settings, keywords, watch, launcher, {&notices, [this] { return nowMs; }}};
    QStringList reports;
    bool writeOutputs = true;
    QByteArray outputBytes = "output";
    qint64 outputAgeMs = 0; // how long before the launch the outputs claim to be written

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
            if (!writeOutputs)
                return;
            for (const char* extension : {".m2v", ".wav"}) {
                const QString output = argAfter(line, QStringLiteral("-o")) + QString::fromLatin1(extension);
                writeNative(output, outputBytes);
                if (outputAgeMs > 0) {
                    QFile stamped(output);
                    QVERIFY(stamped.open(QIODevice::ReadWrite));
                    QVERIFY(stamped.setFileTime(QDateTime::currentDateTime().addMSecs(-outputAgeMs),
                                                QFileDevice::FileModificationTime));
                }
            }
        };
    }
    ~Bench() {
        // Names that aren't UTF-8 are beyond QDir; the system removes them by their bytes. A
        // destructor mustn't throw: what can't be removed stays.
        std::error_code ignored;
        std::filesystem::remove_all(chain::toNative(dir.path()), ignored);
    }
    QString path(const QString& relative) const { return chain::testing::inFolder(dir.path(), relative); }
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

    // A folder that looks as it did at the last listing is not listed again, but every
    // check still looks at each waiting recording, and a change that the folder's
    // modification time doesn't show (set back, as a copy that keeps times does) or a
    // change of the keywords is still seen.
    void changesAreSeenWhileTheFolderLooksUnchanged_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("rows"); // the table after the change's first check
        QTest::newRow("a recording grows") << "grow" << QStringList{"a.ts"};
        QTest::newRow("a recording comes, the folder's time set back")
            << "add" << QStringList{"a.ts", "b.ts"};
        QTest::newRow("a keyword is added") << "keyword" << QStringList{"a.ts", "b.ts"};
    }
    void changesAreSeenWhileTheFolderLooksUnchanged() {
        QFETCH(QString, change);
        QFETCH(QStringList, rows);
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        writeFile(bench.path("rec/a.ts"), change == u"grow" ? "1" : ""); // empty: waits for ever
        if (change == u"keyword") {
            writeFile(bench.path("rec/b.ts"), "1");
            bench.settings.set(slot::KeywordFilter, QStringLiteral("1"));
            bench.keywords.setEntries({QStringLiteral("a.")});
        }
        const QString folder = bench.path("rec");
        const QDateTime lastHour = QFileInfo(folder).lastModified().addSecs(-3600);
        chain::testing::setFolderTime(folder, lastHour);
        bench.engine.start({}, {}, {});
        bench.stepToCheck(); // a.ts: its first size seen

        if (change == u"grow") {
            writeFile(bench.path("rec/a.ts"), "12");
        } else if (change == u"add") {
            writeFile(bench.path("rec/b.ts"), "1");
            chain::testing::setFolderTime(folder, lastHour);
        } else {
            bench.keywords.setEntries({QStringLiteral("a."), QStringLiteral("b.")});
        }
        bench.stepToCheck();
        QStringList names;
        for (const FileRow& row : bench.engine.table())
            names << row.name;
        QCOMPARE(names, rows);
        QVERIFY(bench.launcher.started.isEmpty()); // a.ts grew, or b.ts is new: no launch yet
        if (change != u"grow")
            return;
        bench.stepToCheck(); // the same size twice: ready
        QCOMPARE(bench.launcher.started.size(), 1);
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

    void runShowsItsTimeAndOutputAndTellsItsEnd_data() {
        QTest::addColumn<bool>("writes");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("notice");
        QTest::newRow("output growing") << true << QStringLiteral("経過 12:34　出力 3.0 MB")
                                        << QStringLiteral("終わりました: a.ts (所要 12:34)");
        QTest::newRow("nothing written")
            << false << QStringLiteral("経過 12:34") << QStringLiteral("失敗しました: a.ts (所要 12:34)");
    }
    void runShowsItsTimeAndOutputAndTellsItsEnd() {
        QFETCH(bool, writes);
        QFETCH(QString, progress);
        QFETCH(QString, notice);
        Bench bench(QStringLiteral("1"));
        bench.writeOutputs = writes;
        writeFile(bench.path("rec/a.ts"), "data");
        bench.startIndividual({"a.ts"});
        bench.nowMs = 5000;
        bench.engine.step(); // the demuxer starts
        bench.nowMs += 754'000;
        if (writes) { // the .m2v and .wav grow to 3 MiB together
            QFile m2v(bench.path("out/a.m2v"));
            QVERIFY(m2v.open(QIODevice::Append));
            m2v.write(QByteArray(3 * 1024 * 1024 - 2 * 6, 'x'));
        }
        QCOMPARE(bench.engine.progressText(), progress);
        bench.demuxerEnds();
        QVERIFY(!bench.engine.step());
        QVERIFY2(bench.reports.contains(QStringLiteral("変換が終わりました: a.ts (所要 12:34)")),
                 qPrintable(bench.reports.join(u'\n')));
        QCOMPARE(bench.engine.progressText(), QString());
        QCOMPARE(bench.notices.shown,
                 (QStringList{notice,
                              QStringLiteral("待ちがなくなりました: 処理を待つファイルはもうありません")}));
    }

    void characterConversionSwitchedOffKeepsTheName() {
        Bench bench(QStringLiteral("1"));
        bench.settings.set(slot::CharConversion, QStringLiteral("0"));
        writeFile(bench.path("rec/a#b.ts"), "data");
        bench.startIndividual({"a#b.ts"});
        bench.engine.step();
        QCOMPARE(argAfter(bench.launcher.started.value(0), QStringLiteral("-i")), bench.path("rec/a#b.ts"));
    }

    // "中止" leaves the demuxer running; the next start takes the recorded run up and
    // finishes it off once the demuxer is gone, instead of converting it again.
    void stopDuringConversionThenStartFinishesTheRunOff() {
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        writeFile(bench.path("rec/a.ts"), "data");
        bench.engine.start({}, {}, {});
        bench.stepToCheck();
        bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1);
        bench.engine.stop();
        QVERIFY(!bench.engine.step());
        QVERIFY(QFile::exists(bench.path("kestrune.run")));

        QVERIFY(bench.engine.start({}, {}, {})); // demuxer still running
        QCOMPARE(bench.engine.table().size(), 1u);
        QCOMPARE(bench.engine.table()[0].state, int(FileRow::Launched));
        bench.stepToCheck();
        QVERIFY(QFile::exists(bench.path("rec/a.ts"))); // the demuxer still reads it
        bench.demuxerEnds();
        bench.stepToCheck();
        QCOMPARE(readFile(bench.path("done/a.ts")), QByteArray("data"));
        QVERIFY(!QFile::exists(bench.path("kestrune.run")));
        bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1);
    }

    // A run recorded by a Kestrune that died while the demuxer worked is finished off by
    // a new engine built from the files alone, by the ordinary rules.
    void recordedRunIsFinishedOffByANewEngine_data() {
        QTest::addColumn<QString>("output");    // what the demuxer left: m2v bytes, or "none"
        QTest::addColumn<qint64>("ageMs");      // how long before the recorded start it was written
        QTest::addColumn<bool>("stillRunning"); // the demuxer still works when the engine starts
        QTest::addColumn<bool>("filed");
        QTest::newRow("output present") << "video" << qint64(0) << false << true;
        QTest::newRow("demuxer still running") << "video" << qint64(0) << true << true;
        QTest::newRow("output missing") << "none" << qint64(0) << false << false;
        QTest::newRow("output empty") << "" << qint64(0) << false << false;
        QTest::newRow("output older than the run") << "video" << qint64(3600 * 1000) << false << false;
    }
    void recordedRunIsFinishedOffByANewEngine() {
        QFETCH(QString, output);
        QFETCH(qint64, ageMs);
        QFETCH(bool, stillRunning);
        QFETCH(bool, filed);
        Bench bench(QStringLiteral("1"));
        bench.writeOutputs = false;
        writeFile(bench.path("rec/x!.ts"), "recording");
        bench.startIndividual({"x!.ts"});
        bench.engine.step(); // renamed to x！.ts and launched; then the program is killed
        QVERIFY(QFile::exists(bench.path("kestrune.run")));
        if (output != u"none") {
            writeFile(bench.path("out/x！.m2v"), output.toUtf8());
            QFile written(bench.path("out/x！.m2v"));
            QVERIFY(written.open(QIODevice::ReadWrite));
            QVERIFY(written.setFileTime(QDateTime::currentDateTime().addMSecs(-ageMs),
                                        QFileDevice::FileModificationTime));
        }
        bench.watch.setRunning(Demuxer, stillRunning);

        Settings settings(SettingsSize); // what a new Kestrune reads from its files
        settings.set(slot::ProgramFolder, bench.dir.path());
        for (int k = 1; k <= 16; ++k)
            settings.set(k, bench.settings.text(k));
        settings.set(slot::Pending, QStringLiteral("0"));
        ConversionEngine fresh(settings, bench.keywords, bench.watch, bench.launcher);
        QStringList reports;
        QObject::connect(&fresh, &ConversionEngine::report, [&](const QString& t) { reports << t; });
        QVERIFY(fresh.start(bench.path("rec"), {"x！.ts"}, {"x！"}));
        QVERIFY(!reports.filter(QStringLiteral("引き継ぎます")).isEmpty());
        if (stillRunning) {
            fresh.step();
            QVERIFY(QFile::exists(bench.path("rec/x！.ts")));
            bench.demuxerEnds();
        }
        for (int i = 0; i < 4 && fresh.isRunning(); ++i)
            fresh.step();
        QVERIFY(!fresh.isRunning());
        QCOMPARE(bench.launcher.started.size(), 1); // never converted again
        QCOMPARE(readFile(bench.path(filed ? "done/x！.ts" : "rec/x！.ts")), QByteArray("recording"));
        QVERIFY(!QFile::exists(bench.path("kestrune.run")));
        if (!filed)
            QVERIFY(!reports.filter(QStringLiteral("移動しません")).isEmpty());
    }

    // The record is removed only after the recording is filed, so a Kestrune killed in
    // between still has it; the next start then finds the run finished and removes it,
    // without converting again or setting the record aside as damaged. When the filed
    // copy is no longer the recorded file, the record is set aside and nothing is
    // touched: not a new recording of the same name, nor another file in the
    // after-conversion folder.
    void runRecordOutlivesTheMoveOfTheRecording_data() {
        QTest::addColumn<QString>("since");   // what happened after the kill
        QTest::addColumn<QString>("refusal"); // in the report when the record is set aside
        QTest::newRow("nothing") << "nothing" << QString();
        QTest::newRow("filed copy taken away, a new recording of the name")
            << "new recording"
            << "記録されたファイルではありません";
        QTest::newRow("another file filed under the name") << "other filed"
                                                           << "変換後移動フォルダの";
    }
    void runRecordOutlivesTheMoveOfTheRecording() {
        QFETCH(QString, since);
        QFETCH(QString, refusal);
        Bench bench(QStringLiteral("1"));
        writeFile(bench.path("rec/a.ts"), "recording");
        bench.startIndividual({"a.ts"});
        bench.engine.step();
        QByteArray recordWhenMoved;
        QObject::connect(&bench.engine, &ConversionEngine::report, [&](const QString& text) {
            if (text.startsWith(QStringLiteral("移動しました")))
                recordWhenMoved = readFile(bench.path("kestrune.run"));
        });
        const QByteArray record = readFile(bench.path("kestrune.run"));
        bench.demuxerEnds();
        bench.engine.step();
        QCOMPARE(readFile(bench.path("done/a.ts")), QByteArray("recording"));
        QCOMPARE(recordWhenMoved, record);

        writeFile(bench.path("kestrune.run"), record); // as a kill at that moment leaves it
        // The filed copy is kept elsewhere, so its file (and file number) lives on.
        if (since != u"nothing")
            QVERIFY(QFile::rename(bench.path("done/a.ts"), bench.path("kept.ts")));
        if (since == u"new recording")
            writeFile(bench.path("rec/a.ts"), "new recording");
        if (since == u"other filed")
            writeFile(bench.path("done/a.ts"), "recording"); // the same bytes, another file
        ConversionEngine fresh(bench.settings, bench.keywords, bench.watch, bench.launcher);
        QStringList reports;
        QObject::connect(&fresh, &ConversionEngine::report, [&](const QString& t) { reports << t; });
        QVERIFY(fresh.start(bench.path("rec"), {"x.ts"}, {"x"}));
        QCOMPARE(fresh.table().size(), 1u); // only the row it was given
        for (int i = 0; i < 4 && fresh.isRunning(); ++i)
            fresh.step();
        QVERIFY(!QFile::exists(bench.path("kestrune.run")));
        const QStringList aside = QDir(bench.dir.path()).entryList({"kestrune.run.*"}, QDir::Files);
        if (refusal.isEmpty()) {
            QCOMPARE(reports.filter(QStringLiteral("仕上がっていました")).size(), 1);
            QCOMPARE(aside, QStringList());
        } else {
            QCOMPARE(reports.filter(QStringLiteral("仕上がっていました")).size(), 0);
            QCOMPARE(aside.size(), 1);
            QCOMPARE(readFile(bench.path(aside.first())), record);
            QCOMPARE(reports.filter(refusal).size(), 1);
        }
        if (since == u"new recording") {
            QCOMPARE(readFile(bench.path("rec/a.ts")), QByteArray("new recording"));
            QVERIFY(!QFile::exists(bench.path("done/a.ts")));
        }
        if (since == u"other filed")
            QCOMPARE(readFile(bench.path("done/a.ts")), QByteArray("recording"));
        QCOMPARE(bench.launcher.started.size(), 1);
    }

    // A recording whose run wrote its outputs but that could not be filed away is
    // remembered: a later start files it, without converting it again, even once its
    // outputs have been taken on. With the after-conversion folder equal to the source
    // folder the start says so once, and converted recordings stay where they are, not
    // converted again, until the setting names another folder.
    void convertedButUnfiledRecordingIsFiledLater_data() {
        QTest::addColumn<QString>("cause");
        QTest::newRow("after-conversion folder gone while converting") << "gone";
        QTest::newRow("after-conversion folder is the source folder") << "same";
    }
    void convertedButUnfiledRecordingIsFiledLater() {
        QFETCH(QString, cause);
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        QByteArray lastRecord; // the run record of the last launch
        if (cause == u"same")
            bench.settings.set(slot::AfterFolder, bench.path("rec"));
        else
            bench.launcher.onStart = [&, play = bench.launcher.onStart](const QString& line) {
                play(line);
                QVERIFY(QDir(bench.path("done")).removeRecursively());
                lastRecord = readFile(bench.path("kestrune.run"));
            };
        writeFile(bench.path("rec/a.ts"), "a");
        writeFile(bench.path("rec/b.ts"), "b");
        // One start of a new Kestrune and a few checks; the reports it gave.
        const auto runOnce = [&bench] {
            ConversionEngine engine(bench.settings, bench.keywords, bench.watch, bench.launcher);
            QStringList reports;
            QObject::connect(&engine, &ConversionEngine::report, [&](const QString& t) { reports << t; });
            if (!engine.start({}, {}, {}))
                return QStringList{QStringLiteral("not started")};
            for (int i = 0; i < 8; ++i) {
                engine.step();
                bench.demuxerEnds();
            }
            // Failed files, for the exit status.
            reports << QStringLiteral("passed over: %1").arg(engine.passedOverCount());
            return reports;
        };
        QStringList reports = runOnce();
        QCOMPARE(bench.launcher.started.size(), 2);
        QCOMPARE(reports.filter(QStringLiteral("移動できません")).size(), cause == u"gone" ? 2 : 0);
        QCOMPARE(reports.filter(QStringLiteral("同じフォルダ")).size(), cause == u"same" ? 1 : 0);
        QVERIFY(reports.contains(cause == u"same" ? "passed over: 0" : "passed over: 2"));
        // The outputs are taken on (Pellavo files them away).
        QVERIFY(QDir(bench.path("out")).removeRecursively());
        QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("out")));
        if (cause == u"same") {
            reports = runOnce();
            QCOMPARE(reports.filter(QStringLiteral("同じフォルダ")).size(), 1);
            QVERIFY(reports.contains("passed over: 0"));
            QVERIFY2(reports.filter(QStringLiteral("移動しました")).isEmpty() &&
                         reports.filter(QStringLiteral("移動できません")).isEmpty(),
                     qPrintable(reports.join(u'\n')));
            QCOMPARE(QDir(bench.path("rec")).entryList(QDir::Files), (QStringList{"a.ts", "b.ts"}));
            bench.settings.set(slot::AfterFolder, bench.path("done"));
        } else {
            QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("done")));
            // As a kill after the recording was kept as unfiled, before its record went.
            writeFile(bench.path("kestrune.run"), lastRecord);
        }
        reports = runOnce();
        QCOMPARE(bench.launcher.started.size(), 2); // never converted again
        QCOMPARE(readFile(bench.path("done/a.ts")), QByteArray("a"));
        QCOMPARE(readFile(bench.path("done/b.ts")), QByteArray("b"));
        QVERIFY(QDir(bench.path("rec")).entryList(QDir::Files).isEmpty());
        QCOMPARE(reports.filter(QStringLiteral("移動しました")).size(), 2);
        QVERIFY(!QFile::exists(bench.path("kestrune.run")));
        // Nothing is left to file: the next start has nothing to say of them.
        QVERIFY(runOnce().filter(QStringLiteral("引き継ぎます")).isEmpty());
    }

    // A run record is checked before anything it names is touched: a damaged one, one of
    // the previous version (four fields, no identity), or one whose paths lead out of the
    // folders the settings name is set aside with the reason, and every file stays.
    void damagedRunRecordIsSetAsideAndReported_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("reason");
        QTest::newRow("garbage") << "garbage"
                                 << "開始時刻が読めません";
        QTest::newRow("four fields of the previous version") << "four fields"
                                                             << "項目の数が 4 で";
        QTest::newRow("path climbing out of the source folder") << "dot-dot"
                                                                << "変換元フォルダの中にありません";
        QTest::newRow("absolute path in another folder") << "absolute"
                                                         << "変換元フォルダの中にありません";
        QTest::newRow("path through a linked folder") << "linked folder"
                                                      << "変換元フォルダの中にありません";
        QTest::newRow("output base outside the output folder") << "output outside"
                                                               << "変換先フォルダの中にありません";
    }
    void damagedRunRecordIsSetAsideAndReported() {
        QFETCH(QString, record);
        QFETCH(QString, reason);
        Bench bench(QStringLiteral("1"));
        QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("elsewhere")));
        QVERIFY(QFile::link(bench.path("elsewhere"), bench.path("rec/linked")));
        // The files a record could lead to, each with outputs written after its recorded
        // start, as a demuxer that has finished leaves them.
        const QStringList files{"elsewhere/x.ts", "elsewhere/x.m2v", "rec/x.ts", "out/x.m2v"};
        for (const QString& file : files)
            writeFile(bench.path(file), file.toUtf8());
        writeFile(bench.path("rec/a.ts"), "recording");
        const QDateTime began = QDateTime::currentDateTimeUtc().addSecs(-60);
        const auto idOf = [&](const char* file) {
            return chain::identityText(chain::fileIdentity(bench.path(file)).value_or(chain::FileIdentity{}));
        };
        const QString out = bench.path("out/x");
        QStringList fields; // path, name, output base, demux kind, identity
        if (record == u"four fields")
            fields = {bench.path("rec/x.ts"), "x.ts", out, DemuxBoth};
        if (record == u"dot-dot")
            fields = {bench.path("rec/../elsewhere/x.ts"), "x.ts", out, DemuxBoth, idOf("elsewhere/x.ts")};
        if (record == u"absolute")
            fields = {bench.path("elsewhere/x.ts"), "x.ts", out, DemuxBoth, idOf("elsewhere/x.ts")};
        if (record == u"linked folder")
            fields = {bench.path("rec/linked/x.ts"), "x.ts", out, DemuxBoth, idOf("elsewhere/x.ts")};
        if (record == u"output outside")
            fields = {bench.path("rec/x.ts"), "x.ts", bench.path("elsewhere/x"), DemuxBoth, idOf("rec/x.ts")};
        if (record == u"garbage")
            writeFile(bench.path("kestrune.run"), "garbage\r\n");
        else
            QCOMPARE(chain::RunRecord(bench.path("kestrune.run")).save({began, fields}), QString());
        const QByteArray written = readFile(bench.path("kestrune.run"));

        bench.engine.announceUnfinishedRun(); // at the window's opening: told, not trusted
        QCOMPARE(bench.reports.filter(reason).size(), 1);
        QVERIFY(bench.reports.filter(QStringLiteral("引き継ぎます")).isEmpty());
        QVERIFY(bench.startIndividual({"a.ts"}));
        QVERIFY(!QFile::exists(bench.path("kestrune.run")));
        const QStringList aside = QDir(bench.dir.path()).entryList({"kestrune.run.damaged-*"}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(bench.path(aside.first())), written);
        QCOMPARE(bench.reports.filter(aside.first()).size(), 1);
        QCOMPARE(bench.reports.filter(reason).size(), 2);
        for (int i = 0; i < 3 && bench.engine.isRunning(); ++i) {
            bench.engine.step();
            bench.demuxerEnds();
        }
        QCOMPARE(bench.launcher.started.size(), 1); // the engine goes on with its own list
        QCOMPARE(QDir(bench.path("done")).entryList(QDir::Files), QStringList{"a.ts"});
        for (const QString& file : files)
            QCOMPARE(readFile(bench.path(file)), file.toUtf8());
    }

    // Each failure leaves the recording where it was, unchanged, reports it, and the
    // engine carries on with the next file.
    void failuresLeaveTheRecordingAlone_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("renamed name taken") << "rename";
        QTest::newRow("no output written") << "output";
        QTest::newRow("empty output written") << "empty output";
        QTest::newRow("name taken in after folder") << "move";
        QTest::newRow("demuxer can't start") << "launch";
#ifndef Q_OS_WIN // names on Windows hold no quote
        QTest::newRow("quote in output folder") << "quote";
#endif
        QTest::newRow("converted name unusable") << "unusable";
#ifndef Q_OS_WIN // a name beginning with "." hides nothing on Windows
        QTest::newRow("converted name hidden (starts with a dot)") << "hidden";
#endif
        QTest::newRow("output of that name already there") << "output taken";
        QTest::newRow("output older than the launch") << "stale output";
#ifndef Q_OS_WIN // names on Windows hold no control character
        QTest::newRow("control character in the name") << "control";
#endif
        QTest::newRow("replaced by a file of the same name and size while converted") << "replaced";
        QTest::newRow("appended to while converted") << "appended";
    }
    void failuresLeaveTheRecordingAlone() {
        QFETCH(QString, failure);
        Bench bench(QStringLiteral("1"));
        QString name = QStringLiteral("x!.ts");
        if (failure == u"rename")
            writeFile(bench.path("rec/x！.ts"), "other");
        if (failure == u"output")
            bench.writeOutputs = false;
        if (failure == u"empty output")
            bench.outputBytes.clear();
        if (failure == u"move") {
            name = QStringLiteral("x.ts");
            writeFile(bench.path("done/x.ts"), "older");
        }
        if (failure == u"launch")
            bench.launcher.failWith = QStringLiteral("no such program");
        if (failure == u"quote") {
            QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("out\"q")));
            bench.settings.set(slot::OutputFolder, bench.path("out\"q"));
        }
        if (failure == u"unusable") {
            bench.settings.set(slot::BeforeString, QStringLiteral("!"));
            bench.settings.set(slot::AfterString, QStringLiteral("/"));
        }
        if (failure == u"hidden") { // #.x.ts would become .x.ts, which no listing shows
            name = QStringLiteral("#.x.ts");
            bench.settings.set(slot::BeforeString, QStringLiteral("#"));
            bench.settings.set(slot::AfterString, QStringLiteral("\\"));
        }
        if (failure == u"output taken")
            writeFile(bench.path("out/x！.wav"), "older output"); // under the converted name
        if (failure == u"stale output")
            bench.outputAgeMs = 3600 * 1000;
        if (failure == u"control")
            name = QStringLiteral("x\x01!.ts");
        const bool changed = failure == u"replaced" || failure == u"appended";
        if (changed) {
            // While the demuxer reads the renamed recording, it is changed under its name.
            const auto play = bench.launcher.onStart;
            bench.launcher.onStart = [&bench, play, failure](const QString& line) {
                play(line);
                const QString input = argAfter(line, QStringLiteral("-i"));
                if (input != bench.path("rec/x！.ts"))
                    return;
                if (failure == u"replaced") {
                    writeFile(input + QStringLiteral(".new"), "RECORDING");
                    QVERIFY(QFile::remove(input));
                    QVERIFY(QFile::rename(input + QStringLiteral(".new"), input));
                } else {
                    QFile file(input);
                    QVERIFY(file.open(QIODevice::Append));
                    QCOMPARE(file.write(" and more"), qint64(9));
                }
            };
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
        const bool noOutput =
            failure == u"output" || failure == u"empty output" || failure == u"stale output";
        const QString kept = noOutput || changed ? QStringLiteral("x！.ts") : name;
        const QByteArray content = failure == u"replaced"   ? QByteArray("RECORDING")
                                   : failure == u"appended" ? QByteArray("recording and more")
                                                            : QByteArray("recording");
        QCOMPARE(readFile(bench.path(QStringLiteral("rec/") + kept)), content);
        QVERIFY(!bench.reports.filter(name).isEmpty() || !bench.reports.filter(bench.path("rec")).isEmpty());
        if (failure == u"rename")
            QCOMPARE(readFile(bench.path("rec/x！.ts")), QByteArray("other"));
        if (changed) {
            QVERIFY(!QFile::exists(bench.path("done/x！.ts")));
            QCOMPARE(readFile(bench.path("out/x！.m2v")), QByteArray("output")); // kept
            QCOMPARE(bench.reports
                         .filter(failure == u"replaced" ? QStringLiteral("別のファイルに置き換えられました")
                                                        : QStringLiteral("書き換えられました"))
                         .size(),
                     1);
            QVERIFY(!QFile::exists(bench.path("kestrune.run")));
        }
        if (failure == u"move")
            QCOMPARE(readFile(bench.path("done/x.ts")), QByteArray("older"));
        if (failure == u"empty output")
            QCOMPARE(bench.reports.filter(QStringLiteral("が空のため")).size(), 2);
        if (failure == u"hidden") {
            QCOMPARE(bench.reports.filter(QStringLiteral("「.」で始まり")).size(), 1);
            QVERIFY(!QFile::exists(bench.path("out/.x.m2v")));
        }
        if (failure == u"output taken") {
            QCOMPARE(readFile(bench.path("out/x！.wav")), QByteArray("older output")); // not overwritten
            QVERIFY(!QFile::exists(bench.path("out/x！.m2v")));
            QVERIFY(!bench.reports.filter(bench.path("out/x！.wav")).isEmpty());
        }
        // The next recording is converted after the failed one, unless its own run
        // meets the same failure.
        const bool nextFailsToo = failure == u"launch" || failure == u"quote" || noOutput;
        QCOMPARE(readFile(bench.path(nextFailsToo ? "rec/next.ts" : "done/next.ts")),
                 QByteArray("recording"));
    }

    // No output name is handed to the demuxer twice, nor one whose file is there: such a
    // row is refused with a report before anything is renamed or started.
    void outputsAreNeverOverwritten_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QStringList>("present"); // in the output folder before the start
        QTest::addColumn<QStringList>("converted");
        QTest::addColumn<QString>("refusal"); // in the report, empty when none
        QTest::newRow("an earlier run's output")
            << DemuxBoth << QStringList{"news.ts"} << QStringList{"news"} << QStringList{"news.m2v"}
            << QStringList{} << "news.m2v が既にある";
        QTest::newRow("a folder of the output's name")
            << DemuxBoth << QStringList{"news.ts"} << QStringList{"news"} << QStringList{"news.wav/"}
            << QStringList{} << "news.wav が既にある";
        QTest::newRow("only the kinds the mode writes count")
            << DemuxVideo << QStringList{"news.ts"} << QStringList{"news"} << QStringList{"news.wav"}
            << QStringList{"news.ts"} << QString();
        QTest::newRow("two rows of one output name")
            << DemuxBoth << QStringList{"news.ts", "news.tsunami.ts"} << QStringList{"news", "news"}
            << QStringList{} << QStringList{"news.ts"} << "既にほかのファイルに使われた";
        QTest::newRow("two rows of one name after the table")
            << DemuxBoth << QStringList{"a.ts", "b.ts"} << QStringList{"a!", "a！"} << QStringList{}
            << QStringList{"a！.ts"} << "既にほかのファイルに使われた";
    }
    void outputsAreNeverOverwritten() {
        QFETCH(QString, kind);
        QFETCH(QStringList, names);
        QFETCH(QStringList, outputs);
        QFETCH(QStringList, present);
        QFETCH(QStringList, converted);
        QFETCH(QString, refusal);
        Bench bench(QStringLiteral("1"));
        bench.settings.set(slot::DemuxKind, kind);
        bench.writeOutputs = false; // what is in the output folder is only what the test put there
        for (const QString& name : names)
            writeFile(bench.path(QStringLiteral("rec/") + name), name.toUtf8());
        for (const QString& file : present) {
            if (file.endsWith(u'/'))
                QVERIFY(QDir(bench.path("out")).mkdir(file.chopped(1)));
            else
                writeFile(bench.path(QStringLiteral("out/") + file), "older output");
        }
        QVERIFY(bench.engine.start(bench.path("rec"), names, outputs));
        for (int i = 0; i < 6 && bench.engine.isRunning(); ++i) {
            bench.engine.step();
            bench.demuxerEnds();
            // The demuxer "writes" its output now, after its start.
            for (const QString& line : bench.launcher.started) {
                const QString base = argAfter(line, QStringLiteral("-o"));
                if (!QFile::exists(base + QStringLiteral(".m2v")))
                    writeFile(base + QStringLiteral(".m2v"), "new output");
            }
        }
        QCOMPARE(bench.launcher.started.size(), int(converted.size()));
        QStringList done = QDir(bench.path("done")).entryList(QDir::Files);
        QCOMPARE(done, converted);
        for (const QString& file : present) {
            if (!file.endsWith(u'/'))
                QCOMPARE(readFile(bench.path(QStringLiteral("out/") + file)), QByteArray("older output"));
        }
        if (refusal.isEmpty()) {
            QVERIFY2(bench.reports.filter(QStringLiteral("変換しません")).isEmpty(),
                     qPrintable(bench.reports.join(u'\n')));
        } else {
            QCOMPARE(bench.reports.filter(refusal).size(), 1);
            // The refused recording keeps its name and its place.
            QCOMPARE(QDir(bench.path("rec")).entryList(QDir::Files).size(), names.size() - converted.size());
        }
    }

    // Every interval stays within 1 to 60 s, however large or small the slot: the
    // individual interval goes through the 1-60 rule, and nothing overflows.
    void intervalsStayInRange_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("interval"); // slot 5 (individual) or slot 12 (auto)
        QTest::addColumn<int>("seconds");
        QTest::newRow("individual 120 is 60") << "1"
                                              << "120" << 60;
        QTest::newRow("individual 2147484 (×1000 overflows)") << "1"
                                                              << "2147484" << 60;
        QTest::newRow("individual beyond int") << "1"
                                               << "99999999999" << 60;
        QTest::newRow("individual 5.5 rounds to 6") << "1"
                                                    << "5.5" << 6;
        QTest::newRow("individual 0 is 1") << "1"
                                           << "0" << 1;
        QTest::newRow("individual negative is 1") << "1"
                                                  << "-99999999999" << 1;
        QTest::newRow("auto 2147484 counts down by 60") << "0"
                                                        << "2147484" << 60;
        QTest::newRow("auto negative is 1") << "0"
                                            << "-99999999999" << 1;
    }
    void intervalsStayInRange() {
        QFETCH(QString, mode);
        QFETCH(QString, interval);
        QFETCH(int, seconds);
        Bench bench(mode);
        bench.settings.set(mode == u"1" ? slot::IndividualInterval : slot::CheckInterval, interval);
        writeFile(bench.path("rec/a.ts"), "data");
        bench.watch.setRunning(Demuxer, true); // busy: every check re-arms
        QCOMPARE(bench.startIndividual({"a.ts"}).value_or(0), seconds * 1000);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(bench.engine.step().value_or(0), seconds * 1000);
    }

    // An empty folder setting would mean the root; one with a control character would be
    // cut by the system. The engine doesn't start with either, and names the setting.
    void startIsRefusedForAnUnusableFolderSetting_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("folderSlot");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("named");
        QTest::newRow("blank source folder (auto)") << "0" << slot::SourceFolder << "" << SourceFolderName;
        QTest::newRow("blank source folder box (individual)") << "1" << -1 << "" << SourceFolderName;
        QTest::newRow("blank after-conversion folder") << "1" << slot::AfterFolder << "" << AfterFolderName;
        QTest::newRow("blank output folder") << "0" << slot::OutputFolder << "" << OutputFolderName;
        QTest::newRow("NUL in the after-conversion folder")
            << "1" << slot::AfterFolder << QStringLiteral("/tmp") + QChar(0) + QStringLiteral("x")
            << AfterFolderName;
        QTest::newRow("line break in the output folder")
            << "1" << slot::OutputFolder << "/tmp\nx" << OutputFolderName;
        QTest::newRow("missing after-conversion folder")
            << "1" << slot::AfterFolder << "/nonexistent/done" << AfterFolderName;
        QTest::newRow("missing output folder")
            << "0" << slot::OutputFolder << "/nonexistent/out" << OutputFolderName;
        QTest::newRow("missing source folder (auto)")
            << "0" << slot::SourceFolder << "/nonexistent/rec" << SourceFolderName;
        QTest::newRow("missing source folder box (individual)")
            << "1" << -1 << "/nonexistent/rec" << SourceFolderName;
    }
    void startIsRefusedForAnUnusableFolderSetting() {
        QFETCH(QString, mode);
        QFETCH(int, folderSlot);
        QFETCH(QString, value);
        QFETCH(QString, named);
        Bench bench(mode);
        if (folderSlot >= 0)
            bench.settings.set(folderSlot, value);
        writeFile(bench.path("rec/a.ts"), "data");
        const QString sourceBox = folderSlot < 0 ? value : bench.path("rec");
        QVERIFY2(bench.engine.startProblem(sourceBox).contains(named),
                 qPrintable(bench.engine.startProblem(sourceBox)));
        QVERIFY(!bench.engine.start(sourceBox, {"a.ts"}, {"a"}));
        QVERIFY(!bench.engine.isRunning());
        QVERIFY(!bench.engine.step());
        QVERIFY(bench.launcher.started.isEmpty());
        QVERIFY(QFile::exists(bench.path("rec/a.ts")));
        // With the folders set, the same start goes ahead.
        Bench good(mode);
        QVERIFY(good.engine.startProblem(good.path("rec")).isEmpty());
    }

    // Names the system gives as bytes that aren't UTF-8 (raw cp932, copied from Windows)
    // are converted under those bytes; a name that fails is told once, not at every check.
    void oddNamesAreConvertedOrToldOnce_data() {
        QTest::addColumn<QByteArray>("name"); // the system's bytes
        QTest::addColumn<bool>("outputTaken");
        QTest::addColumn<QList<QByteArray>>("filed"); // in the after-conversion folder
        QTest::addColumn<QString>("toldOnce");
        QTest::newRow("raw cp932") << RawBangumi + "!.ts" << false
                                   << QList<QByteArray>{RawBangumi + "\xef\xbc\x81.ts"} << QString();
        QTest::newRow("raw cp932, output taken")
            << RawBangumi + ".ts" << true << QList<QByteArray>{} << "既にある";
        QTest::newRow("control character") << QByteArray("a\x01"
                                                         "b.ts")
                                           << false << QList<QByteArray>{} << "制御文字";
        QTest::newRow("line break") << QByteArray("a\nb.ts") << false << QList<QByteArray>{} << "制御文字";
    }
    void oddNamesAreConvertedOrToldOnce() {
#ifdef Q_OS_WIN
        QSKIP("Names on Windows are UTF-16 without control characters, never raw bytes");
#endif
        QFETCH(QByteArray, name);
        QFETCH(bool, outputTaken);
        QFETCH(QList<QByteArray>, filed);
        QFETCH(QString, toldOnce);
        Bench bench(QStringLiteral("0"));
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        const QString recording = bench.path("rec/") + chain::fromNative(name.toStdString());
        writeNative(recording, "recording");
        if (outputTaken)
            writeNative(bench.path("out/") + chain::fromNative((RawBangumi + ".m2v").toStdString()), "older");
        bench.engine.start({}, {}, {});
        for (int i = 0; i < 6; ++i) {
            bench.stepToCheck();
            bench.demuxerEnds();
        }
        QVERIFY2(nativeNames(bench.path("done")) == filed, qPrintable(bench.reports.join(u'\n')));
        if (filed.isEmpty()) {
            QCOMPARE(nativeNames(bench.path("rec")), QList<QByteArray>{name});
            QCOMPARE(bench.launcher.started.size(), 0);
            QCOMPARE(bench.reports.filter(toldOnce).size(), 1);
        } else {
            QCOMPARE(bench.launcher.started.size(), 1);
            QVERIFY(nativeNames(bench.path("rec")).isEmpty());
            QCOMPARE(nativeNames(bench.path("out")),
                     (QList<QByteArray>{RawBangumi + "\xef\xbc\x81.m2v", RawBangumi + "\xef\xbc\x81.wav"}));
        }
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

    // A process list that can't be read counts as busy, and the hand-over lock held by
    // another program (starting a tool in the same folder) holds the launch back too: the
    // row waits, told once, and is launched at the first tick after.
    void launchWaitsWhileUnsureOrHandedOverReportedOnce_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("holdBack");
        QTest::addColumn<QString>("told");
        QTest::newRow("process list unreadable") << "1"
                                                 << "unreadable"
                                                 << "プロセス一覧";
        QTest::newRow("hand-over lock held elsewhere (individual)")
            << "1"
            << "lock"
            << "ほかのプログラムがツールを起動しているところ";
        QTest::newRow("hand-over lock held elsewhere (auto)")
            << "0"
            << "lock"
            << "ほかのプログラムがツールを起動しているところ";
    }
    void launchWaitsWhileUnsureOrHandedOverReportedOnce() {
        QFETCH(QString, mode);
        QFETCH(QString, holdBack);
        QFETCH(QString, told);
        Bench bench(mode);
        bench.settings.set(slot::CheckInterval, QStringLiteral("20"));
        writeFile(bench.path("rec/a!.ts"), "data");
        chain::platform::FileLock other;
        if (holdBack == u"lock")
            QVERIFY(
                chain::platform::FileLock::tryLock(chain::toNative(bench.path("tool-handover.lock")), other)
                    .ok());
        bench.watch.unreadable = holdBack == u"unreadable";
        bench.startIndividual({"a!.ts"});
        for (int i = 0; i < 4; ++i)
            QVERIFY(bench.stepToCheck().second);
        QVERIFY(bench.launcher.started.isEmpty());
        QCOMPARE(bench.engine.table().size(), 1u);                       // waiting, not passed over
        QCOMPARE(readFile(bench.path("rec/a!.ts")), QByteArray("data")); // not renamed yet
        QCOMPARE(bench.reports.filter(told).size(), 1);
        bench.watch.unreadable = false;
        other.release();
        bench.stepToCheck();
        QCOMPARE(bench.launcher.started.size(), 1);
        QCOMPARE(argAfter(bench.launcher.started[0], QStringLiteral("-i")), bench.path("rec/a！.ts"));
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "test_engine.moc"
