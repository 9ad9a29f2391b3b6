#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace chain {

// Reads a cp932 text file as lines. A line ends at CR LF, a lone LF or a lone CR; a
// line end after the last line adds no empty line. Nothing comes back when the file
// can't be opened or read, or when its bytes are not valid cp932.
std::optional<QStringList> readTextLines(const QString& path);

// Writes the lines as cp932, each followed by CR LF, replacing the file whole through
// a temporary file in the same folder, so a failure leaves the old file as it was.
// Returns an empty text on success, otherwise the reason in Japanese. Text that cp932
// can't hold is refused before anything is written.
QString writeTextLines(const QString& path, const QStringList& lines);

} // namespace chain
