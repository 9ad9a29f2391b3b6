#include "WavLength.h"

#include "FileOps.h"
#include "WholeNumber.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace pellavo {

namespace {
constexpr qint64 ShortestMs = 100;           // fewer than three digits of ms give no frame range
constexpr qint64 LongestMs = 10'000'000'000; // about 115 days; keeps the frame count in range
constexpr int MostChunks = 1000;             // a header with more is taken as garbage
constexpr quint32 WholeFile = 0xFFFFFFFF;

quint16 le16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 le32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint64 le64(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint64>(b.constData() + at);
}

QString brokenHeader() {
    return QStringLiteral("WAVE ファイルのヘッダが壊れています");
}

// The byte rate a "fmt " chunk gives, or why it can't be used.
std::optional<quint32> byteRateOf(const QByteArray& fmt, QString& error) {
    if (fmt.size() < 16) {
        error = brokenHeader();
        return std::nullopt;
    }
    quint16 format = le16(fmt, 0);
    if (format == 0xFFFE) { // WAVE_FORMAT_EXTENSIBLE: the real format is in the sub-format GUID
        static const QByteArray guidTail("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
        if (fmt.size() < 40 || fmt.mid(26, 2) != QByteArray(2, '\0') || fmt.mid(28, 12) != guidTail) {
            error = QStringLiteral("対応していない音声形式です (WAVE_FORMAT_EXTENSIBLE)");
            return std::nullopt;
        }
        format = le16(fmt, 24);
    }
    if (format != 1 && format != 3) {
        error = QStringLiteral("対応していない音声形式です (形式番号 %1)").arg(format);
        return std::nullopt;
    }
    const quint16 channels = le16(fmt, 2);
    if (channels < 1 || channels > 8) {
        error = QStringLiteral("対応していないチャンネル数です (%1)").arg(channels);
        return std::nullopt;
    }
    const quint32 byteRate = le32(fmt, 8);
    if (byteRate == 0) {
        error = brokenHeader();
        return std::nullopt;
    }
    return byteRate;
}

// The exact value of a non-negative double in ten-thousandths, rounded half to even.
// value = m × 2^e with m < 2^53, so value × 10^4 = m × 625 × 2^(e+4), and m × 625 fits
// in 64 bits.
qint64 tenThousandths(double value) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent); // value = fraction × 2^exponent
    const auto m = static_cast<quint64>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent - 4; // value × 10^4 = m × 625 / 2^shift
    const quint64 scaled = m * 625;
    if (shift <= 0)
        return static_cast<qint64>(scaled << -shift);
    if (shift >= 64)
        return 0; // below 2^-11 ten-thousandths: rounds to 0
    quint64 whole = scaled >> shift;
    const quint64 rest = scaled & ((quint64{1} << shift) - 1);
    const quint64 half = quint64{1} << (shift - 1);
    if (rest > half || (rest == half && (whole & 1) != 0))
        ++whole;
    return static_cast<qint64>(whole);
}
} // namespace

WaveLength readWaveLength(const QString& path) {
    return waveLengthOf(chain::fileSize(path), [&](quint64 offset, qint64 count, QString* error) {
        return chain::readFileRange(path, static_cast<qint64>(offset), count, error);
    });
}

WaveLength waveLengthOf(std::optional<qint64> size, const ReadRange& readRange) {
    QString error;
    const auto read = [&](quint64 offset, qint64 count) { return readRange(offset, count, &error); };
    const std::optional<QByteArray> head = read(0, 12);
    if (!head)
        return {std::nullopt, error};
    const bool rf64 = head->startsWith("RF64");
    if (!size || head->size() < 12 || !(rf64 || head->startsWith("RIFF")) || head->mid(8, 4) != "WAVE")
        return {std::nullopt, QStringLiteral("WAVE ファイルではありません")};

    const auto end = static_cast<quint64>(*size);
    std::optional<quint64> ds64Data; // the data size of an RF64 file
    std::optional<quint32> byteRate;
    std::optional<quint64> dataBytes;
    quint64 at = 12;
    for (int n = 0; n < MostChunks && at + 8 <= end && !(byteRate && dataBytes); ++n) {
        const std::optional<QByteArray> header = read(at, 8);
        if (!header || header->size() < 8)
            return {std::nullopt, header ? brokenHeader() : error};
        const QByteArray id = header->left(4);
        quint64 chunk = le32(*header, 4);
        const quint64 body = at + 8;
        if (id == "ds64") {
            const std::optional<QByteArray> b = read(body, 24);
            if (!b || b->size() < 24)
                return {std::nullopt, b ? brokenHeader() : error};
            ds64Data = le64(*b, 8);
        } else if (id == "fmt ") {
            const std::optional<QByteArray> b = read(body, static_cast<qint64>(std::min<quint64>(chunk, 40)));
            if (!b)
                return {std::nullopt, error};
            byteRate = byteRateOf(*b, error);
            if (!byteRate)
                return {std::nullopt, error};
        } else if (id == "data") {
            if (rf64 && chunk == WholeFile) {
                if (!ds64Data)
                    return {std::nullopt, brokenHeader()};
                chunk = *ds64Data;
            } else if (!rf64 && (chunk == 0 || chunk == WholeFile)) {
                chunk = end - body; // still being written, or too big for 32 bits: up to the end
            }
            // A file cut short plays only what it holds.
            dataBytes = std::min(chunk, end - body);
        }
        if (chunk > end - body)
            break; // the chunk runs past the end: nothing follows it
        at = body + chunk + (chunk & 1);
    }
    if (!byteRate || !dataBytes)
        return {std::nullopt, brokenHeader()};

    const quint64 seconds = *dataBytes / *byteRate;
    if (seconds > static_cast<quint64>(LongestMs / 1000))
        return {std::nullopt, QStringLiteral("WAVE ファイルの長さが大きすぎます")};
    const qint64 ms = static_cast<qint64>(seconds * 1000 + (*dataBytes % *byteRate) * 1000 / *byteRate);
    return {ms, {}};
}

int frameCount(qint64 milliseconds, int frameRateChoice) {
    const float rate = frameRateChoice == 1 ? 29.97f : 23.976f;
    const auto seconds = static_cast<double>(milliseconds / 1000);
    const double thousandths = static_cast<double>(milliseconds % 1000) / 1000.0;
    const qint64 sum =
        tenThousandths(seconds * rate) + tenThousandths(static_cast<double>(rate) * thousandths);
    return static_cast<int>(sum / 10000 - 1);
}

QString WavLength(SettingTable& settings, const QString& path) {
    const WaveLength length = readWaveLength(path);
    if (!length.milliseconds)
        return length.error;
    if (*length.milliseconds < ShortestMs)
        return QStringLiteral("WAVE ファイルが短すぎます (%1 ミリ秒)").arg(*length.milliseconds);
    settings.set(slot::WavMilliseconds, QString::number(*length.milliseconds));
    settings.set(slot::Frames,
                 QString::number(
                     frameCount(*length.milliseconds, chain::wholeNumber(settings.text(slot::FrameRate)))));
    return {};
}

} // namespace pellavo
