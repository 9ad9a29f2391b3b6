#include "ConversionEngine.h"
#include "Settings.h"
#include "TestFiles.h"

#include "FileOps.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace kestrune;
using chain::testing::writeFile;

namespace {
const QString Demuxer = QStringLiteral("BonTsDemux.exe");

QString toolsDir() {
    return qEnvironmentVariable("CHAIN_TOOLS_DIR");
}

QString binDir() {
    return qEnvironmentVariable("CHAIN_BIN_DIR");
}

// Writes a settings file for the workspace: mode, folders and the check interval.
void writeSettings(const QString& programFolder, const QString& mode, const QString& root) {
    Settings s(SettingsSize);
    s.set(slot::ProgramFolder, programFolder);
    applyDefaults(s);
    s.set(slot::Mode, mode);
    s.set(slot::SourceFolder, root + QStringLiteral("/rec"));
    s.set(slot::AfterFolder, root + QStringLiteral("/done"));
    s.set(slot::OutputFolder, root + QStringLiteral("/out"));
    s.set(slot::IndividualInterval, QStringLiteral("1"));
    s.set(slot::CheckInterval, QStringLiteral("20"));
    QCOMPARE(SaveSettings(s), QString());
}

// Whether the process list shows a process of the name; nothing when it can't be read.
std::optional<bool> runs(chain::ProcessWatch& watch, const QString& name) {
    const std::optional<QStringList> running = watch.running({name});
    if (!running)
        return std::nullopt;
    return !running->isEmpty();
}

} // namespace

// The real launcher, the real process list and the stand-in demuxer on real folders.
class ChainTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_dir;
    QString m_program;

    void waitUntilGone(chain::ProcessWatch& watch) {
        QElapsedTimer clock;
        clock.start();
        while (runs(watch, Demuxer).value_or(true) && clock.elapsed() < 20000)
            QThread::msleep(50);
    }

  private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        QVERIFY2(!toolsDir().isEmpty(), "CHAIN_TOOLS_DIR is not set");
        QDir root(m_dir.path());
        for (const char* sub : {"prog", "rec", "done", "out"})
            QVERIFY(root.mkpath(QString::fromLatin1(sub)));
        m_program = m_dir.filePath(QStringLiteral("prog"));
        QVERIFY(QFile::copy(toolsDir() + QStringLiteral("/BonTsDemux.exe"),
                            m_program + QStringLiteral("/BonTsDemux.exe")));
        writeFile(m_program + QStringLiteral("/BonTsDemux.seconds"), "0.4");
    }

    void cleanup() {
        chain::SystemProcessWatch watch;
        waitUntilGone(watch);
        m_dir.remove();
        m_dir = QTemporaryDir();
    }

    void engineConvertsWithTheStandIn() {
        Settings settings(SettingsSize);
        settings.set(slot::ProgramFolder, m_program);
        writeSettings(m_program, QStringLiteral("1"), m_dir.path());
        QVERIFY(loadSettings(settings));
        writeFile(m_dir.filePath(QStringLiteral("rec/A#B.ts")), "recording");
        Keywords keywords;
        chain::SystemProcessWatch watch;
        chain::SystemLauncher launcher;
        ConversionEngine engine(settings, keywords, watch, launcher);

        QVERIFY(engine.start(m_dir.filePath(QStringLiteral("rec")), {"A#B.ts"}, {"A#B"}));
        QVERIFY(engine.step()); // renames and launches
        QCOMPARE(settings.text(slot::Pending), QStringLiteral("1"));
        QCOMPARE(runs(watch, Demuxer), std::optional<bool>(true));
        QCOMPARE(runs(watch, QStringLiteral("bontsdemux.exe")), std::optional<bool>(true));
        waitUntilGone(watch);
        QCOMPARE(runs(watch, Demuxer), std::optional<bool>(false)); // ended, not a lingering zombie
        QVERIFY(!engine.step());                                    // finished: moved, list done
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("done/AB.ts"))));
        QCOMPARE(QFile(m_dir.filePath(QStringLiteral("out/AB.m2v"))).size(), 9);
        QVERIFY(QFile(m_dir.filePath(QStringLiteral("out/AB.wav"))).size() > 44);
    }

    void failingDemuxerLeavesTheRecording() {
        Settings settings(SettingsSize);
        settings.set(slot::ProgramFolder, m_program);
        writeSettings(m_program, QStringLiteral("1"), m_dir.path());
        QVERIFY(loadSettings(settings));
        writeFile(m_program + QStringLiteral("/BonTsDemux.fail"), "");
        writeFile(m_dir.filePath(QStringLiteral("rec/a.ts")), "recording");
        Keywords keywords;
        chain::SystemProcessWatch watch;
        chain::SystemLauncher launcher;
        ConversionEngine engine(settings, keywords, watch, launcher);
        QVERIFY(engine.start(m_dir.filePath(QStringLiteral("rec")), {"a.ts"}, {"a"}));
        QVERIFY(engine.step());
        waitUntilGone(watch);
        QVERIFY(!engine.step());
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("rec/a.ts"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("done/a.ts"))));
    }

    void headlessAutoModeRunsUntilIdle() {
        writeSettings(m_program, QStringLiteral("0"), m_dir.path());
        writeFile(m_dir.filePath(QStringLiteral("rec/番組!.ts")), "recording one");
        writeFile(m_dir.filePath(QStringLiteral("rec/news.ts")), "recording two");
        QProcess kestrune;
        kestrune.setWorkingDirectory(m_program);
        kestrune.start(binDir() + QStringLiteral("/kestrune"),
                       {"--headless", "--until-idle", "--time-scale", "0.02"});
        QVERIFY(kestrune.waitForFinished(60000));
        const QString output = QString::fromUtf8(kestrune.readAllStandardOutput());
        QCOMPARE(kestrune.exitCode(), 0);
        QVERIFY2(output.contains(QStringLiteral("番組！.ts")), qPrintable(output));
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("done"))).entryList(QDir::Files),
                 (QStringList{"news.ts", "番組！.ts"}));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("out/news.m2v"))));
    }

    void headlessExitStatuses() {
        QProcess kestrune;
        kestrune.setWorkingDirectory(m_program);
        writeSettings(m_program, QStringLiteral("1"), m_dir.path()); // individual, nothing to list
        kestrune.start(binDir() + QStringLiteral("/kestrune"), {"--headless"});
        QVERIFY(kestrune.waitForFinished(20000));
        QCOMPARE(kestrune.exitCode(), 1);
        QVERIFY(QString::fromUtf8(kestrune.readAllStandardError())
                    .contains(QStringLiteral("[ファイル無し] 該当する(.TS)ファイルが、ありません。")));

        QVERIFY(QFile::remove(m_program + QStringLiteral("/BonTsDemux.exe")));
        kestrune.start(binDir() + QStringLiteral("/kestrune"), {"--headless"});
        QVERIFY(kestrune.waitForFinished(20000));
        QCOMPARE(kestrune.exitCode(), 2);
        QVERIFY(QString::fromUtf8(kestrune.readAllStandardError()).contains(QStringLiteral("[エラー]")));
    }
};

QTEST_GUILESS_MAIN(ChainTest)
#include "test_chain.moc"
