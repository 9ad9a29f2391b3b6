// Side by side: the built programs started beside each other, as a service and a window,
// a double click, or Pellavo and Orvane sharing one VirtualDub, do. A second instance in
// the same start folder is refused (headless and with a window) and does nothing; one in
// another folder runs; a killed instance leaves no lock behind. Pellavo and Orvane started
// together on one VirtualDub folder, their steps falling on the same moments, never run
// two VirtualDubs at once, never run a job twice and lose no file. Two of the same program
// started at once in one folder: one runs, one is refused, every input done once. The
// stand-in tools write every run and job to a run log (CHAIN_TOOL_RUN_LOG), from which the
// runs, the jobs run twice and the overlaps are counted. A table of what was tried is
// printed at the end (docs/reliability.md keeps a copy).

#include "Bench.h"

#include "m2vjobs/Settings.h"
#include "m2vjobs/Texts.h"
#include "m2vjobs/tests/WaveBytes.h"

#include "TestFiles.h"
#include "TextFile.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

using faults::Bench;
using faults::Program;

namespace {

QString built(const char* variable, const QString& name) {
    return QDir(qEnvironmentVariable(variable)).absoluteFilePath(name);
}

QString executable(Program program) {
    return built("CHAIN_BIN_DIR", faults::nameOf(program).toLower());
}

// The folder as the program sees it when started there (links resolved).
QString canonical(const QString& folder) {
    return QFileInfo(folder).canonicalFilePath();
}

// The refusal a second instance prints, a box's "[title] text".
QString refusal(Program program, const QString& folder) {
    const QString name = faults::nameOf(program);
    return QStringLiteral("[%1] %1 はこのフォルダ (%2) で既に動いています。"
                          "同じフォルダでは一つしか動かせないため、終了します。")
        .arg(name, canonical(folder));
}

// The headless command line of the runs here: short waits, no log file.
QStringList headlessArguments(Program program, const QString& timeScale = QStringLiteral("0.02")) {
    QStringList arguments{"--headless", "--no-log"};
    if (program == Program::Pellavo)
        arguments << "--until-idle";
    if (program != Program::Tassik)
        arguments << "--time-scale" << timeScale;
    return arguments;
}

// A program started in `folder`, its output kept apart by channel.
struct Started {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray out;
    QByteArray err;

    void start(const QString& program, const QString& folder, const QStringList& arguments,
               const QProcessEnvironment& environment) {
        process->setWorkingDirectory(folder);
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
    }
    void read() {
        out += process->readAllStandardOutput();
        err += process->readAllStandardError();
    }
    bool running() const { return process->state() != QProcess::NotRunning; }
    // The exit status, or -1 after a kill or a crash.
    int exitCode() const { return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1; }
    QString output() const { return QString::fromUtf8(out + err); }
};

// Waits until every one has ended, reading their output meanwhile; false when one is
// still running after `timeoutMs` (it is then killed).
bool waitForAll(const QList<Started*>& started, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    bool ended = false;
    while (!ended && clock.elapsed() < timeoutMs) {
        ended = true;
        for (Started* s : started) {
            if (s->running())
                s->process->waitForFinished(5);
            s->read();
            ended = ended && !s->running();
        }
    }
    for (Started* s : started) {
        if (s->running()) {
            s->process->kill();
            s->process->waitForFinished(5000);
        }
        s->read();
    }
    return ended;
}

// The process that holds the flock() lock on the file, from /proc/locks; 0 when none.
qint64 lockHolder(const QString& lockFile) {
    struct stat st {};
    if (::stat(QFile::encodeName(lockFile).constData(), &st) != 0)
        return 0;
    const QByteArray inode = ':' + QByteArray::number(quint64(st.st_ino)) + ' ';
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    // "1: FLOCK  ADVISORY  WRITE 1234 08:01:567 0 EOF"
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 6 && fields[1] == "FLOCK" && (fields[5] + ' ').contains(inode))
            return fields[4].toLongLong();
    }
    return 0;
}

