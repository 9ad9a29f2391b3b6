#include "Settings.h"
#include "Texts.h"
#include "WaveBytes.h"

#include "TestFiles.h"
#include "ToolWatch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace pellavo;
using chain::testing::readFile;
using chain::testing::writeFile;

// The built pellavo, run headless: the real launcher, the real process list and the
// stand-in VirtualDub on real folders.
class ChainTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_dir;
    QString m_start; // Pellavo's start folder

    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    // Waits until no VirtualDub.exe runs any more; false when it doesn't end in time.
    static bool virtualDubEnds() {
        chain::SystemProcessWatch watch;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            const auto running = watch.running({chain::VirtualDubImage});
            if (running && running->isEmpty())
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    // Settings for the workspace, written as the store writes them.
    void writeSettings(const QString& storage = QStringLiteral("done")) {
        SettingTable settings(SettingTableSize);
        settings.set(slot::StartFolder, m_start);
        applyDefaults(settings);
        settings.set(slot::M2vFolder, path("m2v"));
        settings.set(slot::AviFolder, path("avi"));
        settings.set(slot::StorageFolder, path(storage));
        settings.set(slot::VirtualDubFolder, path("vd"));
        settings.set(slot::DeleteFlag, QStringLiteral("0"));
        settings.set(slot::Interval, QStringLiteral("20"));
        QCOMPARE(SaveSettings(settings), QString());
    }

    QString headless(const QStringList& extra, int* exitCode) {
        QProcess pellavo;
        pellavo.setWorkingDirectory(m_start);
        pellavo.start(qEnvironmentVariable("CHAIN_BIN_DIR") + QStringLiteral("/pellavo"),
                      QStringList{"--headless"} + extra);
        if (!pellavo.waitForFinished(60000))
            pellavo.kill();
        *exitCode = pellavo.exitCode();
        return QString::fromUtf8(pellavo.readAllStandardOutput() + pellavo.readAllStandardError());
    }

    void checkConverted() {
        for (const char* base : {"a", "b"}) {
            const QByteArray avi = readFile(path("avi/%1.avi").arg(QString::fromLatin1(base)));
            QVERIFY(avi.startsWith("RIFF") && avi.mid(8, 4) == "AVI ");
            QVERIFY(avi.contains(QByteArray("video ") + base));
        }
        QCOMPARE(QDir(path("done")).entryList(QDir::Files),
                 (QStringList{"a.m2v", "a.wav", "b.m2v", "b.wav"}));
        QVERIFY(QDir(path("m2v")).isEmpty());
    }

  private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        for (const char* sub : {"start/Set Jobs", "m2v", "avi", "done", "vd"})
            QVERIFY(QDir(m_dir.path()).mkpath(QString::fromLatin1(sub)));
        m_start = path("start");
        QVERIFY(QFile::copy(qEnvironmentVariable("CHAIN_TOOLS_DIR") + QStringLiteral("/VirtualDub.exe"),
                            path("vd/VirtualDub.exe")));
        writeFile(path("vd/VirtualDub.seconds"), "0.3");
        for (const QString& pattern : {text::DefaultOthersPattern, text::DefaultNoResizePattern})
            writeFile(m_start + "/Set Jobs/" + pattern,
                      "// $job \"x\"\r\nVirtualDub.Open(\"x\",\"\",0);\r\nVirtualDub.SaveAVI(\"x\");\r\n"
                      "// $endjob\r\n// $done\r\n");
        for (const char* base : {"a", "b"}) {
            writeFile(path("m2v/%1.m2v").arg(QString::fromLatin1(base)), QByteArray("video ") + base);
            writeFile(path("m2v/%1.wav").arg(QString::fromLatin1(base)), pellavo::testing::pcmWave(500));
        }
    }

    void cleanup() {
        QVERIFY(virtualDubEnds());
        m_dir.remove();
        m_dir = QTemporaryDir();
    }

    void headlessRunsUntilIdle() {
        writeSettings();
        int exitCode = -1;
        const QString output = headless({"--until-idle", "--time-scale", "0.02"}, &exitCode);
        QCOMPARE(exitCode, 0);
        QVERIFY2(output.contains(QStringLiteral("VirtualDub を起動しました")), qPrintable(output));
        checkConverted();
    }

    // A file that failed is passed over; the run still ends when nothing else is left,
    // but not as done.
    void headlessEndsWithThreeWhenAFileFailed() {
        writeSettings();
        QVERIFY(QFile::remove(path("m2v/b.wav")));
        int exitCode = -1;
        const QString output = headless({"--until-idle", "--time-scale", "0.02"}, &exitCode);
        QCOMPARE(exitCode, 3);
        QCOMPARE(QDir(path("avi")).entryList(QDir::Files), QStringList{"a.avi"});
        QCOMPARE(QDir(path("m2v")).entryList(QDir::Files), QStringList{"b.m2v"});
    }

    // A storage folder that is the m2v folder (the defaults) refuses a headless run at once:
    // its settings can't change while it runs.
    void headlessRefusesAStorageFolderThatIsTheM2vFolder() {
        writeSettings(QStringLiteral("m2v"));
        int exitCode = -1;
        const QString output = headless({"--until-idle", "--time-scale", "0.02"}, &exitCode);
        QCOMPARE(exitCode, 1);
        QVERIFY2(output.contains(QStringLiteral("変換しません")), qPrintable(output));
        QCOMPARE(QDir(path("avi")).entryList(QDir::Files), QStringList());
    }

    // Killed while VirtualDub works, then started again: the job under way is finished
    // off under its final names, and no temporary name is left in any folder.
    void headlessRunKilledDuringAJobIsFinishedOffAtTheNextStart() {
        writeSettings();
        writeFile(path("vd/VirtualDub.seconds"), "1"); // long enough to be killed during a job
        QProcess first;
        first.setWorkingDirectory(m_start);
        first.start(qEnvironmentVariable("CHAIN_BIN_DIR") + QStringLiteral("/pellavo"),
                    {"--headless", "--time-scale", "0.02"});
        QByteArray printed; // until pellavo tells that it has started VirtualDub
        QElapsedTimer clock;
        clock.start();
        while (!QString::fromUtf8(printed).contains(QStringLiteral("VirtualDub を起動しました")) &&
               clock.elapsed() < 20000) {
            first.waitForReadyRead(100);
            printed += first.readAllStandardOutput();
        }
        first.kill(); // SIGKILL, while VirtualDub works on a.m2v under its temporary name
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFile::exists(m_start + QStringLiteral("/pellavo.run")));
        QCOMPARE(QDir(path("m2v")).entryList({"????????????????????.m2v"}, QDir::Files).size(), 1);

        int exitCode = -1;
        const QString output = headless({"--until-idle", "--time-scale", "0.02"}, &exitCode);
        QCOMPARE(exitCode, 0);
        QVERIFY2(output.contains(QStringLiteral("前回の実行を引き継ぎます")), qPrintable(output));
        checkConverted();
        QCOMPARE(QDir(path("avi")).entryList(QDir::Files), (QStringList{"a.avi", "b.avi"}));
        QVERIFY(!QFile::exists(m_start + QStringLiteral("/pellavo.run")));
    }

    void headlessEndsWithOneWhenTheEngineStopsItself_data() {
        QTest::addColumn<QByteArray>("patternFile");
        QTest::addColumn<QString>("box");
        QTest::newRow("pattern file missing")
            << QByteArray("others\\gone.jobs\r\nNoResize\\gone.jobs\r\n") << "[ファイルエラー] ";
        QTest::newRow("no pattern for the name")
            << QByteArray("HD\\x.jobs\r\n") << "[データ損傷、致命的エラー] ";
    }
    void headlessEndsWithOneWhenTheEngineStopsItself() {
        QFETCH(QByteArray, patternFile);
        QFETCH(QString, box);
        writeSettings();
        writeFile(m_start + "/" + text::PatternFile, patternFile);
        int exitCode = -1;
        const QString output = headless({"--until-idle", "--time-scale", "0.02"}, &exitCode);
        QCOMPARE(exitCode, 1);
        QVERIFY2(output.contains(box), qPrintable(output));
        QCOMPARE(QDir(path("m2v")).entryList(QDir::Files), (QStringList{"a.m2v", "a.wav", "b.m2v", "b.wav"}));
        QVERIFY(headless({"--time-scale", "2"}, &exitCode).contains(QStringLiteral("--time-scale")));
        QCOMPARE(exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(ChainTest)
#include "test_chain.moc"
