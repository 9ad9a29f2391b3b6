#pragma once

#include <QString>
#include <optional>

namespace chain {

// Removes blanks (spaces) from both ends, as the settings files do with every line.
QString trimBlanks(const QString& text);

// Reads a quoted settings line: blanks at both ends are removed, then the first and
// the last character are dropped, whatever they are. A line shorter than two
// characters after trimming can't be read.
std::optional<QString> unquoteLine(const QString& line);

// The line that keeps a value with blanks at its ends: a double quote, the value
// untouched, a double quote.
QString quoteLine(const QString& value);

} // namespace chain
