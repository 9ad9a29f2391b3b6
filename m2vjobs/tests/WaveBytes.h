#pragma once

#include <QByteArray>
#include <QtEndian>

// Wave files built byte by byte for Pellavo's tests.
namespace pellavo::testing {

inline QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

inline QByteArray le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// A chunk with its size, padded to an even length.
inline QByteArray chunk(const QByteArray& id, const QByteArray& body) {
    return id + le32(static_cast<quint32>(body.size())) + body + (body.size() % 2 ? QByteArray(1, '\0') : "");
}

// A "fmt " chunk body; `subFormat` non-zero makes it WAVE_FORMAT_EXTENSIBLE.
inline QByteArray fmtBody(quint16 format, quint16 channels, quint32 rate, quint16 bits,
                          quint16 subFormat = 0) {
    const quint16 block = static_cast<quint16>(channels * bits / 8);
    QByteArray body = le16(subFormat ? 0xFFFE : format) + le16(channels) + le32(rate) + le32(rate * block) +
                      le16(block) + le16(bits);
    if (subFormat)
        body += le16(22) + le16(bits) + le32(0) + le16(subFormat) +
                QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return body;
}

// "RIFF" (or "RF64"), the size, "WAVE" and the chunks.
inline QByteArray riff(const QByteArray& chunks, const QByteArray& kind = "RIFF") {
    return kind + le32(kind == "RF64" ? 0xFFFFFFFF : static_cast<quint32>(chunks.size() + 4)) + "WAVE" +
           chunks;
}

// Silence of 48 kHz 16-bit stereo PCM (192 bytes a millisecond).
inline QByteArray pcmWave(qint64 milliseconds) {
    return riff(chunk("fmt ", fmtBody(1, 2, 48000, 16)) +
                chunk("data", QByteArray(milliseconds * 192, '\0')));
}

} // namespace pellavo::testing
