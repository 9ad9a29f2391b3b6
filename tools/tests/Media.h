#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <vector>

// Real media for the tests of the ffmpeg-backed tools: made and measured with ffmpeg itself.
namespace chain::testing {

inline bool hasFfmpeg() {
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
}

inline const char* const NoFfmpeg =
    "ffmpeg is not installed (apt-get install ffmpeg): real-media test skipped";

// Runs ffmpeg or ffprobe with quiet logging; its standard output, or a null array when it fails.
inline QByteArray ffrun(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, QStringList{QStringLiteral("-v"), QStringLiteral("error")} + args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    const QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

// A broadcast-style recording: MPEG-2 video at 29.97 frames a second and AAC audio, one
// stream for each audio source given (lavfi sources, e.g. "aevalsrc=…"), in MPEG-TS.
inline bool makeRecording(const QString& path, double seconds, const QStringList& audioSources) {
    const QString length = QString::number(seconds);
    QStringList args{"-f", "lavfi", "-i", "testsrc2=size=320x180:rate=30000/1001:duration=" + length};
    QStringList maps{"-map", "0:v"};
    for (qsizetype i = 0; i < audioSources.size(); ++i) {
        args << "-f"
             << "lavfi"
             << "-i" << audioSources[i] + ":d=" + length;
        maps << "-map" << QString::number(i + 1) + ":a";
    }
    return !ffrun(QStringLiteral("ffmpeg"), args + maps +
                                                QStringList{"-c:v", "mpeg2video", "-b:v", "1M", "-g", "15",
                                                            "-c:a", "aac", "-f", "mpegts", "file:" + path})
                .isNull();
}

// Entries of the first stream of a kind ("v" or "a"), joined by commas; empty when there is none.
inline QString streamEntry(const QString& path, const QString& kind, const QString& entries) {
    return QString::fromUtf8(ffrun(QStringLiteral("ffprobe"),
                                   {"-select_streams", kind + ":0", "-show_entries", "stream=" + entries,
                                    "-of", "default=nw=1:nk=1", "file:" + path}))
        .trimmed()
        .replace(u'\n', u',');
}

// The number of video frames, counted by decoding them all; -1 when it can't be read. (For
// MPEG-TS, ffprobe tells the stream twice: under its program and on its own.)
inline int videoFrames(const QString& path) {
    const QString text =
        QString::fromUtf8(ffrun(QStringLiteral("ffprobe"),
                                {"-count_frames", "-select_streams", "v:0", "-show_entries",
                                 "stream=nb_read_frames", "-of", "default=nw=1:nk=1", "file:" + path}))
            .section(u'\n', 0, 0);
    bool ok = false;
    const int frames = text.toInt(&ok);
    return ok ? frames : -1;
}

// The peak level (0 to 32768) of each channel of the first audio stream.
inline std::vector<int> channelPeaks(const QString& path) {
    const int channels = streamEntry(path, QStringLiteral("a"), QStringLiteral("channels")).toInt();
    const QByteArray pcm =
        ffrun(QStringLiteral("ffmpeg"), {"-i", "file:" + path, "-map", "0:a:0", "-f", "s16le", "pipe:1"});
    std::vector<int> peaks(static_cast<std::size_t>(std::max(channels, 0)), 0);
    for (qsizetype i = 0; channels > 0 && i + 1 < pcm.size(); i += 2) {
        const int sample = qFromLittleEndian<qint16>(pcm.constData() + i);
        int& peak = peaks[static_cast<std::size_t>((i / 2) % channels)];
        peak = std::max(peak, std::abs(sample));
    }
    return peaks;
}

} // namespace chain::testing
