#include "IntervalRules.h"

#include "WholeNumber.h"

#include <algorithm>

namespace kestrune {

QString keptIndividualInterval(const QString& text) {
    const double number = chain::leadingNumber(text);
    if (number > 60)
        return QStringLiteral("60");
    if (number < 1)
        return QStringLiteral("1");
    return text;
}

int individualIntervalSeconds(const QString& text) {
    return std::clamp(chain::wholeNumber(keptIndividualInterval(text)), 1, 60);
}

CheckInterval checkInterval(const QString& text) {
    const int n = chain::wholeNumber(text);
    if (n < 20)
        return {20, false};
    if (n > 300)
        return {300, false};
    return {n, true};
}

} // namespace kestrune
