#pragma once

#include "TextFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvane {

// The jobs files on disk: reading one within a size limit, and filing one away into the
// jobs-move folder.

// A jobs file is a small text. One larger than this (a recording or an archive given the
// name of a jobs file, say) is refused without being read.
inline constexpr qint64 MaxJobsFileBytes = 16 * 1024 * 1024;

// The bytes of a jobs file; nothing when it is missing, can't be read, changed while it
// was read, or is larger than MaxJobsFileBytes (then `tooLarge` is set and nothing of it
// was read). `reason` says why.
std::optional<QByteArray> readJobsBytes(const QString& path, QString* reason = nullptr,
                                        bool* tooLarge = nullptr);

// A jobs file read as cp932 text, as chain::readTextFile reads it, but within the size
// limit: a larger file is Unreadable, with `tooLarge` set.
chain::TextRead readJobsFile(const QString& path, bool* tooLarge = nullptr);

// Moves a finished jobs file to `to`, never replacing anything there. Across volumes
// (another drive or filesystem) it is copied instead: written under a temporary name beside
// `to`, read back and compared, given the name `to`, and only then is `from` deleted. Either
// way a failure leaves `from` as it was and nothing under `to`. Returns an empty text on
// success, otherwise the reason.
QString moveJobsFile(const QString& from, const QString& to);

// Whether two folder paths name one folder (the same text, or the same folder once "..",
// "." and links are resolved).
bool sameFolder(const QString& a, const QString& b);

} // namespace orvane
