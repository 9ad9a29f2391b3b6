#include "WavLength.h"
#include "WaveBytes.h"

#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pellavo;
using namespace pellavo::testing;
using chain::testing::writeFile;

// The length of a .wav read from its header, and the frame range made from it.
class WaveTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void headerGivesTheLength_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("ms"); // -1: no length
        const QByteArray pcm = chunk("fmt ", fmtBody(1, 2, 48000, 16));
        const QByteArray oneSecond(192000, '\0');
        QTest::newRow("PCM") << pcmWave(1000) << qint64(1000);
        QTest::newRow("rounded down")
            << riff(pcm + chunk("data", QByteArray(192 * 1500 + 191, '\0'))) << qint64(1500);
        QTest::newRow("extensible float, 6 channels")
            << riff(chunk("fmt ", fmtBody(0, 6, 44100, 32, 3)) +
                    chunk("data", QByteArray(1058400 * 2 + 1000, 0)))
            << qint64(2000);
        QTest::newRow("other chunks and a pad byte first")
            << riff(chunk("fmt ", fmtBody(1, 1, 8000, 8) + le16(0)) + chunk("LIST", "odd") +
                    chunk("data", QByteArray(8000 * 3, '\x80')))
            << qint64(3000);
        QTest::newRow("data before fmt") << riff(chunk("data", oneSecond) + pcm) << qint64(1000);
        QTest::newRow("data size 0: to the end")
            << riff(pcm + "data" + le32(0) + QByteArray(192 * 700, '\0')) << qint64(700);
        QTest::newRow("data size FFFFFFFF: to the end")
            << riff(pcm + "data" + le32(0xFFFFFFFF) + QByteArray(192 * 800, '\0')) << qint64(800);
        QTest::newRow("cut short: what is there")
            << riff(pcm + "data" + le32(192000) + QByteArray(192 * 300, '\0')) << qint64(300);
        QTest::newRow("RF64 through ds64")
            << riff(chunk("ds64", QByteArray(8, 0) + le32(192 * 1200) + le32(0) + QByteArray(12, 0)) + pcm +
                        "data" + le32(0xFFFFFFFF) + QByteArray(192 * 1200, '\0'),
                    "RF64")
            << qint64(1200);
        QTest::newRow("garbage") << QByteArray("hello, this is no wave at all") << qint64(-1);
        QTest::newRow("no fmt") << riff(chunk("data", oneSecond)) << qint64(-1);
        QTest::newRow("header cut in fmt") << riff(pcm).left(30) << qint64(-1);
        QTest::newRow("ADPCM") << riff(chunk("fmt ", fmtBody(2, 2, 48000, 4)) + chunk("data", oneSecond))
                               << qint64(-1);
        QTest::newRow("byte rate 0") << riff(chunk("fmt ", fmtBody(1, 2, 0, 16)) + chunk("data", oneSecond))
                                     << qint64(-1);
        QTest::newRow("nine channels")
            << riff(chunk("fmt ", fmtBody(1, 9, 48000, 16)) + chunk("data", oneSecond)) << qint64(-1);
        QByteArray oddGuid = fmtBody(0, 2, 48000, 16, 1);
        oddGuid[30] = 'X';
        QTest::newRow("extensible, unknown sub-format")
            << riff(chunk("fmt ", oddGuid) + chunk("data", oneSecond)) << qint64(-1);
        QTest::newRow("RF64 without ds64")
            << riff(pcm + "data" + le32(0xFFFFFFFF) + oneSecond, "RF64") << qint64(-1);
    }
    void headerGivesTheLength() {
        QFETCH(QByteArray, file);
        QFETCH(qint64, ms);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("a.wav")), file);
        const WaveLength length = readWaveLength(dir.filePath(QStringLiteral("a.wav")));
        QCOMPARE(length.milliseconds.value_or(-1), ms);
        QCOMPARE(length.error.isEmpty(), ms >= 0);
    }

    // Over 4 GB of sound as sparse files: RF64 with its ds64 size, and plain RIFF whose
    // 32-bit size says "to the end". Reading the whole file would take minutes and memory.
    void lengthsBeyondFourGigabytes() {
        QTemporaryDir dir;
        const qint64 data = 5'000'000'000;
        const QByteArray pcm = chunk("fmt ", fmtBody(1, 2, 48000, 16));
        const QByteArray rf64 = riff(chunk("ds64", le32(0) + le32(0) + le32(quint32(data)) +
                                                       le32(quint32(data >> 32)) + QByteArray(12, 0)) +
                                         pcm + "data" + le32(0xFFFFFFFF),
                                     "RF64");
        const QByteArray plain = riff(pcm + "data" + le32(0xFFFFFFFF));
        for (const QByteArray& header : {rf64, plain}) {
            QFile file(dir.filePath(QStringLiteral("big.wav")));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(file.write(header), header.size());
            QVERIFY(file.resize(header.size() + data));
            file.close();
            QCOMPARE(readWaveLength(file.fileName()).milliseconds,
                     std::optional<qint64>(data * 1000 / 192000));
        }
    }

    void frameCountRoundsAsTheJobWriterDoes_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("frames");
        QTest::newRow("1800500 ms") << qint64(1800500) << 1 << 53959;
        QTest::newRow("3600000 ms") << qint64(3600000) << 1 << 107890;
        QTest::newRow("5432 ms") << qint64(5432) << 1 << 161;
        QTest::newRow("999 ms") << qint64(999) << 1 << 28;
        QTest::newRow("1000 ms") << qint64(1000) << 1 << 28;
        QTest::newRow("100 ms") << qint64(100) << 1 << 1;
        QTest::newRow("23.976: 1800500 ms") << qint64(1800500) << 2 << 43167;
        // Here the four-decimal rounding carries the sum over a whole number.
        QTest::newRow("rounding carries, 29.97") << qint64(130664) << 1 << 3915;
        QTest::newRow("rounding carries, 23.976") << qint64(250000) << 2 << 5993;
    }
    void frameCountRoundsAsTheJobWriterDoes() {
        QFETCH(qint64, ms);
        QFETCH(int, choice);
        QFETCH(int, frames);
        QCOMPARE(frameCount(ms, choice), frames);
    }

    void wavLengthFillsTheSlotsOrRefuses_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("50 ms") << qint64(50) << false;
        QTest::newRow("99 ms") << qint64(99) << false;
        QTest::newRow("100 ms") << qint64(100) << true;
        QTest::newRow("5432 ms") << qint64(5432) << true;
    }
    void wavLengthFillsTheSlotsOrRefuses() {
        QFETCH(qint64, ms);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("a.wav")), pcmWave(ms));
        SettingTable settings(SettingTableSize);
        settings.set(slot::FrameRate, QStringLiteral("1"));
        const QString error = WavLength(settings, dir.filePath(QStringLiteral("a.wav")));
        QCOMPARE(error.isEmpty(), accepted);
        QCOMPARE(settings.text(slot::WavMilliseconds), accepted ? QString::number(ms) : QString());
        QCOMPARE(settings.text(slot::Frames), accepted ? QString::number(frameCount(ms, 1)) : QString());
        QVERIFY(!WavLength(settings, dir.filePath(QStringLiteral("missing.wav"))).isEmpty());
    }
};

QTEST_GUILESS_MAIN(WaveTest)
#include "test_wave.moc"