// What the stand-ins wrote to the run log.
struct RunLog {
    int runs = 0;            // "start <tool>" lines
    int overlaps = 0;        // starts while another run of the tool had not ended
    QMap<QString, int> jobs; // input → how often a job on it was taken up
    int twice() const {      // inputs taken up more than once
        int count = 0;
        for (int n : jobs)
            count += n > 1 ? 1 : 0;
        return count;
    }
    QString lines;
};

RunLog readRunLog(const QString& file) {
    RunLog log;
    log.lines = QString::fromUtf8(chain::testing::readFile(file));
    int active = 0;
    for (const QString& line : log.lines.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QStringLiteral("start "))) {
            ++log.runs;
            if (active > 0)
                ++log.overlaps;
            ++active;
        } else if (line.startsWith(QStringLiteral("end "))) {
            --active;
        } else if (line.startsWith(QStringLiteral("job "))) {
            const qsizetype input = line.indexOf(u' ', 4) + 1; // after "job <tool> "
            ++log.jobs[line.mid(input)];
        }
    }
    return log;
}

// The environment of the programs started here: the window on the offscreen platform, the
// stand-ins writing to `runLog`.
QProcessEnvironment environmentWith(const QString& runLog, bool quitWhenShown = false) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CHAIN_TOOL_RUN_LOG"), runLog);
    if (quitWhenShown)
        environment.insert(QStringLiteral("CHAIN_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    else
        environment.remove(QStringLiteral("CHAIN_QUIT_WHEN_SHOWN"));
    return environment;
}

// More inputs for a bench, beyond its own two, each made by the program's rules.
void addInputs(Bench& bench, int count) {
    for (int i = 1; i <= count; ++i) {
        const QString base = QStringLiteral("c%1").arg(i, 2, 10, QChar(u'0'));
        switch (bench.program()) {
        case Program::Kestrune:
        case Program::Tassik:
            bench.addInput("rec/" + base + ".ts", "recording " + base.toUtf8());
            break;
        case Program::Pellavo:
            bench.addInput("m2v/" + base + ".m2v", "video " + base.toUtf8());
            bench.addInput("m2v/" + base + ".wav", pellavo::testing::pcmWave(400 + 10 * i));
            break;
        case Program::Orvane: {
            bench.block("clips/" + base + ".m2v");
            std::string bytes;
            QCOMPARE(chain::encodeLines(chain::testing::jobsFile(bench.path("clips/" + base + ".m2v"),
                                                                 bench.path("avi/" + base + ".avi")),
                                        bytes),
                     QString());
            bench.addInput("jobs/" + base + ".jobs", QByteArray::fromStdString(bytes));
            break;
        }
        }
    }
}

// How many jobs a bench's inputs give the tool: Pellavo's .m2v and .wav make one.
int jobCount(const Bench& bench) {
    const auto size = bench.names().size();
    return static_cast<int>(bench.program() == Program::Pellavo ? size / 2 : size);
}

struct TableRow {
    QString tried;
    QString outcome;
    int runs = 0;
    int twice = 0;
    int overlaps = 0;
    int lost = 0;
};
QList<TableRow> g_table;

int countOf(const QStringList& outcomes, const QString& outcome) {
    return static_cast<int>(outcomes.count(outcome));
}

// Pellavo's and Orvane's shared workspace: VirtualDub.exe in "prog", the start folder of
// both; Pellavo's .m2v/.wav pairs in "m2v" (its .avi to "avi", the pair filed into "done");
// Orvane's jobs files in "jobs", each turning a clip of "clips" into an .avi of "out",
// deleted once handed over.
class SharedVirtualDub {
  public:
    static constexpr int Jobs = 20;

    SharedVirtualDub() {
        for (const char* folder : {"prog/Set Jobs", "m2v", "avi", "done", "jobs", "moved", "clips", "out"})
            QDir(m_root.path()).mkpath(QString::fromLatin1(folder));
    }
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    static QString name(char program, int i) {
        return QStringLiteral("%1%2").arg(QChar(program)).arg(i, 2, 10, QChar(u'0'));
    }

    // Pellavo's step interval is 10.44 s, its first step's wait, and Orvane's time scale is
    // Pellavo's times 1.044: both then step every 10 s times Orvane's scale, from the first.
    void populate(const QString& pellavoInterval, const QByteArray& toolSeconds) {
        using chain::testing::writeFile;
        QVERIFY(QFile::copy(built("CHAIN_TOOLS_DIR", "VirtualDub.exe"), path("prog/VirtualDub.exe")));
        writeFile(path("prog/VirtualDub.seconds"), toolSeconds);
        pellavo::SettingTable s(pellavo::SettingTableSize);
        s.set(pellavo::slot::StartFolder, path("prog"));
        pellavo::applyDefaults(s);
        s.set(pellavo::slot::M2vFolder, path("m2v"));
        s.set(pellavo::slot::AviFolder, path("avi"));
        s.set(pellavo::slot::StorageFolder, path("done"));
        s.set(pellavo::slot::DeleteFlag, QStringLiteral("0"));
        s.set(pellavo::slot::Interval, pellavoInterval);
        QCOMPARE(pellavo::SaveSettings(s), QString());
        for (const QString& pattern :
             {pellavo::text::DefaultOthersPattern, pellavo::text::DefaultNoResizePattern})
            writeFile(path("prog/" + pellavo::text::PatternFolder + u'/' + pattern),
                      "// $job \"x\"\r\nVirtualDub.Open(\"x\",\"\",0);\r\nVirtualDub.SaveAVI(\"x\");\r\n"
                      "// $endjob\r\n// $done\r\n");
        QCOMPARE(chain::writeTextLines(path("prog/Orvane_Data.txt"),
                                       {path("prog"), path("jobs"), path("moved"), "1", "1"}),
                 QString());
        for (int i = 1; i <= Jobs; ++i) {
            const QString p = name('p', i);
            writeFile(path("m2v/" + p + ".m2v"), "video " + p.toUtf8());
            writeFile(path("m2v/" + p + ".wav"), pellavo::testing::pcmWave(500));
            const QString o = name('o', i);
            writeFile(path("clips/" + o + ".m2v"), "clip " + o.toUtf8());
            QCOMPARE(chain::writeTextLines(
                         path("jobs/" + o + ".jobs"),
                         chain::testing::jobsFile(path("clips/" + o + ".m2v"), path("out/" + o + ".avi"))),
                     QString());
        }
    }

    // What went wrong with the files: each a line; empty when every one is where it belongs.
    // `log` tells which jobs ran.
    QStringList wrong(const RunLog& log, int* lost) const {
        QStringList wrong;
        *lost = 0;
        const QStringList left = QDir(path("jobs")).entryList(QDir::Files);
        for (int i = 1; i <= Jobs; ++i) {
            const QString o = name('o', i);
            const QString clip = path("clips/" + o + ".m2v");
            if (left.contains(o + ".jobs"))
                wrong << o + ".jobs is still in the jobs folder";
            else if (log.jobs.value(clip) != 1) {
                wrong << QStringLiteral("%1.jobs is gone, its job ran %2 times")
                             .arg(o)
                             .arg(log.jobs.value(clip));
                if (log.jobs.value(clip) == 0)
                    ++*lost;
            }
            if (!chain::testing::readFile(path("out/" + o + ".avi")).contains("clip " + o.toUtf8()))
                wrong << "out/" + o + ".avi is missing or not the clip's";

            const QString p = name('p', i);
            if (!chain::testing::readFile(path("avi/" + p + ".avi")).contains("video " + p.toUtf8()))
                wrong << "avi/" + p + ".avi is missing or not the .m2v's";
            const bool m2vFiled =
                chain::testing::readFile(path("done/" + p + ".m2v")) == "video " + p.toUtf8();
            const bool wavFiled =
                chain::testing::readFile(path("done/" + p + ".wav")) == pellavo::testing::pcmWave(500);
            if (!m2vFiled || !wavFiled)
                wrong << p + ".m2v or .wav not filed";
            if ((!m2vFiled && !QFile::exists(path("m2v/" + p + ".m2v"))) ||
                (!wavFiled && !QFile::exists(path("m2v/" + p + ".wav"))))
                ++*lost;
        }
        const QStringList m2vLeft = QDir(path("m2v")).entryList(QDir::Files);
        if (!m2vLeft.isEmpty())
            wrong << "left in the m2v folder: " + m2vLeft.join(u' ');
        if (QFile::exists(path("prog/pellavo.run")))
            wrong << "pellavo.run left";
        // Pellavo's jobs run on its .m2v under a temporary name, one per job.
        int pellavoJobs = 0;
        for (auto it = log.jobs.begin(); it != log.jobs.end(); ++it)
            pellavoJobs += it.key().startsWith(path("m2v/")) ? it.value() : 0;
        if (pellavoJobs != Jobs)
            wrong << QStringLiteral("Pellavo's jobs ran %1 times").arg(pellavoJobs);
        return wrong;
    }

  private:
    QTemporaryDir m_root;
};

} // namespace

