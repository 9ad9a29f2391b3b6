// The wave header reader: any bytes give a length or a reason, never both; a file cut
// shorter never plays longer; a plain PCM header gives exactly its data bytes' length.

#include "FuzzSupport.h"

#include "WavLength.h"

#include <QtEndian>

namespace {
constexpr qint64 LongestMs = 10'000'000'000;

// The length of a file of `size` bytes that begins with `head` and holds zeros after it.
pellavo::WaveLength lengthOf(const QByteArray& head, qint64 size) {
    return pellavo::waveLengthOf(size, [&](quint64 offset, qint64 count, QString*) {
        const qint64 end = std::min<qint64>(size, static_cast<qint64>(offset) + count);
        QByteArray bytes = head.mid(static_cast<qsizetype>(offset), end - static_cast<qint64>(offset));
        bytes.append(end - static_cast<qint64>(offset) - bytes.size(), '\0');
        return std::optional<QByteArray>(bytes);
    });
}

void requireSound(const pellavo::WaveLength& length) {
    fuzz::require(length.milliseconds.has_value() != !length.error.isEmpty(), "a length or a reason");
    fuzz::require(!length.milliseconds || (*length.milliseconds >= 0 && *length.milliseconds <= LongestMs),
                  "a length within range");
}

QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
QByteArray le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const pellavo::WaveLength whole = lengthOf(file, file.size());
    requireSound(whole);
    const pellavo::WaveLength cut = lengthOf(file.left(file.size() / 2), file.size() / 2);
    requireSound(cut);
    fuzz::require(!whole.milliseconds || !cut.milliseconds || *cut.milliseconds <= *whole.milliseconds,
                  "a file cut shorter never plays longer");

    if (size < 10)
        return 0;
    const quint32 byteRate = qFromLittleEndian<quint32>(data) | 1;
    const quint32 dataBytes = qFromLittleEndian<quint32>(data + 4);
    const auto channels = static_cast<quint16>(1 + data[8] % 8);
    const QByteArray header = "RIFF" + le32(36 + dataBytes) + "WAVEfmt " + le32(16) +
                              le16(1 + 2 * (data[9] & 1)) + le16(channels) + le32(byteRate / channels) +
                              le32(byteRate) + le16(channels) + le16(8) + "data" + le32(dataBytes);
    const pellavo::WaveLength plain = lengthOf(header, header.size() + qint64{dataBytes});
    const quint64 expected = quint64{dataBytes} * 1000 / byteRate;
    if (dataBytes / byteRate > LongestMs / 1000) {
        fuzz::require(!plain.milliseconds, "a length beyond range is refused");
        return 0;
    }
    fuzz::require(plain.milliseconds == static_cast<qint64>(expected), "a plain header's length is exact");
    if (expected >= 100) {
        for (int choice : {1, 2}) {
            const int frames = pellavo::frameCount(static_cast<qint64>(expected), choice);
            fuzz::require(frames >= 1 && frames <= static_cast<qint64>(expected) * 30 / 1000,
                          "the frame range lies within the sound");
        }
    }
    return 0;
}
