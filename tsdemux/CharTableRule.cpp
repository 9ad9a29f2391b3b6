#include "CharTableRule.h"

namespace kestrune {

CharTableVerdict checkCharTable(const QString& before, const QString& after) {
    if (before.isEmpty() || after.isEmpty())
        return CharTableVerdict::Nothing;
    if (before.size() != after.size())
        return CharTableVerdict::LengthsDiffer;
    return CharTableVerdict::Store;
}

bool canAddCharPair(const QString& before, const QString& after) {
    return !before.isEmpty() && !after.isEmpty();
}

} // namespace kestrune