class SideBySide : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_logs; // the run logs

    QString runLog(const QString& name) const { return m_logs.filePath(name + QStringLiteral(".log")); }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!qEnvironmentVariableIsEmpty("CHAIN_BIN_DIR"), "CHAIN_BIN_DIR is not set");
        QVERIFY2(QFile::exists(built("CHAIN_TOOLS_DIR", "VirtualDub.exe")),
                 "CHAIN_TOOLS_DIR has no stand-ins");
    }

    void cleanupTestCase() {
        std::printf("\n| Tried | Tool runs | Jobs run twice | Overlapping runs | Files lost | Outcome |\n"
                    "|---|---|---|---|---|---|\n");
        for (const TableRow& row : g_table)
            std::printf("| %s | %d | %d | %d | %d | %s |\n", qPrintable(row.tried), row.runs, row.twice,
                        row.overlaps, row.lost, qPrintable(row.outcome));
        std::fflush(stdout);
    }

    // The first instance has its window open in the bench's start folder. A second one
    // there, headless or with a window, ends with 2 and says why, naming the folder, and
    // touches nothing; one in another folder runs; once the first is killed (SIGKILL),
    // a new one runs there.
    void secondInstanceIsRefused_data() {
        QTest::addColumn<int>("program");
        for (Program program : {Program::Kestrune, Program::Pellavo, Program::Orvane, Program::Tassik})
            QTest::addRow("%s", qPrintable(faults::nameOf(program))) << int(program);
    }
    void secondInstanceIsRefused() {
        QFETCH(int, program);
        const auto p = static_cast<Program>(program);
        const QString log = runLog("refused-" + faults::nameOf(p));
        Bench bench(p, QStringLiteral("0"));
        bench.populate();
        bench.setEnvironment({"CHAIN_TOOL_RUN_LOG=" + log});
        const QString folder = bench.path("prog");
        const QString lockFile = folder + u'/' + faults::nameOf(p).toLower() + QStringLiteral(".lock");

        Started first;
        first.start(executable(p), folder, {}, environmentWith(log));
        QElapsedTimer clock;
        clock.start();
        while (lockHolder(lockFile) != first.process->processId() && first.running() &&
               clock.elapsed() < 15000)
            QThread::msleep(10);
        QVERIFY2(lockHolder(lockFile) == first.process->processId(), qPrintable(first.output()));

        // A second one headless, then one with a window (its box closed once painted).
        Started headless;
        headless.start(executable(p), folder, headlessArguments(p), environmentWith(log));
        Started window;
        QVERIFY(waitForAll({&headless}, 15000));
        window.start(executable(p), folder, {}, environmentWith(log, true));
        QVERIFY(waitForAll({&window}, 15000));
        QCOMPARE(headless.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(headless.err), refusal(p, folder) + u'\n');
        QCOMPARE(headless.out, QByteArray());
        QCOMPARE(window.exitCode(), 2);
        QVERIFY2(QString::fromUtf8(window.err).contains(refusal(p, folder) + u'\n'), window.err.constData());
        QCOMPARE(window.out, QByteArray());
        // The Pellavo window takes its first look after 10.44 s; the seconds came sooner.
        QVERIFY2(first.running(), qPrintable(first.output()));
        QCOMPARE(bench.outcomes(), QStringList(bench.names().size(), QStringLiteral("kept")));
        QCOMPARE(readRunLog(log).runs, 0);

        // In another folder the same program runs beside the first.
        {
            Bench other(p, QStringLiteral("0"));
            other.populate();
            other.setEnvironment({"CHAIN_TOOL_RUN_LOG=" + log});
            const Bench::Run run = other.run();
            QVERIFY2(run.exitCode == 0, qPrintable(run.output));
            QCOMPARE(other.outcomes(), QStringList(other.names().size(), QStringLiteral("filed")));
        }

        // Killed, the first leaves its lock file, but not its lock.
        QVERIFY(first.running());
        QCOMPARE(::kill(static_cast<pid_t>(first.process->processId()), SIGKILL), 0);
        QVERIFY(first.process->waitForFinished(5000));
        QVERIFY(QFile::exists(lockFile));
        QCOMPARE(lockHolder(lockFile), 0);
        const Bench::Run again = bench.run();
        QVERIFY2(again.exitCode == 0, qPrintable(again.output));
        QCOMPARE(bench.outcomes(), QStringList(bench.names().size(), QStringLiteral("filed")));
        QCOMPARE(bench.leftovers(), QStringList());
        // Every input of both folders went to the tool once. (Runs in the two folders may
        // overlap: each folder has its own tool.)
        const RunLog runs = readRunLog(log);
        QCOMPARE(runs.twice(), 0);
        g_table << TableRow{
            QStringLiteral("%1 with its window open: a second in its folder, headless and with "
                           "a window; one in another folder; the first killed, a new one")
                .arg(faults::nameOf(p)),
            QStringLiteral("both seconds ended with 2 at once, told the folder, did nothing; "
                           "the one in another folder ran; after the kill the new one ran"),
            runs.runs,
            runs.twice(),
            runs.overlaps,
            0};
    }

    // Pellavo and Orvane started together in one start folder, which holds the VirtualDub
    // both use, 20 jobs each. Both step every 208.8 ms; `offsetMs` is how much later Orvane
    // starts. Each VirtualDub job takes `toolSeconds`: shorter than a step, so that the
    // next step of both finds no tool running, or longer, so that steps find it busy.
    void pellavoAndOrvaneShareOneVirtualDub_data() {
        QTest::addColumn<int>("offsetMs");
        QTest::addColumn<QByteArray>("toolSeconds");
        QTest::newRow("at once") << 0 << QByteArray("0.05");
        QTest::newRow("at once, again") << 0 << QByteArray("0.05");
        QTest::newRow("Orvane 40 ms later") << 40 << QByteArray("0.05");
        QTest::newRow("Orvane 150 ms later") << 150 << QByteArray("0.05");
        QTest::newRow("Orvane 600 ms later") << 600 << QByteArray("0.05");
        QTest::newRow("at once, jobs longer than a step") << 0 << QByteArray("0.3");
    }
    void pellavoAndOrvaneShareOneVirtualDub() {
        QFETCH(int, offsetMs);
        QFETCH(QByteArray, toolSeconds);
        static int round = 0;
        const QString log = runLog(QStringLiteral("shared-%1").arg(++round));
        SharedVirtualDub shared;
        shared.populate(QStringLiteral("10.44"), toolSeconds);
        if (QTest::currentTestFailed())
            return;

        Started pellavo;
        Started orvane;
        pellavo.start(executable(Program::Pellavo), shared.path("prog"),
                      headlessArguments(Program::Pellavo, QStringLiteral("0.02")), environmentWith(log));
        if (offsetMs > 0)
            QThread::msleep(static_cast<unsigned long>(offsetMs));
        orvane.start(executable(Program::Orvane), shared.path("prog"),
                     headlessArguments(Program::Orvane, QStringLiteral("0.02088")), environmentWith(log));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(waitForAll({&pellavo, &orvane}, 120000));
        const qint64 elapsed = clock.elapsed();
        const QString outputs = "Pellavo:\n" + pellavo.output() + "\nOrvane:\n" + orvane.output();
        const RunLog runs = readRunLog(log);
        const int waits =
            static_cast<int>(outputs.count(QStringLiteral("ほかのプログラムがツールを起動しているところ")));
        int lost = 0;
        const QStringList wrong = shared.wrong(runs, &lost);
        g_table << TableRow{QStringLiteral("Pellavo and Orvane on one VirtualDub folder, 20 jobs each, "
                                           "Orvane started %1 ms after Pellavo, each job %2 s")
                                .arg(offsetMs)
                                .arg(QString::fromLatin1(toolSeconds)),
                            QStringLiteral("%1; %2 s; %3 times one waited for the other's hand-over")
                                .arg(wrong.isEmpty()
                                         ? QStringLiteral("all 40 jobs done once, every file filed")
                                         : wrong.join(QStringLiteral("; ")))
                                .arg(double(elapsed) / 1000.0, 0, 'f', 1)
                                .arg(waits),
                            runs.runs,
                            runs.twice(),
                            runs.overlaps,
                            lost};
        // The whole story on failure (a failure message is cut short).
        if (!wrong.isEmpty())
            qWarning().noquote() << runs.lines << u'\n' << outputs;
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        QCOMPARE(runs.overlaps, 0);
        QCOMPARE(runs.twice(), 0);
        QCOMPARE(runs.runs, 2 * SharedVirtualDub::Jobs);
        QCOMPARE(pellavo.exitCode(), 0);
        QCOMPARE(orvane.exitCode(), 0);
    }

    // Two of the same program started at the same moment in one start folder: one ends
    // with 2, the other does every input once.
    void twoStartedAtOnceInOneFolder_data() {
        QTest::addColumn<int>("program");
        for (Program program : {Program::Kestrune, Program::Pellavo, Program::Orvane})
            QTest::addRow("%s", qPrintable(faults::nameOf(program))) << int(program);
    }
    void twoStartedAtOnceInOneFolder() {
        QFETCH(int, program);
        const auto p = static_cast<Program>(program);
        const QString log = runLog("twice-" + faults::nameOf(p));
        Bench bench(p, QStringLiteral("1"));
        bench.populate();
        addInputs(bench, 6);
        if (QTest::currentTestFailed())
            return;
        const QString folder = bench.path("prog");

        Started one;
        Started two;
        one.start(executable(p), folder, headlessArguments(p), environmentWith(log));
        two.start(executable(p), folder, headlessArguments(p), environmentWith(log));
        QVERIFY(waitForAll({&one, &two}, 120000));
        const RunLog runs = readRunLog(log);
        const QStringList outcomes = bench.outcomes();
        const int lost =
            countOf(outcomes, QStringLiteral("gone")) + countOf(outcomes, QStringLiteral("elsewhere"));
        const QString outputs = "first:\n" + one.output() + "\nsecond:\n" + two.output();
        g_table << TableRow{QStringLiteral("two %1s started at once in one folder, %2 inputs")
                                .arg(faults::nameOf(p))
                                .arg(jobCount(bench)),
                            QStringLiteral("exit statuses %1 and %2; %3 of %4 filed")
                                .arg(one.exitCode())
                                .arg(two.exitCode())
                                .arg(countOf(outcomes, QStringLiteral("filed")))
                                .arg(outcomes.size()),
                            runs.runs,
                            runs.twice(),
                            runs.overlaps,
                            lost};

        QCOMPARE(
            QList<int>({std::min(one.exitCode(), two.exitCode()), std::max(one.exitCode(), two.exitCode())}),
            QList<int>({0, 2}));
        const Started& refused = one.exitCode() == 2 ? one : two;
        QCOMPARE(QString::fromUtf8(refused.err), refusal(p, folder) + u'\n');
        QVERIFY2(outcomes == QStringList(outcomes.size(), QStringLiteral("filed")), qPrintable(outputs));
        QCOMPARE(runs.runs, jobCount(bench));
        QCOMPARE(runs.jobs.size(), jobCount(bench));
        QCOMPARE(runs.twice(), 0);
        QCOMPARE(runs.overlaps, 0);
        QCOMPARE(bench.leftovers(), QStringList());
    }
};

QTEST_GUILESS_MAIN(SideBySide)
#include "test_side_by_side.moc"
