// Runs the ffmpeg-backed BonTsDemux.exe and VirtualDub.exe as real processes on real media in
// temporary folders, and lets ffmpeg fail, names be taken and the tools be killed.

#include "Media.h"
#include "TestFiles.h"

#include "platform/Cp932.h"
#include "platform/Processes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>

using namespace chain::testing;

namespace {

// Exit code and error output of a finished run; exit code -1 when it didn't end by itself.
struct Run {
    int exitCode = -1;
    QString err;
};

Run finish(QProcess& process) {
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

// Every name in a folder, hidden ones included.
QStringList everything(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Whether a process has gone (a zombie counts as gone).
bool gone(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
}

// The level a channel has when it carries the test tone rather than silence.
constexpr int Loud = 5000;

} // namespace

class FfmpegToolsTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_media; // made once: a recording, garbage, a sound file
    std::unique_ptr<QTemporaryDir> m_dir;

    QString media(const QString& name) const { return m_media.filePath(name); }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Starts a tool copied into this test's folder (demux/ or vd/).
    void start(QProcess& process, const QString& tool, const QStringList& args) {
        process.start(path(tool), args);
        QVERIFY(process.waitForStarted());
    }

    Run demux(const QStringList& args) {
        QProcess process;
        start(process, QStringLiteral("demux/BonTsDemux.exe"), args);
        return finish(process);
    }

    // Writes the job list beside VirtualDub.exe (cp932, CR LF) and runs it.
    Run runJobs(const QStringList& lines) {
        const auto bytes = chain::platform::utf8ToCp932((lines.join("\r\n") + "\r\n").toStdString());
        writeFile(path("vd/VirtualDub.jobs"), bytes ? QByteArray::fromStdString(*bytes) : QByteArray("\x81"));
        QProcess process;
        start(process, QStringLiteral("vd/VirtualDub.exe"), {"/x", "/r"});
        return finish(process);
    }

  private Q_SLOTS:
    void initTestCase() {
        if (!hasFfmpeg())
            QSKIP(NoFfmpeg);
        // Two audio streams: stereo with a silent left and a loud right channel, then a loud mono one.
        QVERIFY(makeRecording(media("rec.ts"), 2,
                              {"aevalsrc=exprs=0|0.5*sin(440*2*PI*t):c=stereo:s=48000",
                               "aevalsrc=exprs=0.5*sin(660*2*PI*t):c=mono:s=48000"}));
        QVERIFY(
            !ffrun("ffmpeg", {"-f", "lavfi", "-i", "aevalsrc=exprs=0.5*sin(880*2*PI*t):c=stereo:s=48000:d=3",
                              "file:" + media("sound.wav")})
                 .isNull());
        writeFile(media("garbage.ts"), QByteArray(200000, '\x47'));
    }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        for (const char* sub : {"demux", "vd", "out", "fake"})
            QVERIFY(QDir(m_dir->path()).mkpath(QString::fromLatin1(sub)));
        const QString built = qEnvironmentVariable("CHAIN_TOOLS_DIR") + "/ffmpeg/";
        QVERIFY(QFile::copy(built + "BonTsDemux.exe", path("demux/BonTsDemux.exe")));
        QVERIFY(QFile::link(built + "VirtualDub.exe", path("vd/VirtualDub.exe"))); // linked, as installs do
    }

