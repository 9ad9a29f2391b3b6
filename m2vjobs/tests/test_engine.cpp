#include "FixedRandom.h"
#include "JobEngine.h"
#include "Texts.h"
#include "WaveBytes.h"

#include "FakeTools.h"
#include "FileIdentity.h"
#include "NativeName.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace pellavo;
using chain::testing::FakeLauncher;
using chain::testing::FakeProcessWatch;
using chain::testing::readFile;
using chain::testing::writeFile;

namespace {
const QString VirtualDub = QStringLiteral("VirtualDub.exe");
const QString Temporary = QStringLiteral("QWERTYUIOPASDFGHJKLZ"); // the first name the fixed source draws

// The text between the quotes after `call` in the job list.
QString argumentOf(const QByteArray& jobs, const QString& call) {
    const QRegularExpression line(QRegularExpression::escape(call) + QStringLiteral("\"([^\"]*)\""));
    return line.match(QString::fromUtf8(jobs))
        .captured(1)
        .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
}
} // namespace

// A start folder with the default patterns, the m2v, avi, storage and VirtualDub
// folders, and fake tools. The fake VirtualDub runs until the test ends it; started,
// it writes the .avi the job list names, holding the bytes of the .m2v it opens.
struct Bench {
    enum class Tool { WritesAvi, WritesNothing, WritesEmpty };
    QTemporaryDir dir;
    SettingTable settings{SettingTableSize};
    PatternTable patterns = defaultPatterns();
    FakeProcessWatch watch;
    FakeLauncher launcher;
    pellavo::testing::FixedRandom random{Temporary + QStringLiteral("ABCDEFGHIJKLMNOPQRST")};
    chain::RecordingDialogs dialogs;
    chain::testing::RecordingNotifier notices;
    qint64 nowMs = 0; // the engine's clock
    std::unique_ptr<JobEngine> engine;
    QStringList reports;
    Tool tool = Tool::WritesAvi;

    Bench() {
        for (const char* sub : {"start/Set Jobs", "m2v", "avi", "done", "vd dir"})
            QDir(dir.path()).mkpath(QString::fromUtf8(sub));
        settings.set(slot::StartFolder, path("start"));
        settings.set(slot::M2vFolder, path("m2v"));
        settings.set(slot::AviFolder, path("avi"));
        settings.set(slot::StorageFolder, path("done"));
        settings.set(slot::VirtualDubFolder, path("vd dir"));
        settings.set(slot::DeleteFlag, QStringLiteral("1"));
        settings.set(slot::Interval, QStringLiteral("30"));
        settings.set(slot::PictureSize, QStringLiteral("1"));
        settings.set(slot::FrameRate, QStringLiteral("1"));
        for (const PatternEntry& entry : patterns.entries)
            writeFile(path("start/Set Jobs/" + entry.file),
                      "VirtualDub.Open(\"x\",\"\",0);\r\nVirtualDub.SaveAVI(\"x\");\r\n// $done\r\n");
        launcher.onStart = [this](const QString&) {
            watch.setRunning(VirtualDub, true);
            const QByteArray jobs = readFile(path("vd dir/VirtualDub.jobs"));
            const QString avi = argumentOf(jobs, text::SaveAviCall);
            if (tool == Tool::WritesAvi)
                writeFile(avi, "AVI of " + readFile(argumentOf(jobs, text::OpenCall)));
            else if (tool == Tool::WritesEmpty)
                writeFile(avi, "");
        };
        newEngine();
    }
    // A new engine on the same folders, as after a restart of the program.
    void newEngine() {
        engine = std::make_unique<JobEngine>(settings, patterns, watch, launcher, random, dialogs,
                                             chain::RunSeams{&notices, [this] { return nowMs; }});
        QObject::connect(engine.get(), &JobEngine::report, [this](const QString& t) { reports << t; });
    }
    QString path(const QString& relative) const { return chain::testing::inFolder(dir.path(), relative); }
    void addPair(const QString& base, qint64 ms = 1000) {
        writeFile(path("m2v/" + base + ".m2v"), "video " + base.toUtf8());
        writeFile(path("m2v/" + base + ".wav"), pellavo::testing::pcmWave(ms));
    }
    void toolEnds() { watch.setRunning(VirtualDub, false); }
    QStringList filesIn(const QString& folder) const {
        QStringList files = QDir(path(folder)).entryList(QDir::Files);
        std::sort(files.begin(), files.end());
        return files;
    }
    bool reported(const QString& fragment) const {
        return std::any_of(reports.begin(), reports.end(),
                           [&](const QString& r) { return r.contains(fragment); });
    }
};

class EngineTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void intervalComesFromSlotSix_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("ms");
        QTest::newRow("30") << "30" << 30000;
        QTest::newRow("below a second") << "0.5" << 1000;
        QTest::newRow("no number") << "abc" << 20000;
    }
    void intervalComesFromSlotSix() {
        QFETCH(QString, interval);
        QFETCH(int, ms);
        Bench bench;
        bench.settings.set(slot::Interval, interval);
        QCOMPARE(bench.engine->step(), std::optional<int>(ms));
        bench.watch.setRunning(chain::DemuxerImage, true);
        QCOMPARE(bench.engine->step(), std::optional<int>(ms));
        QCOMPARE(bench.reports.size(), ms == 30000 ? 0 : 1); // a corrected interval is told once
    }

    void convertsEachPairAndFilesItAway_data() {
        QTest::addColumn<QString>("deleteFlag");
        QTest::newRow("delete the .m2v") << "1";
        QTest::newRow("store the .m2v") << "0";
    }
    void convertsEachPairAndFilesItAway() {
        QFETCH(QString, deleteFlag);
        Bench bench;
        bench.settings.set(slot::DeleteFlag, deleteFlag);
        bench.addPair(QStringLiteral("a"));
        bench.addPair(QStringLiteral("b.x")); // the base name ends at the last dot
        JobEngine& engine = *bench.engine;
        engine.M2vList();
        QCOMPARE(engine.List1(), (QStringList{"a.m2v", "b.x.m2v"}));

        QCOMPARE(engine.step(), std::optional<int>(30000)); // watching: no start needed
        QCOMPARE(bench.launcher.started, QStringList{'"' + bench.path("vd dir/VirtualDub.exe") + "\" /x /r"});
        QCOMPARE(bench.launcher.windows[0], chain::Launcher::Window::Minimised);
        QCOMPARE(engine.Label9(), QStringLiteral("a.m2v を圧縮中です。"));
        QCOMPARE(bench.filesIn("m2v"), (QStringList{Temporary + ".m2v", "a.wav", "b.x.m2v", "b.x.wav"}));
        QVERIFY(QFile::exists(bench.path("start/" + JobEngine::RunRecordFile)));

        // While any tool of the chain runs, the finished run waits.
        bench.toolEnds();
        for (const QString& other : {chain::DemuxerImage, chain::VirtualDubModImage}) {
            bench.watch.setRunning(other, true);
            QCOMPARE(engine.step(), std::optional<int>(30000));
            bench.watch.setRunning(other, false);
            QVERIFY(engine.runPending());
            QVERIFY(!QFile::exists(bench.path("avi/a.avi")));
        }

        QVERIFY(engine.step()); // a finished off, b started
        QCOMPARE(readFile(bench.path("avi/a.avi")), QByteArray("AVI of video a"));
        QCOMPARE(engine.Label9(), QStringLiteral("b.x.m2v を圧縮中です。"));
        bench.toolEnds();
        QVERIFY(engine.step());
        QCOMPARE(readFile(bench.path("avi/b.x.avi")), QByteArray("AVI of video b.x"));
        const QStringList stored = deleteFlag == u"1" ? QStringList{"a.wav", "b.x.wav"}
                                                      : QStringList{"a.m2v", "a.wav", "b.x.m2v", "b.x.wav"};
        QCOMPARE(bench.filesIn("done"), stored);
        QVERIFY(bench.filesIn("m2v").isEmpty());
        QCOMPARE(engine.List2(), (QStringList{"a.avi", "b.x.avi"}));
        QCOMPARE(engine.Label9(), QString());
        QVERIFY(engine.isIdle());
        QVERIFY(!QFile::exists(bench.path("start/" + JobEngine::RunRecordFile)));
        QCOMPARE(bench.launcher.started.size(), 2);
    }

    void runShowsItsTimeAndOutputAndTellsItsEnd() {
        Bench bench;
        bench.addPair(QStringLiteral("a"));
        bench.engine->step(); // VirtualDub starts on a
        QCOMPARE(bench.engine->Label9(), QStringLiteral("a.m2v を圧縮中です。"));
        bench.nowMs += 3'723'000;
        QCOMPARE(bench.engine->progressText(), QStringLiteral("経過 1:02:03　出力 1 KB")); // "AVI of video a"
        bench.toolEnds();
        bench.engine->step();
        QVERIFY2(
            bench.reports.contains(
                QStringLiteral("VirtualDub が終わりました: %1 (所要 1:02:03)").arg(bench.path("m2v/a.m2v"))),
            qPrintable(bench.reports.join(u'\n')));
        QCOMPARE(bench.engine->progressText(), QString());
        QCOMPARE(bench.notices.shown,
                 (QStringList{QStringLiteral("終わりました: a.m2v (所要 1:02:03)"),
                              QStringLiteral("待ちがなくなりました: 処理を待つファイルはもうありません")}));
    }

    void newFilesAreListedAfterAFinishedRunOrAnEmptyList() {
        Bench bench;
        JobEngine& engine = *bench.engine;
        engine.step(); // nothing there
        bench.addPair(QStringLiteral("a"));
        bench.addPair(QStringLiteral("b"));
        engine.step(); // the list was empty: a fresh look, a started
        QCOMPARE(bench.launcher.started.size(), 1);
        bench.addPair(QStringLiteral("c"));
        bench.toolEnds();
        engine.step(); // a finished, b started; c is listed only now
        QCOMPARE(engine.List1(), (QStringList{"b.m2v", "c.m2v"}));
        QCOMPARE(engine.Label9(), QStringLiteral("b.m2v を圧縮中です。"));
    }

    void idleStepsReadTheProcessListOnlyWhenTheFoldersChanged() {
        Bench bench;
        JobEngine& engine = *bench.engine;
        QSignalSpy listed(&engine, &JobEngine::listsChanged);
        QCOMPARE(engine.step(), std::optional<int>(30000)); // nothing anywhere
        QCOMPARE(bench.watch.questions, 0);
        bench.watch.setRunning(chain::DemuxerImage, true);
        writeFile(bench.path("avi/x.avi"), "x");
        engine.step(); // a new .avi: asked, and while a tool runs the lists stay
        QCOMPARE(bench.watch.questions, 1);
        QCOMPARE(engine.List2(), QStringList());
        bench.watch.setRunning(chain::DemuxerImage, false);
        engine.step();
        QCOMPARE(bench.watch.questions, 2);
        QCOMPARE(engine.List2(), QStringList{"x.avi"});
        engine.step(); // the same files again
        QCOMPARE(bench.watch.questions, 2);
        QCOMPARE(listed.size(), 1);
        bench.addPair(QStringLiteral("a"));
        engine.step();
        QVERIFY(bench.watch.questions > 2);
        QCOMPARE(bench.launcher.started.size(), 1);
    }

    void stopDuringARunThenRestartFinishesIt() {
        Bench bench;
        JobEngine& engine = *bench.engine;
        QSignalSpy timer(&engine, &JobEngine::timerChanged);
        bench.addPair(QStringLiteral("a"));
        bench.dialogs.answers.enqueue(true); // avi folder on the m2v drive: go on
        QCOMPARE(engine.Command7_Click(), std::optional<int>(3000));
        QCOMPARE(engine.Command7Caption(), QStringLiteral("中止"));
        engine.step();
        QVERIFY(engine.runPending());
        QCOMPARE(engine.Command7_Click(), std::nullopt);
        QCOMPARE(engine.state(), JobEngine::State::Stopped);
        QCOMPARE(engine.Command7Caption(), QStringLiteral("開始"));
        bench.toolEnds();
        QCOMPARE(engine.step(), std::nullopt); // stopped: nothing happens
        QVERIFY(QFile::exists(bench.path("m2v/" + Temporary + ".m2v")));
        bench.dialogs.answers.enqueue(true);
        QCOMPARE(engine.Command7_Click(), std::optional<int>(3000));
        engine.step();
        QVERIFY(QFile::exists(bench.path("avi/a.avi")));
        QCOMPARE(timer.size(), 3);
        QCOMPARE(timer[1][0].value<std::optional<int>>(), std::nullopt);
    }

    void missingPatternStopsTheEngine_data() {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QList<bool>>("answers"); // for the input check of the engine's own start
        QTest::addColumn<std::optional<int>>("next");
        QTest::addColumn<JobEngine::State>("state");
        QTest::newRow("running: stops")
            << true << QList<bool>{} << std::optional<int>() << JobEngine::State::Stopped;
        QTest::newRow("watching, check fails: stopped")
            << false << QList<bool>{false} << std::optional<int>() << JobEngine::State::Stopped;
        QTest::newRow("watching, check passes: running")
            << false << QList<bool>{true} << std::optional<int>(3000) << JobEngine::State::Running;
    }
    void missingPatternStopsTheEngine() {
        QFETCH(bool, running);
        QFETCH(QList<bool>, answers);
        QFETCH(std::optional<int>, next);
        QFETCH(JobEngine::State, state);
        Bench bench;
        bench.patterns.entries = {{QStringLiteral("HD"), QStringLiteral("hd.jobs")}};
        bench.addPair(QStringLiteral("a"));
        if (running) {
            bench.dialogs.answers.enqueue(true);
            QVERIFY(bench.engine->Command7_Click());
        }
        bench.dialogs.shown.clear();
        bench.dialogs.answers.clear();
        bench.dialogs.answers.append(answers);
        QCOMPARE(bench.engine->step(), next);
        QCOMPARE(bench.engine->state(), state);
        QCOMPARE(bench.dialogs.shown[0].title, QStringLiteral("データ損傷、致命的エラー"));
        QCOMPARE(bench.dialogs.shown[0].text, text::MissingNoResizeText);
        QCOMPARE(bench.filesIn("m2v"), (QStringList{"a.m2v", "a.wav"}));
        QVERIFY(!bench.filesIn("vd dir").contains(
            QStringLiteral("VirtualDub.jobs"))); // no VirtualDub.jobs written
        QVERIFY(bench.launcher.started.isEmpty());
    }

    void unreadablePatternFileEndsTheProgram() {
        Bench bench;
        QSignalSpy quit(bench.engine.get(), &JobEngine::quitRequested);
        QVERIFY(QFile::remove(bench.path("start/Set Jobs/" + text::DefaultOthersPattern)));
        bench.addPair(QStringLiteral("a"));
        QCOMPARE(bench.engine->step(), std::nullopt);
        QCOMPARE(quit.size(), 1);
        QCOMPARE(bench.dialogs.shown[0].title, QStringLiteral("ファイルエラー"));
        QCOMPARE(bench.dialogs.shown[0].text, bench.path("start/Set Jobs/" + text::DefaultOthersPattern) +
                                                  " のファイルが有りませんので、圧縮は出来ません。");
        QCOMPARE(bench.filesIn("m2v"), (QStringList{"a.m2v", "a.wav"}));
    }

    // Each failure: a.m2v is passed over, b still converted where it can be, and every
    // file's content is found once, where it was or where a report says it went.
    void failedStepsKeepEveryFile_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("bConverted");
        for (const char* failure :
             {"missing wav", "50 ms wav", "not a wave", "no avi", "empty avi", "avi name taken",
              "m2v name taken again", "storage name taken", "another's avi turns up"})
            QTest::newRow(failure) << QString::fromUtf8(failure) << true;
        // These hold for every file: b is passed over too.
        for (const char* failure : {"blank storage folder", "jobs file unwritable", "VirtualDub won't start",
                                    "run record unwritable"})
            QTest::newRow(failure) << QString::fromUtf8(failure) << false;
    }
    void failedStepsKeepEveryFile() {
        QFETCH(QString, failure);
        QFETCH(bool, bConverted);
        Bench bench;
        bench.settings.set(slot::DeleteFlag, QStringLiteral("0"));
        bench.addPair(QStringLiteral("a"), 1000);
        bench.addPair(QStringLiteral("b"), 1100);
        const auto aWav = bench.path("m2v/a.wav");
        if (failure == u"missing wav")
            QVERIFY(QFile::remove(aWav));
        else if (failure == u"50 ms wav")
            writeFile(aWav, pellavo::testing::pcmWave(50));
        else if (failure == u"not a wave")
            writeFile(aWav, "no wave at all");
        else if (failure == u"avi name taken")
            writeFile(bench.path("avi/a.avi"), "an older a.avi");
        else if (failure == u"storage name taken")
            writeFile(bench.path("done/a.wav"), "an older a.wav");
        else if (failure == u"blank storage folder")
            bench.settings.set(slot::StorageFolder, QString());
        else if (failure == u"jobs file unwritable")
            QVERIFY(QDir(bench.path("vd dir")).removeRecursively());
        else if (failure == u"VirtualDub won't start")
            bench.launcher.failWith = QStringLiteral("起動できません");
        else if (failure == u"run record unwritable")
            QVERIFY(QDir(bench.path("start")).mkdir(JobEngine::RunRecordFile));
        QMap<QString, QByteArray> originals; // content → where it was
        QDirIterator files(bench.dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            if (!file.contains(QStringLiteral("Set Jobs")))
                originals.insert(file, readFile(file));
        }

        bench.tool = failure == u"no avi" || failure == u"another's avi turns up" ? Bench::Tool::WritesNothing
                     : failure == u"empty avi"                                    ? Bench::Tool::WritesEmpty
                                                                                  : Bench::Tool::WritesAvi;
        bench.engine->M2vList();
        for (int i = 0; i < 6 && !bench.engine->isIdle(); ++i) {
            bench.engine->step();
            if (failure == u"m2v name taken again" && bench.engine->runPending() &&
                !QFile::exists(bench.path("m2v/a.m2v")))
                writeFile(bench.path("m2v/a.m2v"), "a new a.m2v");
            // VirtualDub writes nothing, and meanwhile the user puts an a.avi of their own
            // into the avi folder: it is no output of this run.
            if (failure == u"another's avi turns up" && bench.engine->runPending() &&
                !QFile::exists(bench.path("avi/a.avi")))
                writeFile(bench.path("avi/a.avi"), "the user's own a.avi");
            bench.tool = Bench::Tool::WritesAvi; // only a's run misbehaves
            bench.toolEnds();
        }
        QVERIFY(bench.engine->isIdle());
        QVERIFY(bench.engine->isPassedOver(QStringLiteral("a.m2v")));
        QCOMPARE(bench.engine->List1().contains(QStringLiteral("a.m2v")),
                 QFile::exists(bench.path("m2v/a.m2v")));
        QCOMPARE(QFile::exists(bench.path("avi/b.avi")), bConverted);

        QMap<QByteArray, QStringList> found; // content → where it is now
        QDirIterator now(bench.dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (now.hasNext()) {
            const QString file = now.next();
            QVERIFY2(!file.contains(Temporary), qPrintable(file)); // no temporary name outlives the run
            found[readFile(file)] << file;
        }
        for (auto it = originals.cbegin(); it != originals.cend(); ++it) {
            const QStringList places = found.value(it.value());
            QVERIFY2(places.size() == 1, qPrintable(it.key()));
            // Named as the engine names it (QDirIterator writes "/" on Windows too).
            const QString named = bench.path(QDir(bench.dir.path()).relativeFilePath(places[0]));
            QVERIFY2(places[0] == it.key() || bench.reported(named),
                     qUtf8Printable(named + " is not named in: " + bench.reports.join(u'\n')));
        }
        QVERIFY(bench.filesIn("start").isEmpty()); // no run record left
    }

    // A .m2v that can neither take its name back nor be filed keeps its run under way and
    // recorded: nothing else starts, the failure isn't tried again at every tick, and the
    // next start, once the cause is gone, finishes the run off.
    void runWhoseM2vCantBeNamedWaitsForTheNextStart_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QStringList>("m2vLeft");
#ifndef Q_OS_WIN // a Windows folder has no bit that keeps names from being changed in it
        QTest::newRow("m2v folder read-only")
            << true << QStringList{Temporary + ".m2v", "a.wav", "b.m2v", "b.wav"};
#endif
        // A new a.m2v came while VirtualDub ran, and the storage folder holds an a.m2v too.
        QTest::newRow("own and storage names taken")
            << false << QStringList{Temporary + ".m2v", "a.m2v", "b.m2v", "b.wav"};
    }
    void runWhoseM2vCantBeNamedWaitsForTheNextStart() {
        QFETCH(bool, readOnly);
        QFETCH(QStringList, m2vLeft);
        Bench bench;
        bench.settings.set(slot::DeleteFlag, QStringLiteral("0"));
        bench.addPair(QStringLiteral("a"));
        bench.addPair(QStringLiteral("b"));
        bench.engine->M2vList();
        bench.engine->step();
        const auto m2vReadOnly = [&](bool on) {
#ifdef Q_OS_UNIX
            // Root writes into a folder without write permission: only chattr stops it.
            if (::geteuid() == 0)
                return QProcess::execute(QStringLiteral("chattr"), {on ? "+i" : "-i", bench.path("m2v")}) ==
                       0;
#endif
            return QFile::setPermissions(bench.path("m2v"),
                                         on ? QFile::ReadOwner | QFile::ExeOwner
                                            : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        if (readOnly) {
            QVERIFY(m2vReadOnly(true));
        } else {
            writeFile(bench.path("m2v/a.m2v"), "a new a.m2v");
            writeFile(bench.path("done/a.m2v"), "an older a.m2v");
        }
        bench.toolEnds();
        bench.engine->step();
        bench.engine->step();
        if (readOnly)
            QVERIFY(m2vReadOnly(false));
        else
            QVERIFY(QFile::remove(bench.path("done/a.m2v"))); // the user clears the way
        QCOMPARE(bench.reports.filter(QStringLiteral("次の開始で仕上げます")).size(), 1);
        QVERIFY(bench.engine->runPending());
        QVERIFY(bench.engine->isIdle());
        QCOMPARE(bench.launcher.started.size(), 1);
        QCOMPARE(bench.filesIn("m2v"), m2vLeft);
        QCOMPARE(bench.filesIn("start"), QStringList{JobEngine::RunRecordFile});

        bench.dialogs.answers.enqueue(true); // avi folder on the m2v drive: go on
        QVERIFY(bench.engine->Command7_Click());
        bench.engine->step();
        bench.engine->step(); // (the new a.m2v is refused first: a.avi is taken)
        QCOMPARE(readFile(bench.path("avi/a.avi")), QByteArray("AVI of video a"));
        QCOMPARE(readFile(bench.path("done/a.m2v")), QByteArray("video a"));
        QCOMPARE(bench.filesIn("done"), (QStringList{"a.m2v", "a.wav"}));
        QCOMPARE(bench.launcher.started.size(), 2); // then b
    }

    // The program was ended half-way through a finish-off: the next start finds some of
    // its moves done and does the rest, with nothing reported as failed or passed over.
    void finishOffCutShortIsCompletedAtTheNextStart_data() {
        QTest::addColumn<int>("stepsDone");
        QTest::addColumn<QString>("deleteFlag");
        for (int steps = 1; steps <= 4; ++steps) {
            for (const char* flag : {"0", "1"})
                QTest::addRow("%d steps done, delete flag %s", steps, flag)
                    << steps << QString::fromLatin1(flag);
        }
    }
    void finishOffCutShortIsCompletedAtTheNextStart() {
        QFETCH(int, stepsDone);
        QFETCH(QString, deleteFlag);
        Bench bench;
        bench.settings.set(slot::DeleteFlag, deleteFlag);
        bench.addPair(QStringLiteral("a"));
        bench.engine->step();
        bench.toolEnds();
        const QStringList steps[] = {{"m2v/" + Temporary + ".m2v", "m2v/a.m2v"},
                                     {"avi/" + Temporary + ".avi", "avi/a.avi"},
                                     {"m2v/a.wav", "done/a.wav"},
                                     {"m2v/a.m2v", deleteFlag == u"1" ? QString() : "done/a.m2v"}};
        for (int k = 0; k < stepsDone; ++k) {
            if (k == 1) // the engine records the .avi it is about to name, as below
                recordAvi(bench, bench.path(steps[k][0]));
            QVERIFY(steps[k][1].isEmpty() ? QFile::remove(bench.path(steps[k][0]))
                                          : QFile::rename(bench.path(steps[k][0]), bench.path(steps[k][1])));
        }
        bench.settings.set(slot::RunFlag, QString()); // killed there; a new program starts
        bench.newEngine();
        bench.engine->resumeRecordedRun();
        bench.engine->step();
        QVERIFY2(!bench.reported(QStringLiteral("できません")) &&
                     !bench.reported(QStringLiteral("変換しません")),
                 qPrintable(bench.reports.join(u'\n')));
        QCOMPARE(readFile(bench.path("avi/a.avi")), QByteArray("AVI of video a"));
        const QStringList filed = deleteFlag == u"1" ? QStringList{"a.wav"} : QStringList{"a.m2v", "a.wav"};
        QCOMPARE(bench.filesIn("done"), filed);
        QVERIFY(bench.filesIn("m2v").isEmpty());
        QVERIFY(bench.filesIn("start").isEmpty()); // the run record is gone
    }

    void nextProgramFinishesARecordedRun() {
        Bench bench;
        bench.addPair(QStringLiteral("a"));
        bench.engine->step();
        QVERIFY(bench.engine->runPending());
        // Written by the version before the record kept a count of interruptions: ten fields.
        const chain::RunRecord record(bench.path("start/" + JobEngine::RunRecordFile));
        chain::RunRecord::Run run = record.load().run;
        run.fields.removeLast();
        QVERIFY(record.save(run).isEmpty());
        bench.settings.set(slot::RunFlag, QString()); // the program ends; a new one starts
        bench.newEngine();
        bench.engine->M2vList(); // as a start-up lists the folder, the .m2v under its temporary name
        bench.engine->resumeRecordedRun();
        QCOMPARE(bench.engine->Label9(), QStringLiteral("a.m2v を圧縮中です。"));
        QVERIFY(bench.engine->List1().isEmpty()); // never offered as a new file
        bench.engine->M2vList();
        QVERIFY(bench.engine->List1().isEmpty());
        QVERIFY(bench.engine->step()); // VirtualDub still runs
        QVERIFY(!QFile::exists(bench.path("avi/a.avi")));
        bench.toolEnds();
        QVERIFY(bench.engine->step());
        QCOMPARE(readFile(bench.path("avi/a.avi")), QByteArray("AVI of video a"));
        QCOMPARE(bench.filesIn("done"), QStringList{"a.wav"});
        QVERIFY(bench.filesIn("start").isEmpty());

        writeFile(bench.path("start/" + JobEngine::RunRecordFile),
                  "2026-01-01T00:00:00.000Z\r\nnews.m2v\r\n");
        bench.newEngine();
        bench.engine->resumeRecordedRun();
        QVERIFY(!bench.engine->runPending());
        QVERIFY(bench.reported(JobEngine::RunRecordFile));
        QCOMPARE(bench.filesIn("start").size(), 1); // set aside, not deleted
        QVERIFY(bench.filesIn("start")[0].startsWith(JobEngine::RunRecordFile + ".damaged-"));
    }

    // A run that a stop cut short before VirtualDub wrote anything is taken up at the next
    // start and the file converted again at once: killed before the .m2v took its temporary
    // name, or VirtualDub ended with the program (a logout). Only a file cut short twice in
    // a row is passed over.
    void interruptedRunIsConvertedAgainAtTheNextStart_data() {
        QTest::addColumn<bool>("handedOver");
        QTest::addColumn<int>("cutShort"); // starts that find the run cut short
        QTest::newRow("killed before the temporary name") << false << 1;
        QTest::newRow("VirtualDub ended with the program") << true << 1;
        QTest::newRow("VirtualDub ended with the program twice") << true << 2;
        QTest::newRow("never handed over, then VirtualDub ended twice") << false << 3;
    }
    void interruptedRunIsConvertedAgainAtTheNextStart() {
        QFETCH(bool, handedOver);
        QFETCH(int, cutShort);
        Bench bench;
        bench.tool = Bench::Tool::WritesNothing;
        bench.addPair(QStringLiteral("a"));
        const QString m2v = bench.path("m2v/a.m2v");
        for (int start = 1; start <= cutShort; ++start) {
            if (start > 1)
                bench.engine->resumeRecordedRun();
            bench.engine->step();
            QCOMPARE(bench.launcher.started.size(), start);
            QVERIFY(bench.engine->runPending());
            bench.toolEnds();
            if (!handedOver && start == 1) // killed before the rename: the .m2v has its own name
                QVERIFY(QFile::rename(bench.path("m2v/" + Temporary + ".m2v"), m2v));
            bench.settings.set(slot::RunFlag, QString()); // the program ends; a new one starts
            bench.newEngine();
        }
        bench.tool = Bench::Tool::WritesAvi;
        bench.engine->resumeRecordedRun();
        bench.engine->step();
        bench.toolEnds();
        bench.engine->step();
        // Cut short twice in a row once VirtualDub had the file.
        const bool passedOver = cutShort - (handedOver ? 0 : 1) >= 2;
        QVERIFY2(bench.engine->isPassedOver(QStringLiteral("a.m2v")) == passedOver,
                 qPrintable(bench.reports.join(u'\n')));
        QCOMPARE(bench.launcher.started.size(), passedOver ? cutShort : cutShort + 1);
        QCOMPARE(QFile::exists(bench.path("avi/a.avi")), !passedOver);
        QCOMPARE(bench.filesIn("m2v"), passedOver ? (QStringList{"a.m2v", "a.wav"}) : QStringList());
        QCOMPARE(bench.reported(QStringLiteral("ができていません")), passedOver);
        QVERIFY(bench.filesIn("start").isEmpty());
    }

    // A run record that outlived its run (the program was killed after its last delete,
    // before the record went): a week later new files of the same names are in the m2v
    // folder. The next start finishes the old run off without touching them.
    void staleRecordLeavesNewFilesOfTheSameNamesAlone() {
        Bench bench;
        bench.addPair(QStringLiteral("news"));
        QByteArray record;
        QObject::connect(bench.engine.get(), &JobEngine::report, [&](const QString& text) {
            if (text.startsWith(QStringLiteral("削除しました")))
                record = readFile(bench.path("start/" + JobEngine::RunRecordFile));
        });
        bench.engine->step();
        bench.toolEnds();
        bench.engine->step();
        QCOMPARE(bench.filesIn("done"), QStringList{"news.wav"});
        QVERIFY(!record.isEmpty());
        writeFile(bench.path("start/" + JobEngine::RunRecordFile), record); // never removed
        writeFile(bench.path("m2v/news.m2v"), "next week's news");
        writeFile(bench.path("m2v/news.wav"), pellavo::testing::pcmWave(2000));

        bench.newEngine();
        bench.engine->resumeRecordedRun();
        QVERIFY(bench.engine->runPending());
        bench.engine->step();
        QCOMPARE(readFile(bench.path("m2v/news.m2v")), QByteArray("next week's news"));
        QCOMPARE(readFile(bench.path("m2v/news.wav")), pellavo::testing::pcmWave(2000));
        QCOMPARE(bench.filesIn("done"), QStringList{"news.wav"});
        QCOMPARE(readFile(bench.path("avi/news.avi")), QByteArray("AVI of video news"));
        QVERIFY(bench.filesIn("start").isEmpty());
        QVERIFY(bench.engine->List1().contains(QStringLiteral("news.m2v"))); // a new file, in the queue
    }

    // A record whose paths lead out of the folders the settings name (edited by hand,
    // damaged, brought from another machine) is set aside, and no file it names is touched.
    void recordNamingFilesOutsideItsFoldersIsSetAside_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("m2v elsewhere") << 5 << "victim/news.m2v";
        QTest::newRow("temporary m2v through ..") << 4 << "m2v/../victim/" + Temporary + ".m2v";
        QTest::newRow("avi through a link") << 3 << "avi/link/news.avi";
        QTest::newRow("folder elsewhere") << 6 << "victim";
        QTest::newRow("identity missing") << 7 << "";
        QTest::newRow(".avi identity empty") << 9 << "";
        QTest::newRow("interruptions not a count") << 10 << "-1";
        QTest::newRow("seven fields, as before identities") << -1 << "";
    }
    void recordNamingFilesOutsideItsFoldersIsSetAside() {
        QFETCH(int, field);
        QFETCH(QString, value);
        Bench bench;
        bench.addPair(QStringLiteral("news"));
        bench.engine->step();
        bench.toolEnds();
        QVERIFY(QDir(bench.dir.path()).mkpath(QStringLiteral("victim")));
        for (const char* name : {"news.m2v", "news.wav", "news.avi", "QWERTYUIOPASDFGHJKLZ.m2v"})
            writeFile(bench.path(QStringLiteral("victim/") + QString::fromUtf8(name)), "the user's own");
        QVERIFY(QFile::link(bench.path("victim"), bench.path("avi/link")));
        const chain::RunRecord record(bench.path("start/" + JobEngine::RunRecordFile));
        chain::RunRecord::Run run = record.load().run;
        if (field < 0)
            run.fields = run.fields.mid(0, 7);
        else
            run.fields[field] = value.isEmpty() || field == 10 ? value : bench.path(value);
        QVERIFY(record.save(run).isEmpty());

        bench.newEngine();
        bench.engine->resumeRecordedRun();
        QVERIFY(!bench.engine->runPending());
        if (field < 0) // the old record's .m2v has its name back; nothing else is done
            QCOMPARE(bench.filesIn("m2v"), (QStringList{"news.m2v", "news.wav"}));
        bench.engine->step();
        QVERIFY2(bench.reported(QStringLiteral("退避しました")), qPrintable(bench.reports.join(u'\n')));
        for (const QString& name : QDir(bench.path("victim")).entryList(QDir::Files))
            QCOMPARE(readFile(bench.path("victim/" + name)), QByteArray("the user's own"));
        QCOMPARE(QDir(bench.path("victim")).entryList(QDir::Files).size(), 4);
        QVERIFY(bench.filesIn("done").isEmpty());
        // The set-aside record; with the old record, also the new run's: its .m2v, named
        // back, waits as any file and is converted anew.
        QCOMPARE(bench.filesIn("start").size(), field < 0 ? 2 : 1);
    }

    // The settings name the m2v folder as the storage folder (the defaults do): told once,
    // and nothing is converted until they name another.
    void storageFolderThatIsTheM2vFolderConvertsNothing_data() {
        QTest::addColumn<QString>("storage");
        QTest::newRow("same text") << "m2v";
        QTest::newRow("same folder, spelt otherwise") << "m2v/.";
    }
    void storageFolderThatIsTheM2vFolderConvertsNothing() {
        QFETCH(QString, storage);
        Bench bench;
        bench.settings.set(slot::StorageFolder, bench.path(storage));
        bench.addPair(QStringLiteral("a"));
        bench.engine->step();
        bench.engine->step();
        QVERIFY(bench.launcher.started.isEmpty());
        QCOMPARE(bench.reports.filter(text::StorageFolderText).size(), 1);
        QVERIFY(!bench.engine->isPassedOver(QStringLiteral("a.m2v")));
        QVERIFY(bench.engine->isIdle());
        QCOMPARE(bench.filesIn("m2v"), (QStringList{"a.m2v", "a.wav"}));
        bench.settings.set(slot::StorageFolder, bench.path("done"));
        QVERIFY(!bench.engine->isIdle());
        bench.engine->step();
        QCOMPARE(bench.launcher.started.size(), 1);
    }

    // Another program is handing a job to a tool of this VirtualDub folder (it holds the
    // hand-over lock): nothing starts until it lets go, and no file is passed over.
    void handOverWaitsWhileAnotherProgramHoldsTheToolFolder() {
        Bench bench;
        bench.addPair(QStringLiteral("a"));
        bench.engine->M2vList();
        chain::platform::FileLock other;
        QVERIFY(chain::platform::FileLock::tryLock(
                    chain::toNative(bench.path("vd dir/" + chain::ToolHandOver::LockFileName)), other)
                    .ok());
        bench.engine->step();
        bench.engine->step();
        QVERIFY(bench.launcher.started.isEmpty());
        QVERIFY(!bench.engine->isPassedOver(QStringLiteral("a.m2v")));
        QCOMPARE(bench.filesIn("m2v"), (QStringList{"a.m2v", "a.wav"}));
        other.release();
        bench.engine->step();
        QCOMPARE(bench.launcher.started.size(), 1);
    }

  private:
    // Writes the identity of the .avi at `avi` into the run record, as the engine does
    // just before it gives the .avi its final name.
    static void recordAvi(Bench& bench, const QString& avi) {
        const chain::RunRecord record(bench.path("start/" + JobEngine::RunRecordFile));
        chain::RunRecord::Run run = record.load().run;
        QCOMPARE(run.fields.size(), 11);
        run.fields[9] = chain::identityText(*chain::fileIdentity(avi));
        QVERIFY(record.save(run).isEmpty());
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "test_engine.moc"
