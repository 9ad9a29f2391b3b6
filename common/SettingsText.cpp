#include "SettingsText.h"

namespace chain {

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

std::optional<QString> unquoteLine(const QString& line) {
    const QString trimmed = trimBlanks(line);
    if (trimmed.size() < 2)
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2);
}

QString quoteLine(const QString& value) {
    return u'"' + value + u'"';
}

} // namespace chain
