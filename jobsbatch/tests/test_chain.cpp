// The built orvane --headless with the real launcher, the real process list and the
// stand-in VirtualDub.exe on real folders.

#include "TestFiles.h"

#include "FileOps.h"
#include "ProcessWatch.h"
#include "TextFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {
QString standIn() {
    return qEnvironmentVariable("CHAIN_TOOLS_DIR") + QStringLiteral("/VirtualDub.exe");
}

} // namespace

class ChainTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void headlessRunsTheJobsAndEndsByItself_data() {
        QTest::addColumn<bool>("emptyJob"); // an empty jobs file beside them, passed over
        QTest::addColumn<int>("exitCode");
        QTest::newRow("every jobs file ran") << false << 0;
        QTest::newRow("one jobs file failed") << true << 3;
    }
    void headlessRunsTheJobsAndEndsByItself() {
        QFETCH(bool, emptyJob);
        QFETCH(int, exitCode);
        QVERIFY2(QFile::exists(standIn()), qPrintable(standIn()));
        QTemporaryDir dir;
        const auto path = [&](const QString& relative) { return dir.filePath(relative); };
        for (const char* sub : {"prog", "jobs", "moved", "in", "out"})
            QVERIFY(QDir(dir.path()).mkpath(QString::fromLatin1(sub)));
        QVERIFY(QFile::copy(standIn(), path("prog/VirtualDub.exe")));
        chain::testing::writeFile(path("prog/VirtualDub.seconds"), "0.5");
        const QStringList names{"drama", "ニュース"};
        for (const QString& name : names) {
            chain::testing::writeFile(path("in/" + name + ".m2v"), "video");
            QCOMPARE(chain::writeTextLines(
                         path("jobs/" + name + ".jobs"),
                         chain::testing::jobsFile(path("in/" + name + ".m2v"), path("out/" + name + ".avi"))),
                     QString());
        }
        if (emptyJob)
            chain::testing::writeFile(path("jobs/empty.jobs"), "");
        QCOMPARE(chain::writeTextLines(path("prog/Orvane_Data.txt"),
                                       {path("prog"), path("jobs"), path("moved"), "0", "1"}),
                 QString());

        QProcess orvane;
        orvane.setWorkingDirectory(path("prog"));
        orvane.start(qEnvironmentVariable("CHAIN_BIN_DIR") + QStringLiteral("/orvane"),
                     {"--headless", "--time-scale", "0.02"});
        QVERIFY(orvane.waitForFinished(60000));
        const QString output = QString::fromUtf8(orvane.readAllStandardOutput());
        QCOMPARE(orvane.exitCode(), exitCode);
        QVERIFY(
            QString::fromUtf8(chain::testing::readFile(path("prog/orvane.log"))).contains("ニュース.jobs"));
        // The close option ended the run only after the last VirtualDub had gone.
        chain::SystemProcessWatch watch;
        QCOMPARE(watch.running({"VirtualDub.exe"}), std::optional<QStringList>(QStringList{}));
        QCOMPARE(QDir(path("out")).entryList(QDir::Files), (QStringList{"drama.avi", "ニュース.avi"}));
        QVERIFY2(chain::fileSize(path("out/ニュース.avi")).value_or(0) > 0, qPrintable(output));
        QCOMPARE(QDir(path("moved")).entryList(QDir::Files), (QStringList{"drama.jobs", "ニュース.jobs"}));
        QCOMPARE(QDir(path("jobs")).entryList(QDir::Files),
                 emptyJob ? QStringList{"empty.jobs"} : QStringList{});
        QCOMPARE(chain::readTextLines(path("prog/VirtualDub.jobs")).value_or(QStringList{}),
                 chain::testing::jobsFile(path("in/ニュース.m2v"), path("out/ニュース.avi")).mid(0, 6));
    }

    // A headless start is refused as "開始" is: with the delete option off, a jobs-move
    // folder that is the jobs folder. Nothing is handed over or moved.
    void headlessStartRefusesAMoveFolderThatIsTheJobsFolder() {
        QTemporaryDir dir;
        const auto path = [&](const QString& relative) { return dir.filePath(relative); };
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("jobs")));
        chain::testing::writeFile(path("jobs/a.jobs"), "a\r\n");
        QCOMPARE(chain::writeTextLines(path("Orvane_Data.txt"),
                                       {dir.path(), path("jobs"), path("jobs"), "0", "1"}),
                 QString());
        QProcess orvane;
        orvane.setWorkingDirectory(dir.path());
        orvane.start(qEnvironmentVariable("CHAIN_BIN_DIR") + QStringLiteral("/orvane"),
                     {"--headless", "--no-log"});
        QVERIFY(orvane.waitForFinished(20000));
        const QString errors = QString::fromUtf8(orvane.readAllStandardError());
        QCOMPARE(orvane.exitCode(), 1);
        QVERIFY2(
            errors.contains(QStringLiteral("[フォルダ指定確認] jobs移動フォルダが(.jobs)フォルダと同じです")),
            qPrintable(errors));
        QCOMPARE(QDir(path("jobs")).entryList(QDir::Files), QStringList{"a.jobs"});
        QVERIFY(!QFile::exists(path("VirtualDub.jobs")));
    }
};

QTEST_GUILESS_MAIN(ChainTest)
#include "test_chain.moc"
