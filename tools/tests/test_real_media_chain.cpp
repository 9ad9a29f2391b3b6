// The whole chain on real media: a generated 10-second broadcast-style recording goes through
// Tassik, Kestrune and Pellavo, run headless as built, with the ffmpeg-backed BonTsDemux.exe
// and VirtualDub.exe, and comes out as an .avi of exactly the frame count Pellavo computes from
// the .wav the demuxer wrote.

#include "Media.h"
#include "TestFiles.h"

#include "WavLength.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace chain::testing;

namespace {

// Every name in a folder, hidden ones included.
QStringList everything(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class RealMediaChainTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_dir;

    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    // A settings file as the programs write it: cp932, CR LF.
    void writeSettings(const QString& file, const QStringList& lines) {
        const auto bytes = chain::platform::utf8ToCp932((lines.join("\r\n") + "\r\n").toStdString());
        QVERIFY(bytes);
        writeFile(path(file), QByteArray::fromStdString(*bytes));
    }

    // Runs a program headless in its folder to its end; its exit code, -1 when it didn't end.
    int headless(const QString& program, const QStringList& extra) {
        QProcess process;
        process.setWorkingDirectory(path(program));
        process.start(qEnvironmentVariable("CHAIN_BIN_DIR") + "/" + program,
                      QStringList{"--headless"} + extra);
        if (!process.waitForFinished(60000))
            process.kill();
        qInfo().noquote() << program << "said:\n"
                          << process.readAllStandardOutput() + process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

  private Q_SLOTS:
    void initTestCase() {
        if (!hasFfmpeg())
            QSKIP(NoFfmpeg);
    }

    void recordingBecomesAnAviOfTheWavesFrameCount() {
        for (const char* sub : {"tassik", "kestrune", "recordings", "converted", "output", "pellavo/Set Jobs",
                                "virtualdub", "avi", "m2v-done"})
            QVERIFY(QDir(m_dir.path()).mkpath(QString::fromLatin1(sub)));
        const QString tools = qEnvironmentVariable("CHAIN_TOOLS_DIR") + "/ffmpeg/";
        QVERIFY(QFile::link(tools + "BonTsDemux.exe", path("kestrune/BonTsDemux.exe")));
        QVERIFY(QFile::link(tools + "VirtualDub.exe", path("virtualdub/VirtualDub.exe")));
        for (const QString& pattern : QDir(CHAIN_PATTERNS_DIR).entryList({"*.jobs"}))
            QVERIFY(QFile::copy(CHAIN_PATTERNS_DIR "/" + pattern, path("pellavo/Set Jobs/" + pattern)));
        QVERIFY(makeRecording(path("recordings/朝の ニュース!.ts"), 10,
                              {"aevalsrc=exprs=0.2*sin(440*2*PI*t)|0.2*sin(660*2*PI*t):c=stereo:s=48000"}));

        // Tassik turns the blank into "_"; Kestrune, in individual mode with its default table,
        // "!" into "！"; Pellavo files the .m2v and .wav away (delete flag 0), at 29.97 frames a second.
        writeSettings("tassik/Tassik_Data1.txt", {path("recordings"), "\" \"", "\"_\""});
        writeSettings("kestrune/KestruneData1.txt",
                      {"1", path("recordings"), path("converted"), path("output"), "2", "Demux(m2v+wav)", "0",
                       "0", "0", "0", "1", "120", "0", "1", "\"!?#&~/.\"", "\"！？\\＆～／,\""});
        writeSettings("pellavo/Pellavo_Data1.txt", {path("output"), path("avi"), path("m2v-done"),
                                                    path("virtualdub"), "0", "20", "1", "1"});

        QCOMPARE(headless("tassik", {}), 0);
        QCOMPARE(headless("kestrune", {"--time-scale", "0.1"}), 0);
        QCOMPARE(headless("pellavo", {"--until-idle", "--time-scale", "0.05"}), 0);

        const QString name = "朝の_ニュース！";
        QCOMPARE(everything(path("recordings")), QStringList());
        QCOMPARE(everything(path("converted")), QStringList{name + ".ts"});
        QCOMPARE(everything(path("output")), QStringList());
        QCOMPARE(everything(path("m2v-done")), (QStringList{name + ".m2v", name + ".wav"}));
        QCOMPARE(everything(path("avi")), QStringList{name + ".avi"});

        const pellavo::WaveLength wave = pellavo::readWaveLength(path("m2v-done/" + name + ".wav"));
        QVERIFY2(wave.milliseconds, qPrintable(wave.error));
        const int frames = pellavo::frameCount(*wave.milliseconds, 1);
        const QString avi = path("avi/" + name + ".avi");
        qInfo("the .wav lasts %lld ms: %d frames by the formula, %d in the .avi", *wave.milliseconds, frames,
              videoFrames(avi));
        QCOMPARE(streamEntry(avi, "v", "codec_name,codec_tag_string"), QString("mpeg4,XVID"));
        QCOMPARE(videoFrames(avi), frames);
        QCOMPARE(videoFrames(path("m2v-done/" + name + ".m2v")),
                 videoFrames(path("converted/" + name + ".ts")));
    }
};

QTEST_GUILESS_MAIN(RealMediaChainTest)
#include "test_real_media_chain.moc"
