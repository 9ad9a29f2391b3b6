#include "CharTableRule.h"

#include "Characters.h"

namespace kestrune {

CharTableVerdict checkCharTable(const QString& before, const QString& after) {
    if (before.isEmpty() || after.isEmpty())
        return CharTableVerdict::Nothing;
    // Lengths in characters: one outside the BMP (an emoji) counts once.
    if (chain::characterCount(before) != chain::characterCount(after))
        return CharTableVerdict::LengthsDiffer;
    return CharTableVerdict::Store;
}

bool canAddCharPair(const QString& before, const QString& after) {
    return !before.isEmpty() && !after.isEmpty();
}

} // namespace kestrune
