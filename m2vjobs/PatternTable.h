#pragma once

#include "TextFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace pellavo {

// One registered job pattern: a label looked for in file names, and the name of its
// pattern file in the "Set Jobs" folder.
struct PatternEntry {
    QString label;
    QString file;
    bool operator==(const PatternEntry&) const = default;
};

// The ordered labels and pattern files JobWrite tries; entry k of the table is
// entries[k - 1], and the count is entries.size().
struct PatternTable {
    QList<PatternEntry> entries;
};

// The table used when Pellavo_Data2.txt can't be read: "others", then "NoResize".
PatternTable defaultPatterns();

// One line of Pellavo_Data2.txt as an entry: trimmed, then split at its last "\"; a
// line without one gives an entry with an empty label and file.
PatternEntry patternFromLine(const QString& line);

// Reads Pellavo_Data2.txt from the start folder, one entry per line. A missing or
// unreadable file gives the default table. Returns what reading the file came to.
chain::TextRead loadPatterns(const QString& startFolder, PatternTable& table);
// The table of the lines of Pellavo_Data2.txt, one entry a line.
PatternTable patternsFromLines(const QStringList& lines);

// The lines of Pellavo_Data2.txt for the table: label + "\" + file per entry, and a
// single empty line for a table without entries.
QStringList patternLines(const PatternTable& table);

// Rewrites Pellavo_Data2.txt in the start folder from the table. Returns an empty text on
// success, otherwise the reason; the old file then stays as it was.
QString SavePatterns(const QString& startFolder, const PatternTable& table);

// The first entry labelled `label`, if any.
std::optional<PatternEntry> firstLabelled(const PatternTable& table, const QString& label);

// Whether the entries no job can be made without are there: the first "NoResize" and
// the first "others" or "その他", each with a pattern file name.
bool hasRequiredEntries(const PatternTable& table);

} // namespace pellavo
