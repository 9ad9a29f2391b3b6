#include "WholeNumber.h"

#include <cmath>
#include <limits>

namespace chain {

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Digits are collected as text and read by the C library, so that the value is
    // exactly what the decimal text says (a tie like 300.5 stays a tie).
    QString digits;
    bool seenPoint = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            digits += c;
        } else
            break;
    }
    if (digits.isEmpty() || digits == u".")
        return 0.0;
    const double value = std::strtod(digits.toLatin1().constData(), nullptr);
    return negative ? -value : value;
}

int wholeNumber(const QString& text) {
    const double rounded = std::nearbyint(leadingNumber(text)); // default mode: ties to even
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

} // namespace chain