    void demuxerWritesWhatItsSwitchesAsk_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<bool>("m2v");
        QTest::addColumn<QString>(
            "channels"); // of the .wav, each q(uiet), L(oud) or ? (either); none: no .wav
        QTest::newRow("no switches: video, and the first audio as it is") << QStringList{} << true << "qL";
        QTest::newRow("Demux(m2v)") << QStringList{"-encode", "Demux(m2v)"} << true << "";
        QTest::newRow("Demux(wav), main sound (-sound 1)")
            << QStringList{"-encode", "Demux(wav)", "-sound", "1"} << false << "qq";
        QTest::newRow("sub sound (-sound 2)") << QStringList{"-sound", "2"} << true << "LL";
        QTest::newRow("forced 5.1 (-sound 3)") << QStringList{"-sound", "3"} << true << "??????";
        QTest::newRow("second audio stream (-es 1)") << QStringList{"-es", "1"} << true << "L";
        QTest::newRow("every switch Kestrune writes")
            << QStringList{"-sound", "4", "-es", "1", "-rf641", "-vf1", "-nd", "0"} << true << "??????";
    }
    void demuxerWritesWhatItsSwitchesAsk() {
        QFETCH(QStringList, extra);
        QFETCH(bool, m2v);
        QFETCH(QString, channels);
        const Run run = demux(QStringList{"-i", media("rec.ts"), "-o", path("out/ニュース！")} + extra +
                              QStringList{"-start", "-quit"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        QStringList expected;
        if (m2v) {
            expected << "ニュース！.m2v";
            QCOMPARE(streamEntry(path("out/ニュース！.m2v"), "v", "codec_name"), QString("mpeg2video"));
            QCOMPARE(videoFrames(path("out/ニュース！.m2v")), videoFrames(media("rec.ts")));
        }
        if (!channels.isEmpty()) {
            expected << "ニュース！.wav";
            QCOMPARE(streamEntry(path("out/ニュース！.wav"), "a", "codec_name"), QString("pcm_s16le"));
            const std::vector<int> peaks = channelPeaks(path("out/ニュース！.wav"));
            QCOMPARE(qsizetype(peaks.size()), channels.size());
            for (std::size_t i = 0; i < peaks.size(); ++i) {
                const QChar want = channels[qsizetype(i)];
                if (want != u'?')
                    QVERIFY2((peaks[i] > Loud) == (want == u'L'), qPrintable(QString::number(peaks[i])));
            }
        }
        QCOMPARE(everything(path("out")), expected);
    }

    void demuxerFailuresLeaveNothingUnderTheFinalNames_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("taken"); // a name in the output folder that is there before
        QTest::addColumn<int>("exitCode");
        const QStringList start{"-start", "-quit"};
        QTest::newRow("ffmpeg can't read the source") << "garbage.ts" << start << "" << 5;
        QTest::newRow("no third audio stream") << "rec.ts" << QStringList{"-es", "2"} + start << "" << 5;
        QTest::newRow("no sub channel in a mono stream")
            << "rec.ts" << QStringList{"-es", "1", "-sound", "2"} + start << "" << 5;
        QTest::newRow("the .wav's name is taken") << "rec.ts" << start << "ABC.wav" << 6;
        QTest::newRow("the .m2v's name is taken by a folder") << "rec.ts" << start << "ABC.m2v" << 6;
        QTest::newRow("-quit missing") << "rec.ts" << QStringList{"-start"} << "" << 3;
    }
    void demuxerFailuresLeaveNothingUnderTheFinalNames() {
        QFETCH(QString, source);
        QFETCH(QStringList, extra);
        QFETCH(QString, taken);
        QFETCH(int, exitCode);
        if (taken.endsWith(".wav"))
            writeFile(path("out/" + taken), "someone's sound");
        else if (!taken.isEmpty())
            QVERIFY(QDir().mkpath(path("out/" + taken)));

        const Run run = demux(QStringList{"-i", media(source), "-o", path("out/ABC")} + extra);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(everything(path("out")), taken.isEmpty() ? QStringList() : QStringList{taken});
        if (taken.endsWith(".wav"))
            QCOMPARE(readFile(path("out/" + taken)), QByteArray("someone's sound"));
    }

    void jobsGiveTheirRangesFrameCountAndSound() {
        const QString rec = media("rec.ts");
        const Run run = runJobs({
            "// $job \"Job 1\"",
            "VirtualDub.Open(\"" + rec + "\",\"\",0);",
            "VirtualDub.audio.SetSource(\"" + media("sound.wav") + "\",\"\");",
            "VirtualDub.video.filters.Add(\"resize\");",
            "VirtualDub.subset.AddRange(0,45);",
            "VirtualDub.video.SetRangeFrames(0,45);",
            "VirtualDub.SaveAVI(\"" + path("out/ニュース！.avi") + "\");",
            "VirtualDub.Close();",
            "// $endjob",
            "VirtualDub.Open(\"" + rec + "\",\"\",0);", // sound from the source itself
            "VirtualDub.subset.AddRange(30,90);",       // runs 60 frames past its end
            "VirtualDub.SaveAVI(\"" + path("out/held.avi") + "\");",
            "// $endjob",
            "VirtualDub.Open(\"" + rec + "\",\"\",0);",
            "VirtualDub.audio.SetSource(0);",
            "VirtualDub.video.filters.Add(\"resize\");",
            "VirtualDub.SaveAVI(\"" + path("out/whole.avi") + "\");",
            "// $done",
            "VirtualDub.SaveAVI(\"" + path("out/after.avi") + "\");",
        });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.err.count("filters.Add"), 1); // listed once, and nothing else
        QCOMPARE(run.err.count('\n'), 2);
        QCOMPARE(everything(path("out")), (QStringList{"held.avi", "whole.avi", "ニュース！.avi"}));

        const struct {
            const char* name;
            int frames;
            bool sound;
        } outputs[] = {{"ニュース！.avi", 45, true}, {"held.avi", 90, true}, {"whole.avi", 60, false}};
        for (const auto& out : outputs) {
            const QString avi = path("out/") + QString::fromUtf8(out.name);
            QCOMPARE(streamEntry(avi, "v", "codec_name,codec_tag_string"), QString("mpeg4,XVID"));
            QCOMPARE(videoFrames(avi), out.frames);
            QCOMPARE(!streamEntry(avi, "a", "codec_name").isEmpty(), out.sound);
        }
        // The sound is cut to the 45 frames: 45 × 1001/30000 s at 48 kHz, one channel of 16 bits.
        const QByteArray pcm = ffrun("ffmpeg", {"-i", "file:" + path("out/ニュース！.avi"), "-map", "0:a:0",
                                                "-ac", "1", "-f", "s16le", "pipe:1"});
        QCOMPARE(pcm.size() / 2, qsizetype(45LL * 1001 * 48000 / 30000));
    }

    void failedJobsWriteNothing_data() {
        QTest::addColumn<QStringList>("secondJob"); // OUT stands for its output file
        QTest::addColumn<bool>("taken");            // OUT is there before
        QTest::newRow("output name taken") << QStringList{"VirtualDub.Open(\"REC\",\"\",0);"} << true;
        QTest::newRow("ffmpeg can't read the source")
            << QStringList{"VirtualDub.Open(\"GARBAGE\",\"\",0);"} << false;
        QTest::newRow("ranges that differ")
            << QStringList{"VirtualDub.Open(\"REC\",\"\",0);", "VirtualDub.subset.AddRange(0,10);",
                           "VirtualDub.video.SetRangeFrames(0,20);"}
            << false;
        QTest::newRow("sound file missing")
            << QStringList{"VirtualDub.Open(\"REC\",\"\",0);", "VirtualDub.audio.SetSource(\"GONE\",\"\");"}
            << false;
    }
    void failedJobsWriteNothing() {
        QFETCH(QStringList, secondJob);
        QFETCH(bool, taken);
        for (QString& line : secondJob)
            line.replace("REC", media("rec.ts"))
                .replace("GARBAGE", media("garbage.ts"))
                .replace("GONE", media("gone.wav"));
        if (taken)
            writeFile(path("out/two.avi"), "someone's video");
        const Run run = runJobs(
            QStringList{"VirtualDub.Open(\"" + media("rec.ts") + "\",\"\",0);",
                        "VirtualDub.SaveAVI(\"" + path("out/one.avi") + "\");", "// $endjob"} +
            secondJob + QStringList{"VirtualDub.SaveAVI(\"" + path("out/two.avi") + "\");", "// $done"});
        QCOMPARE(run.exitCode, 5);
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(everything(path("out")),
                 taken ? (QStringList{"one.avi", "two.avi"}) : QStringList{"one.avi"});
        if (taken)
            QCOMPARE(readFile(path("out/two.avi")), QByteArray("someone's video"));
    }

    void aKilledToolTakesItsFfmpegAlong_data() {
        QTest::addColumn<bool>("demuxer"); // else the job runner
        QTest::addColumn<int>("signal");
        QTest::newRow("demuxer, SIGTERM") << true << SIGTERM;
        QTest::newRow("demuxer, SIGKILL") << true << SIGKILL;
        QTest::newRow("job runner, SIGINT") << false << SIGINT;
    }
    void aKilledToolTakesItsFfmpegAlong() {
        QFETCH(bool, demuxer);
        QFETCH(int, signal);
        // An ffmpeg that starts writing its last output, says who it is, and takes its time.
        writeFile(path("fake/ffmpeg"),
                  "#!/bin/sh\nfor a; do last=\"$a\"; done\necho partial >\"${last#file:}\"\n"
                  "echo $$ >\"$FAKE_PID.tmp\" && mv \"$FAKE_PID.tmp\" \"$FAKE_PID\"\nexec sleep 30\n");
        QVERIFY(QFile::setPermissions(path("fake/ffmpeg"), QFile::ReadOwner | QFile::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", path("fake") + ":" + env.value("PATH"));
        env.insert("FAKE_PID", path("fake/pid"));
        QProcess tool;
        tool.setProcessEnvironment(env);
        if (demuxer) {
            start(tool, "demux/BonTsDemux.exe",
                  {"-i", media("rec.ts"), "-o", path("out/ABC"), "-start", "-quit"});
        } else {
            writeFile(path("vd/VirtualDub.jobs"), ("VirtualDub.Open(\"" + media("rec.ts") +
                                                   "\",\"\",0);\r\n"
                                                   "VirtualDub.SaveAVI(\"" +
                                                   path("out/ABC.avi") + "\");\r\n")
                                                      .toUtf8());
            start(tool, "vd/VirtualDub.exe", {"/x", "/r"});
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path("fake/pid")), 10000);
        const qint64 ffmpeg = readFile(path("fake/pid")).trimmed().toLongLong();
        QVERIFY(ffmpeg > 0);
        std::string error;
        const std::string image = demuxer ? "BonTsDemux.exe" : "VirtualDub.exe";
        QCOMPARE(chain::platform::processExists(image, error), chain::platform::ProcessAnswer::Yes);

        QCOMPARE(::kill(static_cast<pid_t>(tool.processId()), signal), 0);
        QVERIFY(tool.waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(gone(ffmpeg), 5000);
        if (signal == SIGKILL) {
            QCOMPARE(tool.exitStatus(), QProcess::CrashExit);
            QCOMPARE(QDir(path("out")).entryList(QDir::Files),
                     QStringList()); // its hidden temporary file stays
        } else {
            QCOMPARE(tool.exitCode(), 7);
            QCOMPARE(everything(path("out")), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(FfmpegToolsTest)
#include "test_ffmpeg_tools.moc"
