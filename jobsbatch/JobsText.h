#pragma once

#include <QStringList>

namespace orvane {

// What the batch reads in a jobs file (a VirtualDub job list, one line per entry).

// The line without the spaces at its end.
QString withoutTrailingSpaces(const QString& line);

// The lines VirtualDub.jobs gets: every line without its trailing spaces, up to and
// including the first line that begins with "// $done" (all of them when none does).
QStringList usedPart(const QStringList& lines);

// True when the lines hold nothing but blanks: such a jobs file gives VirtualDub no job.
bool isBlank(const QStringList& lines);

// The output file names of the "// $output" lines, in file order: what follows the last
// path separator of the line (the closing quote of a quoted path included), or the whole
// line when it has none.
QStringList outputNames(const QStringList& lines);
// The whole paths those lines name (the text after the mark, without its quotes), to watch
// the outputs grow.
QStringList outputPaths(const QStringList& lines);

} // namespace orvane
