#pragma once

#include <QString>

namespace kestrune {

// The result of rewriting a name through the character table.
struct ConvertedName {
    QString name;
    int count = 0; // characters of the name found in the before string
};

// Rewrites a name in a single pass: each character found in the before string (first
// position wins) is replaced by the after string's character at that position, or
// deleted when that is "\" or the after string is too short. Replacements are not
// looked up again.
ConvertedName ConvertName(const QString& name, const QString& before, const QString& after);

} // namespace kestrune
