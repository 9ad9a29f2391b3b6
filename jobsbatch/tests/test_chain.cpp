// Orvane with the real launcher, the real process list and the stand-in VirtualDub.exe
// on real folders, and the built orvane --headless.

#include "BatchEngine.h"
#include "Startup.h"
#include "TestFiles.h"

#include "FileOps.h"
#include "TextFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace orvane;
using chain::testing::writeFile;

namespace {
const QString VirtualDub = QStringLiteral("VirtualDub.exe");

QString standIn() {
    return qEnvironmentVariable("CHAIN_TOOLS_DIR") + QStringLiteral("/VirtualDub.exe");
}

// A jobs file as the chain writes them: one job turning `input` into `output`.
QStringList jobsFile(const QString& input, const QString& output) {
    return {QStringLiteral("// VirtualDub job list"),
            QStringLiteral("// $numjobs 1"),
            QStringLiteral("// $job \"Job 1\""),
            QStringLiteral("// $input \"%1\"").arg(input),
            QStringLiteral("// $output \"%1\"").arg(output),
            QStringLiteral("VirtualDub.Open(\"%1\",\"\",0);").arg(input),
            QStringLiteral("VirtualDub.SaveAVI(\"%1\");").arg(output),
            QStringLiteral("// $endjob"),
            QStringLiteral("// $done"),
            QStringLiteral("VirtualDub.SaveAVI(\"%1.never\");").arg(output)};
}
} // namespace

class ChainTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_dir;

    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    bool virtualDubRuns() {
        chain::SystemProcessWatch watch;
        return watch.running({VirtualDub}).value_or(QStringList{VirtualDub}).contains(VirtualDub);
    }
    // The program folder (also the VirtualDub folder) with the stand-in, two jobs files and
    // their inputs, and a settings file with both options as given.
    void workspace(const QString& deleteLine, const QString& closeLine) {
        for (const char* sub : {"prog", "jobs", "moved", "in", "out"})
            QVERIFY(QDir(m_dir.path()).mkpath(QString::fromLatin1(sub)));
        QVERIFY(QFile::copy(standIn(), path("prog/VirtualDub.exe")));
        writeFile(path("prog/VirtualDub.seconds"), "0.3");
        for (const QString& name : {QStringLiteral("ニュース"), QStringLiteral("drama")}) {
            writeFile(path("in/" + name + ".m2v"), "video");
            QCOMPARE(
                chain::writeTextLines(path("jobs/" + name + ".jobs"),
                                      jobsFile(path("in/" + name + ".m2v"), path("out/" + name + ".avi"))),
                QString());
        }
        QCOMPARE(chain::writeTextLines(path("prog/Orvane_Data.txt"),
                                       {path("prog"), path("jobs"), path("moved"), deleteLine, closeLine}),
                 QString());
    }

  private Q_SLOTS:
    void init() {
        if (!QFile::exists(standIn()))
            QSKIP("the stand-in VirtualDub.exe is not built");
        QVERIFY(m_dir.isValid());
    }
    void cleanup() {
        QElapsedTimer clock;
        clock.start();
        while (virtualDubRuns() && clock.elapsed() < 20000)
            QThread::msleep(50);
        m_dir.remove();
        m_dir = QTemporaryDir();
    }

    void engineRunsEachJobsFileThroughVirtualDub() {
        workspace(QStringLiteral("0"), QStringLiteral("1"));
        StateTable state(StateTableSize);
        JobLists lists(state);
        QCOMPARE(startUp(path("prog"), state, lists), QStringList{});
        chain::SystemProcessWatch watch;
        chain::SystemLauncher launcher;
        BatchEngine engine(state, lists, watch, launcher);
        QStringList reports;
        QObject::connect(&engine, &BatchEngine::report, [&](const QString& t) { reports << t; });

        engine.start();
        QElapsedTimer clock;
        clock.start();
        bool sawVirtualDub = false;
        while (engine.step() && clock.elapsed() < 30000) {
            sawVirtualDub = sawVirtualDub || virtualDubRuns();
            QThread::msleep(100);
        }
        QVERIFY2(clock.elapsed() < 30000, qPrintable(reports.join(u'\n')));
        QVERIFY(sawVirtualDub);
        QVERIFY(!virtualDubRuns()); // the close option ended only after the last run
        QCOMPARE(QDir(path("out")).entryList(QDir::Files), (QStringList{"drama.avi", "ニュース.avi"}));
        QVERIFY(chain::fileSize(path("out/drama.avi")).value_or(0) > 0);
        QCOMPARE(QDir(path("moved")).entryList(QDir::Files), (QStringList{"drama.jobs", "ニュース.jobs"}));
        QCOMPARE(QDir(path("jobs")).entryList(QDir::Files), QStringList{});
        // What VirtualDub was handed last: the used part of the last jobs file.
        const QStringList last = jobsFile(path("in/ニュース.m2v"), path("out/ニュース.avi"));
        QCOMPARE(chain::readTextLines(path("prog/VirtualDub.jobs")).value_or(QStringList{}), last.mid(0, 9));
    }

    void headlessEndsByItselfWithTheCloseOption() {
        workspace(QStringLiteral("1"), QStringLiteral("1"));
        QProcess orvane;
        orvane.setWorkingDirectory(path("prog"));
        orvane.start(qEnvironmentVariable("CHAIN_BIN_DIR") + QStringLiteral("/orvane"),
                     {"--headless", "--time-scale", "0.02"});
        QVERIFY(orvane.waitForFinished(60000));
        const QString output = QString::fromUtf8(orvane.readAllStandardOutput());
        QCOMPARE(orvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(orvane.exitCode(), 0);
        QVERIFY2(output.contains(QStringLiteral("ニュース.jobs")), qPrintable(output));
        QCOMPARE(QDir(path("out")).entryList(QDir::Files), (QStringList{"drama.avi", "ニュース.avi"}));
        QCOMPARE(QDir(path("jobs")).entryList(QDir::Files), QStringList{}); // deleted
        QCOMPARE(QDir(path("moved")).entryList(QDir::Files), QStringList{});
    }
};

QTEST_GUILESS_MAIN(ChainTest)
#include "test_chain.moc"
