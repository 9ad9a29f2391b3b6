#pragma once

#include "Slots.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace pellavo {

// The playing time of a wave file, read from its RIFF or RF64 header alone.
struct WaveLength {
    std::optional<qint64> milliseconds; // floor(data bytes × 1000 / byte rate)
    QString error;                      // why there is none, in Japanese
};

// Reads the header of a .wav (PCM, IEEE float or WAVE_FORMAT_EXTENSIBLE, 1 to 8
// channels), skipping chunks it doesn't need, without reading the sound itself.
WaveLength readWaveLength(const QString& path);

// Up to `count` bytes of a file from `offset` on (fewer at its end); nothing when they
// can't be read, `error` then saying why.
using ReadRange = std::function<std::optional<QByteArray>(quint64 offset, qint64 count, QString* error)>;
// The same reading, of a file of `size` bytes (nothing: its size can't be told) whose
// bytes come from `read`.
WaveLength waveLengthOf(std::optional<qint64> size, const ReadRange& read);

// The last frame of the range VirtualDub converts, for a .wav of `milliseconds`
// (100 or more) at 29.97 frames a second (`frameRateChoice` 1) or 23.976 (any other):
// the seconds and the thousandths each times the single-precision rate, each rounded
// to four decimals (halves to even), summed, the whole part taken, less one.
int frameCount(qint64 milliseconds, int frameRateChoice);

// The length of the .wav at `path` into slot 30 and its frame count into slot 29.
// Returns an empty text, or why the file can't give a length (missing, unreadable, not
// a wave file, shorter than 100 ms); the slots are then left as they were.
QString WavLength(SettingTable& settings, const QString& path);

} // namespace pellavo
