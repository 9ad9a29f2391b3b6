#include "ConversionEngine.h"
#include "Settings.h"
#include "TestFiles.h"

#include "FileOps.h"
#include "NativeName.h"
#include "TextFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <filesystem>
#include <fstream>

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
// `blank` names a folder slot to leave empty.
void writeSettings(const QString& programFolder, const QString& mode, const QString& root, int blank = -1) {
    Settings s(SettingsSize);
    s.set(slot::ProgramFolder, programFolder);
    applyDefaults(s);
    s.set(slot::Mode, mode);
    s.set(slot::SourceFolder, root + QStringLiteral("/rec"));
    s.set(slot::AfterFolder, root + QStringLiteral("/done"));
    s.set(slot::OutputFolder, root + QStringLiteral("/out"));
    if (blank >= 0)
        s.set(blank, QString());
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

// The names of a folder as the system's bytes (they need not be UTF-8), sorted.
QList<QByteArray> nativeNames(const QString& folder) {
    QList<QByteArray> names;
    for (const auto& entry : std::filesystem::directory_iterator(chain::toNative(folder)))
        names << QByteArray::fromStdString(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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

    // Steps until the engine stops by itself (true) or 10 s have passed. A demuxer that ended
    // before it was ever seen in the process list keeps the engine waiting a few seconds, as
    // one that has not shown up yet would.
    static bool stopsBySteps(ConversionEngine& engine) {
        QElapsedTimer clock;
        clock.start();
        while (engine.step()) {
            if (clock.elapsed() > 10000)
                return false;
            QThread::msleep(100);
        }
        return true;
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
        // Names that aren't UTF-8 too; a file still held (Windows) is left, not a reason to abort.
        std::error_code ignored;
        std::filesystem::remove_all(chain::toNative(m_dir.path()), ignored);
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
        QVERIFY(stopsBySteps(engine));                              // finished: moved, list done
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
        QVERIFY(stopsBySteps(engine));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("rec/a.ts"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("done/a.ts"))));
    }

    // A recording named in raw cp932 bytes (not UTF-8, as copied from Windows) is
    // converted, renamed through the table and filed away under its real bytes.
    void engineConvertsARecordingNamedInRawCp932() {
#ifdef Q_OS_WIN
        QSKIP("Names on Windows are UTF-16, never raw bytes");
#endif
        Settings settings(SettingsSize);
        settings.set(slot::ProgramFolder, m_program);
        writeSettings(m_program, QStringLiteral("1"), m_dir.path());
        QVERIFY(loadSettings(settings));
        const QByteArray bangumi("\x94\xd4\x91\x67"); // 番組 in cp932
        std::ofstream(chain::toNative(m_dir.filePath(QStringLiteral("rec/"))) +
                      (bangumi + "!.ts").toStdString())
            << "recording";
        const auto listed = chain::listFiles(m_dir.filePath(QStringLiteral("rec")));
        QVERIFY(listed && listed->size() == 1);
        Keywords keywords;
        chain::SystemProcessWatch watch;
        chain::SystemLauncher launcher;
        ConversionEngine engine(settings, keywords, watch, launcher);
        QStringList reports;
        connect(&engine, &ConversionEngine::report, [&](const QString& text) { reports << text; });

        const QString name = listed->first();
        QVERIFY(engine.start(m_dir.filePath(QStringLiteral("rec")), {name}, {name.chopped(3)}));
        QVERIFY(engine.step()); // renames and launches
        waitUntilGone(watch);
        QVERIFY(stopsBySteps(engine));                         // finished: moved, list done
        const QByteArray converted = bangumi + "\xef\xbc\x81"; // 番組 as it was, ！ from the table
        QCOMPARE(nativeNames(m_dir.filePath(QStringLiteral("done"))), QList<QByteArray>{converted + ".ts"});
        QCOMPARE(nativeNames(m_dir.filePath(QStringLiteral("out"))),
                 (QList<QByteArray>{converted + ".m2v", converted + ".wav"}));
        QVERIFY(nativeNames(m_dir.filePath(QStringLiteral("rec"))).isEmpty());
        QVERIFY2(reports.filter(QStringLiteral("できません")).isEmpty(), qPrintable(reports.join(u'\n')));
    }

    // Standard output holds our event lines and nothing else: the demuxer's own output
    // goes to the null device unless CHAIN_SHOW_TOOL_OUTPUT=1 asks for it. The end of an
    // --until-idle run says that the run ended, not that it was stopped.
    void headlessAutoModeRunsUntilIdle_data() {
        QTest::addColumn<bool>("showToolOutput");
        QTest::newRow("tool output to the null device") << false;
#ifndef Q_OS_WIN // on Windows the tool writes to a console of its own (see the README)
        QTest::newRow("tool output shown, for debugging") << true;
#endif
    }
    void headlessAutoModeRunsUntilIdle() {
        QFETCH(bool, showToolOutput);
        writeSettings(m_program, QStringLiteral("0"), m_dir.path());
        writeFile(m_dir.filePath(QStringLiteral("rec/番組!.ts")), "recording one");
        writeFile(m_dir.filePath(QStringLiteral("rec/news.ts")), "recording two");
        QProcess kestrune;
        kestrune.setWorkingDirectory(m_program);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("CHAIN_SHOW_TOOL_OUTPUT"));
        if (showToolOutput)
            environment.insert(QStringLiteral("CHAIN_SHOW_TOOL_OUTPUT"), QStringLiteral("1"));
        kestrune.setProcessEnvironment(environment);
        kestrune.start(binDir() + QStringLiteral("/kestrune"),
                       {"--headless", "--until-idle", "--time-scale", "0.02"});
        QVERIFY(kestrune.waitForFinished(60000));
        const QString output = QString::fromUtf8(kestrune.readAllStandardOutput());
        QCOMPARE(kestrune.exitCode(), 0);
        QVERIFY2(output.contains(QStringLiteral("番組！.ts")), qUtf8Printable(output));
#ifdef Q_OS_WIN
        const QString lineEnd = QStringLiteral("\r\n"); // what the C runtime writes to a pipe
#else
        const QString lineEnd = QStringLiteral("\n");
#endif
        const QStringList lines = output.split(lineEnd, Qt::SkipEmptyParts);
        const QRegularExpression event(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\S"));
        QCOMPARE(lines.filter(event).size() == lines.size(), !showToolOutput);
        QCOMPARE(output.contains(QStringLiteral("wrote ")), showToolOutput); // the stand-in's words
        QVERIFY2(lines.last().endsWith(QStringLiteral("処理するものがなくなったため、終了します")),
                 qUtf8Printable(output));
        QVERIFY(!output.contains(QStringLiteral("変換を中止しました")));
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("done"))).entryList(QDir::Files),
                 (QStringList{"news.ts", "番組！.ts"}));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("out/news.m2v"))));
    }

    // Bad settings are told, on standard error for a refusal (exit 1) and as an event for
    // a file that can't be used; no file is touched.
    void headlessTellsOfBadSettings_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("blank"); // a folder slot left empty, or -1
        QTest::addColumn<bool>("utf8"); // the settings file saved as UTF-8, cut off in a character
        QTest::addColumn<QString>("stdoutHas");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("blank source folder")
            << "1" << int(slot::SourceFolder) << false << QString() << "[入力エラー] 変換元フォルダ";
        QTest::newRow("blank after-conversion folder")
            << "0" << int(slot::AfterFolder) << false << QString() << "[入力エラー] 変換後移動フォルダ";
        QTest::newRow("blank output folder")
            << "1" << int(slot::OutputFolder) << false << QString() << "[入力エラー] 変換先フォルダ";
        QTest::newRow("settings saved as UTF-8") << "1" << -1 << true << "KestruneData1.txt を読めない"
                                                 << "[ファイル無し]";
    }
    void headlessTellsOfBadSettings() {
        QFETCH(QString, mode);
        QFETCH(int, blank);
        QFETCH(bool, utf8);
        QFETCH(QString, stdoutHas);
        QFETCH(QString, stderrHas);
        writeSettings(m_program, mode, m_dir.path(), blank);
        const QString settingsFile = m_program + u'/' + SettingsFileName;
        if (utf8) {
            const auto lines = chain::readTextLines(settingsFile);
            QVERIFY(lines);
            // Neither UTF-8 nor cp932 any more: the file can't be read.
            writeFile(settingsFile,
                      (lines->join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8() + "\xe3\x81");
        }
        const QByteArray before = chain::testing::readFile(settingsFile);
        writeFile(m_dir.filePath(QStringLiteral("rec/a.ts")), "recording");
        QProcess kestrune;
        kestrune.setWorkingDirectory(m_program);
        kestrune.start(binDir() + QStringLiteral("/kestrune"), {"--headless", "--until-idle"});
        QVERIFY(kestrune.waitForFinished(20000));
        const QString out = QString::fromUtf8(kestrune.readAllStandardOutput());
        const QString err = QString::fromUtf8(kestrune.readAllStandardError());
        QCOMPARE(kestrune.exitCode(), 1);
        QVERIFY2(out.contains(stdoutHas), qPrintable(out));
        QVERIFY2(err.contains(stderrHas), qPrintable(err));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("rec/a.ts"))));
        QCOMPARE(chain::testing::readFile(settingsFile), before);
        QVERIFY(QDir(m_dir.filePath(QStringLiteral("out"))).isEmpty());
    }

    // Killed while the demuxer works, then started again: the run is finished off by the
    // ordinary rules, and nothing is converted twice or left behind.
    void headlessRunKilledDuringConversionIsFinishedOffAtTheNextStart() {
        writeSettings(m_program, QStringLiteral("1"), m_dir.path());
        writeFile(m_program + QStringLiteral("/BonTsDemux.seconds"), "2");
        writeFile(m_dir.filePath(QStringLiteral("rec/番組!.ts")), "recording");
        QProcess first;
        first.setWorkingDirectory(m_program);
        first.start(binDir() + QStringLiteral("/kestrune"), {"--headless", "--time-scale", "0.1"});
        QByteArray printed; // until kestrune tells that it has started the demuxer
        QElapsedTimer clock;
        clock.start();
        while (!QString::fromUtf8(printed).contains(QStringLiteral("変換を開始しました: ")) &&
               clock.elapsed() < 20000) {
            first.waitForReadyRead(100);
            printed += first.readAllStandardOutput();
        }
        first.kill(); // SIGKILL, while the demuxer works
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFile::exists(m_program + QStringLiteral("/kestrune.run")));

        QProcess second; // started while the demuxer still works: it waits for it
        second.setWorkingDirectory(m_program);
        second.start(binDir() + QStringLiteral("/kestrune"),
                     {"--headless", "--until-idle", "--time-scale", "0.1"});
        QVERIFY(second.waitForFinished(60000));
        const QString output = QString::fromUtf8(second.readAllStandardOutput());
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(output.contains(QStringLiteral("前回の変換を引き継ぎます")), qPrintable(output));
        QVERIFY2(!output.contains(QStringLiteral("変換を開始しました: ")), qPrintable(output)); // not again
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("done"))).entryList(QDir::Files),
                 QStringList{"番組！.ts"});
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("out"))).entryList(QDir::Files),
                 (QStringList{"番組！.m2v", "番組！.wav"}));
        QVERIFY(QDir(m_dir.filePath(QStringLiteral("rec"))).isEmpty());
        QVERIFY(!QFile::exists(m_program + QStringLiteral("/kestrune.run")));
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

        // Every recording failed: the run ends, but not as done.
        writeSettings(m_program, QStringLiteral("0"), m_dir.path());
        writeFile(m_program + QStringLiteral("/BonTsDemux.fail"), "");
        writeFile(m_dir.filePath(QStringLiteral("rec/a.ts")), "recording");
        kestrune.start(binDir() + QStringLiteral("/kestrune"),
                       {"--headless", "--until-idle", "--time-scale", "0.02"});
        QVERIFY(kestrune.waitForFinished(60000));
        QCOMPARE(kestrune.exitCode(), 3);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("rec/a.ts"))));

        kestrune.start(binDir() + QStringLiteral("/kestrune"), {"--headless", "--until-idel"});
        QVERIFY(kestrune.waitForFinished(20000));
        QCOMPARE(kestrune.exitCode(), 2);

        QVERIFY(QFile::remove(m_program + QStringLiteral("/BonTsDemux.exe")));
        kestrune.start(binDir() + QStringLiteral("/kestrune"), {"--headless"});
        QVERIFY(kestrune.waitForFinished(20000));
        QCOMPARE(kestrune.exitCode(), 2);
        QVERIFY(QString::fromUtf8(kestrune.readAllStandardError()).contains(QStringLiteral("[エラー]")));
    }
};

QTEST_GUILESS_MAIN(ChainTest)
#include "test_chain.moc"
