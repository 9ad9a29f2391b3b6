// The batch engine step by step, with a fake process list and launcher on real folders.

#include "BatchEngine.h"
#include "FakeTools.h"
#include "FileOps.h"
#include "NativeName.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace orvane;
using chain::testing::FakeLauncher;
using chain::testing::FakeProcessWatch;
using chain::testing::readFile;
using chain::testing::writeFile;

namespace {
const QString VirtualDub = QStringLiteral("VirtualDub.exe");
// The timer intervals the batch must keep, in ms.
constexpr int Step = 10000;        // after "開始", while a tool runs, after a start
constexpr int JobsAppeared = 1000; // the list was empty, the folder wasn't
constexpr int NothingLeft = 60000; // nothing to do

// A process list that lets the test act while the engine asks it (a jobs file arriving
// between two looks at the folder, say).
struct ActingWatch : FakeProcessWatch {
    std::function<void()> onAsk;
    std::optional<QStringList> running(const QStringList& names) override {
        if (onAsk)
            onAsk();
        return FakeProcessWatch::running(names);
    }
};
} // namespace

// The VirtualDub, jobs and jobs-move folders with both options off. The fake VirtualDub
// runs from its start until the test ends it, and keeps the job list it was handed.
struct Bench {
    QTemporaryDir dir;
    StateTable state{StateTableSize};
    JobLists lists{state};
    ActingWatch watch;
    FakeLauncher launcher;
    chain::testing::RecordingNotifier notices;
    qint64 nowMs = 0; // the engine's clock
    BatchEngine engine{state, lists, watch, launcher, {&notices, [this] { return nowMs; }}};
    QStringList reports;
    QList<QByteArray> handedOver; // VirtualDub.jobs at each start

    Bench() {
        for (const char* sub : {"vd", "jobs", "moved"})
            QDir(dir.path()).mkdir(QString::fromLatin1(sub));
        state.set(slot::StartFolder, dir.path());
        state.set(slot::VirtualDubFolder, path("vd"));
        state.set(slot::JobsFolder, path("jobs"));
        state.set(slot::JobsMoveFolder, path("moved"));
        state.set(slot::DeleteOption, QStringLiteral("0"));
        state.set(slot::CloseOption, QStringLiteral("0"));
        const auto keep = [this](const QString& t) { reports << t; };
        QObject::connect(&engine, &BatchEngine::report, keep);
        QObject::connect(&lists, &JobLists::report, keep);
        launcher.onStart = [this](const QString&) {
            watch.setRunning(VirtualDub, true);
            handedOver << readFile(path("vd/VirtualDub.jobs"));
        };
    }
    QString path(const QString& relative) const { return chain::testing::inFolder(dir.path(), relative); }
    // Puts jobs files named like their content ("A.jobs" holds "A\r\n") and reads the list.
    void jobs(const QStringList& names) {
        for (const QString& name : names)
            writeFile(path("jobs/" + name), (name.section(u'.', 0, 0) + "\r\n").toUtf8());
        lists.JobsList();
        lists.showFirst();
    }
    QStringList files(const QString& folder) const { return QDir(path(folder)).entryList(QDir::Files); }
    void virtualDubEnds() { watch.setRunning(VirtualDub, false); }
    // Steps, VirtualDub ending right after each of its starts, until the engine has nothing
    // left (or ends the program); returns the intervals.
    QList<int> runDown(int maxSteps = 20) {
        QList<int> intervals;
        while (intervals.size() < maxSteps) {
            const std::optional<int> next = engine.step();
            intervals << next.value_or(-1);
            virtualDubEnds();
            if (!next || *next == NothingLeft)
                break;
        }
        return intervals;
    }
    int reportsNaming(const QString& text) const { return static_cast<int>(reports.filter(text).size()); }
};

class EngineTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void runsJobsInNameOrderAndFilesEachAway_data() {
        QTest::addColumn<bool>("runsThroughFiling"); // VirtualDub still runs at the step after its start
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<QList<int>>("intervals");
        const QList<int> waiting{Step, Step, Step, Step, Step, Step, NothingLeft};
        QTest::newRow("still running, moved") << true << false << waiting;
        QTest::newRow("gone, moved") << false << false << QList<int>{Step, Step, Step, NothingLeft};
        QTest::newRow("still running, deleted") << true << true << waiting;
    }
    void runsJobsInNameOrderAndFilesEachAway() {
        QFETCH(bool, runsThroughFiling);
        QFETCH(bool, deleting);
        QFETCH(QList<int>, intervals);
        Bench bench;
        bench.state.set(slot::DeleteOption, deleting ? QStringLiteral("1") : QStringLiteral("0"));
        bench.jobs({"b.jobs", "A.jobs", "c.jobs"});
        QCOMPARE(bench.engine.start(), Step);
        QList<int> seen;
        while (seen.size() < 10 && seen.value(seen.size() - 1) != NothingLeft) {
            const QString filing = bench.state.text(slot::CurrentJobName);
            seen << bench.engine.step().value_or(-1);
            if (!filing.isEmpty()) { // filed away at the step after its start
                QVERIFY(!bench.files("jobs").contains(filing));
                QCOMPARE(bench.files("moved").contains(filing), !deleting);
            }
            if (!runsThroughFiling || !filing.isEmpty())
                bench.virtualDubEnds();
        }
        QCOMPARE(seen, intervals);
        QCOMPARE(bench.handedOver, (QList<QByteArray>{"A\r\n", "b\r\n", "c\r\n"}));
        QCOMPARE(bench.files("jobs"), QStringList{});
        QCOMPARE(bench.launcher.started.first(), bench.path("vd/VirtualDub.exe") + QStringLiteral(" /x /r"));
        QCOMPARE(bench.launcher.windows.first(), chain::Launcher::Window::Minimised);
        QCOMPARE(bench.engine.status(), WaitingStatus);
    }

    // Label5 names the job while it runs; a tool that Orvane did not start holds the batch back.
    void runShowsItsTimeAndOutputAndTellsItsEnd() {
        Bench bench;
        writeFile(bench.path("jobs/a.jobs"), "// $output \"" + bench.path("a.avi").toUtf8() + "\"\r\n");
        bench.lists.JobsList();
        bench.engine.start();
        QCOMPARE(bench.engine.step(), Step);                                // handed over
        QCOMPARE(bench.engine.progressText(), QStringLiteral("経過 0:00")); // nothing written yet
        bench.nowMs += 90'000;
        writeFile(bench.path("a.avi"), QByteArray(2 * 1024 * 1024, 'x'));
        QCOMPARE(bench.engine.progressText(), QStringLiteral("経過 1:30　出力 2.0 MB"));
        bench.virtualDubEnds();
        QCOMPARE(bench.engine.step(), NothingLeft);
        QCOMPARE(bench.reportsNaming(QStringLiteral("VirtualDub が終わりました: a.jobs (所要 1:30)")), 1);
        QCOMPARE(bench.notices.shown,
                 (QStringList{QStringLiteral("終わりました: a.jobs (所要 1:30)"),
                              QStringLiteral("待ちがなくなりました: 処理を待つファイルはもうありません")}));
    }

    void waitsWhileAnyToolRuns() {
        Bench bench;
        bench.jobs({"a.jobs"});
        bench.watch.setRunning(QStringLiteral("BonTsDemux.exe"), true);
        bench.engine.start();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(bench.engine.step(), std::optional<int>(Step));
        QCOMPARE(bench.launcher.started, QStringList{});
        QCOMPARE(bench.engine.status(), QString());
        bench.watch.setRunning(QStringLiteral("BonTsDemux.exe"), false);
        QCOMPARE(bench.engine.step(), std::optional<int>(Step));
        QCOMPARE(bench.launcher.started.size(), 1);
        QCOMPARE(bench.engine.status(), "a.jobs" + CompressingTail);
        // One process-list read per step; the start reads it again inside the hand-over
        // lock, and once more to see VirtualDub running before it lets the lock go.
        QCOMPARE(bench.watch.questions, 6);
    }

    // An empty folder is looked at again every minute; files that arrive during a step are
    // taken a second later.
    void nothingLeftWaitsAMinuteOrASecond() {
        Bench bench;
        bench.engine.start();
        QCOMPARE(bench.engine.step(), std::optional<int>(NothingLeft));
        QVERIFY(bench.engine.isIdle());
        QCOMPARE(bench.engine.step(), std::optional<int>(NothingLeft));
        QCOMPARE(bench.reportsNaming(QStringLiteral("待機")), 1); // said once, not every minute
        QCOMPARE(bench.watch.questions, 2); // one process-list read per step with nothing to hand over
        bench.watch.onAsk = [&] { writeFile(bench.path("jobs/new.jobs"), "new\r\n"); };
        QCOMPARE(bench.engine.step(), std::optional<int>(JobsAppeared));
        QVERIFY(!bench.engine.isIdle());
        bench.watch.onAsk = nullptr;
        QCOMPARE(bench.engine.step(), std::optional<int>(Step));
        QCOMPARE(bench.handedOver, QList<QByteArray>{"new\r\n"});
    }

    // The close option ends the program at the first step that finds no tool and no file.
    void closeOptionEndsOnlyAfterTheLastVirtualDubHasGone() {
        Bench bench;
        bench.state.set(slot::CloseOption, QStringLiteral("1"));
        bench.jobs({"a.jobs"});
        bench.engine.start();
        QCOMPARE(bench.engine.step(), std::optional<int>(Step)); // started
        QCOMPARE(bench.engine.step(), std::optional<int>(Step)); // filed away, VirtualDub runs
        QCOMPARE(bench.engine.step(), std::optional<int>(Step)); // still runs
        bench.virtualDubEnds();
        QCOMPARE(bench.engine.step(), std::nullopt);
        QCOMPARE(bench.files("moved"), QStringList{"a.jobs"});

        Bench empty;
        empty.state.set(slot::CloseOption, QStringLiteral("1"));
        QCOMPARE(empty.engine.start(), Step);
        QCOMPARE(empty.engine.step(), std::nullopt);
        QCOMPARE(empty.reportsNaming(QStringLiteral("件")), 0);

        // The closing line says how many jobs files were passed over and wait for the next start.
        Bench failing;
        failing.state.set(slot::CloseOption, QStringLiteral("1"));
        writeFile(failing.path("jobs/x.jobs"), "");
        failing.jobs({"y.jobs"});
        failing.launcher.failWith = QStringLiteral("起動できません");
        failing.engine.start();
        QCOMPARE(failing.engine.step(), std::nullopt);
        QVERIFY2(failing.reportsNaming(QStringLiteral("終了します（飛ばしたジョブファイル 2 件は")) == 1,
                 qPrintable(failing.reports.join(u'\n')));
    }

    // A jobs-move folder on another filesystem: the finished jobs file is copied there, the
    // copy checked, and the original deleted, so that it doesn't run again at the next start.
    void jobsFileIsCopiedToAMoveFolderOnAnotherVolume() {
        Bench bench;
        QTemporaryDir elsewhere(QStringLiteral("/dev/shm/orvane-test-XXXXXX"));
        if (!elsewhere.isValid() || chain::sameVolume(bench.path("jobs"), elsewhere.path()) != false)
            QSKIP("no writable folder on another volume");
        bench.state.set(slot::JobsMoveFolder, elsewhere.path());
        writeFile(elsewhere.filePath("b.jobs"), "an older b\r\n");
        bench.jobs({"a.jobs", "b.jobs"});
        bench.engine.start();
        bench.runDown();
        QCOMPARE(bench.handedOver, (QList<QByteArray>{"a\r\n", "b\r\n"}));
        QCOMPARE(readFile(elsewhere.filePath("a.jobs")), QByteArray("a\r\n"));
        QCOMPARE(readFile(elsewhere.filePath("b.jobs")), QByteArray("an older b\r\n")); // never replaced
        QCOMPARE(bench.files("jobs"), QStringList{"b.jobs"});
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), (QStringList{"a.jobs", "b.jobs"}));
        QCOMPARE(bench.reportsNaming(QStringLiteral("b.jobs は飛ばします")), 1);
    }

    void stopRightAfterAStartLeavesTheJobsFileUntilTheNextStart() {
        Bench bench;
        bench.jobs({"a.jobs", "b.jobs"});
        bench.engine.start();
        bench.engine.step();
        bench.engine.stop();
        QCOMPARE(bench.files("jobs"), (QStringList{"a.jobs", "b.jobs"}));
        QCOMPARE(bench.state.text(slot::CurrentJobName), QStringLiteral("a.jobs"));
        QCOMPARE(bench.engine.step(), std::nullopt); // stopped: the step does nothing
        QCOMPARE(bench.files("jobs"), (QStringList{"a.jobs", "b.jobs"}));

        bench.engine.start();
        QCOMPARE(bench.engine.step(), std::optional<int>(Step)); // files a away; VirtualDub still runs
        QCOMPARE(bench.files("moved"), QStringList{"a.jobs"});
        QCOMPARE(bench.state.text(slot::CurrentJobPath), QString());
        bench.virtualDubEnds();
        bench.engine.step();
        QCOMPARE(bench.handedOver, (QList<QByteArray>{"a\r\n", "b\r\n"}));
    }

    // A listed jobs file deleted between two steps leaves the list at the next look at the
    // folder: it is no failure, and the next one starts.
    void listedJobsFileDeletedBetweenStepsIsNoFailure() {
        Bench bench;
        bench.jobs({"a.jobs", "b.jobs", "c.jobs"});
        bench.engine.start();
        bench.engine.step(); // a started
        bench.engine.step(); // a filed away; VirtualDub still runs
        QCOMPARE(bench.lists.jobs(), (QStringList{"b.jobs", "c.jobs"}));
        QVERIFY(QFile::remove(bench.path("jobs/b.jobs")));
        bench.virtualDubEnds();
        QCOMPARE(bench.engine.step(), std::optional<int>(Step));
        QCOMPARE(bench.handedOver, (QList<QByteArray>{"a\r\n", "c\r\n"}));
        QVERIFY2(bench.reportsNaming(QStringLiteral("読めません")) == 0,
                 qPrintable(bench.reports.join(u'\n')));
    }

    void entryTakenOffBeforeStartComesBackAtTheFirstStep() {
        Bench bench;
        bench.jobs({"a.jobs", "b.jobs"});
        bench.lists.Command6_Click(); // the first entry was selected
        QCOMPARE(bench.lists.jobs(), QStringList{"b.jobs"});
        bench.engine.start();
        bench.engine.step();
        QCOMPARE(bench.lists.jobs(), (QStringList{"a.jobs", "b.jobs"}));
        QCOMPARE(bench.handedOver, QList<QByteArray>{"a\r\n"});
    }

    // With the jobs folder as VirtualDub folder (as by default), the job list written there
    // is not taken for a jobs file: each job runs once, and the job list stays. Where names
    // differ by letter case, a user's virtualdub.jobs is a jobs file like any other.
    void jobListBesideTheJobsIsNoJobsFile() {
        Bench bench;
        bench.state.set(slot::VirtualDubFolder, bench.path("jobs/../jobs"));
        bench.state.set(slot::DeleteOption, QStringLiteral("1"));
        bench.launcher.onStart = [&](const QString&) {
            bench.watch.setRunning(VirtualDub, true);
            bench.handedOver << readFile(bench.path("jobs/VirtualDub.jobs"));
        };
#ifdef Q_OS_WIN
        bench.jobs({"a.jobs", "b.jobs"});
        const QList<QByteArray> jobs{"a\r\n", "b\r\n"};
#else
        bench.jobs({"a.jobs", "b.jobs", "virtualdub.jobs"});
        const QList<QByteArray> jobs{"a\r\n", "b\r\n", "virtualdub\r\n"};
#endif
        bench.engine.start();
        bench.runDown();
        QCOMPARE(bench.handedOver, jobs);
        QCOMPARE(bench.files("jobs"), (QStringList{chain::ToolHandOver::LockFileName, "VirtualDub.jobs"}));
        QCOMPARE(bench.lists.jobs(), QStringList{});
    }

    void jobListIsTheUsedPartRightTrimmed_data() {
        QTest::addColumn<QByteArray>("jobsFile");
        QTest::addColumn<QByteArray>("jobList");
        QTest::newRow("cut after // $done")
            << QByteArray("a  \r\n// $done  \r\nb\r\n// $done\r\n") << QByteArray("a\r\n// $done\r\n");
        QTest::newRow("no // $done: whole, right-trimmed")
            << QByteArray("  x \t \r\n\r\ny") << QByteArray("  x \t\r\n\r\ny\r\n");
        QTest::newRow("// $done later in a line doesn't cut")
            << QByteArray("a // $done\r\n// $doneX\r\nc\r\n") << QByteArray("a // $done\r\n// $doneX\r\n");
        QTest::newRow("cp932 text kept")
            << QByteArray("VirtualDub.Open(\"E:\\\\\x94\xd4\x91\x67.m2v\");\r\n")
            << QByteArray("VirtualDub.Open(\"E:\\\\\x94\xd4\x91\x67.m2v\");\r\n");
    }
    void jobListIsTheUsedPartRightTrimmed() {
        QFETCH(QByteArray, jobsFile);
        QFETCH(QByteArray, jobList);
        Bench bench;
        writeFile(bench.path("vd/VirtualDub.jobs"), "an older job list, replaced\r\n");
        writeFile(bench.path("jobs/j.jobs"), jobsFile);
        bench.lists.JobsList();
        bench.engine.start();
        bench.engine.step();
        QCOMPARE(bench.handedOver, QList<QByteArray>{jobList});
        QCOMPARE(readFile(bench.path("jobs/j.jobs")), jobsFile);
    }

    // Every failure leaves the failed jobs file where it was, unchanged, passes it over until
    // the next start, and lets the batch go on.
    void failuresLeaveTheJobsFileAndPassItOver_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("othersRun");  // b.jobs still goes through
        QTest::addColumn<int>("handedOverA"); // how often a.jobs reached VirtualDub before the restart
        QTest::newRow("unreadable") << "unreadable" << true << 0;
        QTest::newRow("empty") << "empty" << true << 0;
        QTest::newRow("blank lines only") << "blank" << true << 0;
        QTest::newRow("over 16 MiB") << "huge" << true << 0;
        QTest::newRow("vanished before its turn") << "vanished" << true << 0;
        QTest::newRow("VirtualDub.jobs can't be written") << "jobList" << false << 0;
        QTest::newRow("VirtualDub folder missing") << "noVirtualDubFolder" << false << 0;
        QTest::newRow("VirtualDub.exe can't be started") << "launch" << false << 0;
        QTest::newRow("name taken in the jobs-move folder") << "taken" << true << 1;
        QTest::newRow("jobs-move folder missing") << "noMoveFolder" << false << 1;
    }
    void failuresLeaveTheJobsFileAndPassItOver() {
        QFETCH(QString, failure);
        QFETCH(bool, othersRun);
        QFETCH(int, handedOverA);
        Bench bench;
        QByteArray a = "a\r\n";
        if (failure == u"unreadable")
            a = "\x81\x20\r\n"; // not cp932
        else if (failure == u"empty")
            a = "";
        else if (failure == u"blank")
            a = "  \r\n\r\n";
        else if (failure == u"huge") // a job, were it read: its line is right-trimmed
            a = "a" + QByteArray(16 * 1024 * 1024, ' ') + "\r\n";
        else if (failure == u"jobList")
            QVERIFY(QDir(bench.path("vd")).mkdir(QStringLiteral("VirtualDub.jobs")));
        else if (failure == u"noVirtualDubFolder")
            bench.state.set(slot::VirtualDubFolder, bench.path("nowhere"));
        else if (failure == u"launch")
            bench.launcher.failWith = QStringLiteral("起動できません");
        else if (failure == u"taken")
            writeFile(bench.path("moved/a.jobs"), "another a\r\n");
        else if (failure == u"noMoveFolder")
            bench.state.set(slot::JobsMoveFolder, bench.path("nowhere"));
        writeFile(bench.path("jobs/a.jobs"), a);
        bench.jobs({"b.jobs"});
        bool vanished = false; // between the look at the folder and its turn
        if (failure == u"vanished")
            bench.watch.onAsk = [&] {
                if (!vanished)
                    vanished = QFile::rename(bench.path("jobs/a.jobs"), bench.path("a.kept"));
            };

        bench.engine.start();
        const QList<int> intervals = bench.runDown();
        QCOMPARE(intervals.last(), NothingLeft); // the timer goes on
        if (failure == u"vanished")
            QVERIFY(vanished && QFile::rename(bench.path("a.kept"), bench.path("jobs/a.jobs")));
        QCOMPARE(readFile(bench.path("jobs/a.jobs")), a);
        QCOMPARE(bench.handedOver.count("a\r\n"), handedOverA);
        QCOMPARE(bench.files("jobs").contains("b.jobs"), !othersRun);
        QVERIFY2(bench.reportsNaming(QStringLiteral("a.jobs は飛ばします")) == 1,
                 qPrintable(bench.reports.join(u'\n')));
        if (failure == u"taken")
            QCOMPARE(readFile(bench.path("moved/a.jobs")), QByteArray("another a\r\n"));
        bench.runDown(); // passed over: not tried again
        QCOMPARE(bench.reportsNaming(QStringLiteral("a.jobs は飛ばします")), 1);
        QCOMPARE(bench.files("jobs").contains("b.jobs"), !othersRun);

        bench.engine.start(); // the next start tries it again
        bench.runDown();
        if (failure == u"vanished") { // back in its place: this time it goes through
            QCOMPARE(bench.handedOver.count("a\r\n"), 1);
            return;
        }
        QCOMPARE(bench.reportsNaming(QStringLiteral("a.jobs は飛ばします")), 2);
        QCOMPARE(readFile(bench.path("jobs/a.jobs")), a);
    }

    // A jobs folder that can't be listed counts as empty, and is reported once.
    void unlistableJobsFolderIsEmptyAndReportedOnce() {
        Bench bench;
        bench.jobs({"a.jobs"});
        QVERIFY(QDir(bench.path("jobs")).removeRecursively());
        bench.engine.start();
        bench.engine.step();
        QCOMPARE(bench.engine.step(), std::optional<int>(NothingLeft));
        QCOMPARE(bench.lists.jobs(), QStringList{});
        QCOMPARE(bench.reportsNaming(QStringLiteral("(.jobs)フォルダ")), 1);
        QCOMPARE(bench.launcher.started, QStringList{});
    }

    // The jobs file handed to VirtualDub is replaced under the same name before it is filed
    // away (within the step's 10 s): its job never ran, so it is neither moved nor deleted,
    // and it goes to VirtualDub as a new job.
    void jobsFileReplacedAfterItsHandOverIsRunAsANewJob_data() {
        QTest::addColumn<bool>("deleting");
        QTest::newRow("moved") << false;
        QTest::newRow("deleted") << true;
    }
    void jobsFileReplacedAfterItsHandOverIsRunAsANewJob() {
        QFETCH(bool, deleting);
        Bench bench;
        bench.state.set(slot::DeleteOption, deleting ? QStringLiteral("1") : QStringLiteral("0"));
        bench.jobs({"A.jobs"});
        bench.engine.start();
        bench.engine.step();
        QCOMPARE(bench.handedOver, QList<QByteArray>{"A\r\n"});
        QVERIFY(QFile::remove(bench.path("jobs/A.jobs")));
        writeFile(bench.path("jobs/A.jobs"), "A2\r\n"); // a new A.jobs, same length
        bench.runDown();
        QCOMPARE(bench.handedOver, (QList<QByteArray>{"A\r\n", "A2\r\n"}));
        QCOMPARE(bench.files("jobs"), QStringList{});
        if (!deleting)
            QCOMPARE(readFile(bench.path("moved/A.jobs")), QByteArray("A2\r\n"));
    }

    // While another program hands a job to a tool of this VirtualDub folder (it holds the
    // hand-over lock), nothing is written to VirtualDub.jobs and nothing is passed over.
    void waitsWhileAnotherProgramHandsOver() {
        Bench bench;
        bench.jobs({"A.jobs"});
        writeFile(bench.path("vd/VirtualDub.jobs"), "the other program's job\r\n");
        chain::platform::FileLock other;
        QVERIFY(chain::platform::FileLock::tryLock(
                    chain::toNative(bench.path("vd/" + chain::ToolHandOver::LockFileName)), other)
                    .ok());
        bench.engine.start();
        QCOMPARE(bench.engine.step(), std::optional<int>(Step));
        QCOMPARE(bench.engine.step(), std::optional<int>(Step));
        QVERIFY(bench.launcher.started.isEmpty());
        QCOMPARE(readFile(bench.path("vd/VirtualDub.jobs")), QByteArray("the other program's job\r\n"));
        other.release();
        bench.runDown();
        QCOMPARE(bench.handedOver, QList<QByteArray>{"A\r\n"});
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "test_engine.moc"
