#pragma once

#include <QString>

namespace kestrune {

// Whether the character table typed into its window may be stored.
enum class CharTableVerdict {
    Nothing,       // a string is empty: nothing is stored, and nothing is said
    LengthsDiffer, // the two strings differ in length
    Store,
};

CharTableVerdict checkCharTable(const QString& before, const QString& after);

// A pair may be appended only when both of its characters were typed.
bool canAddCharPair(const QString& before, const QString& after);

} // namespace kestrune
