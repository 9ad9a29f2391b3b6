#include "ConvertName.h"

namespace kestrune {

ConvertedName ConvertName(const QString& name, const QString& before, const QString& after) {
    ConvertedName result;
    for (const QChar c : name) {
        const qsizetype p = before.indexOf(c);
        if (p < 0) {
            result.name += c;
            continue;
        }
        ++result.count;
        if (p < after.size() && after[p] != u'\\')
            result.name += after[p];
    }
    return result;
}

} // namespace kestrune
