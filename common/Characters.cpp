#include "Characters.h"

namespace chain {

std::u32string toCharacters(const QString& text) {
    std::u32string characters;
    characters.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            characters.push_back(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            characters.push_back(c.unicode()); // a lone surrogate is kept as it is
        }
    }
    return characters;
}

QString fromCharacters(std::u32string_view characters) {
    QString text;
    text.reserve(static_cast<qsizetype>(characters.size()));
    for (const char32_t c : characters) {
        if (QChar::requiresSurrogates(c)) {
            text += QChar(QChar::highSurrogate(c));
            text += QChar(QChar::lowSurrogate(c));
        } else {
            text += QChar(static_cast<char16_t>(c));
        }
    }
    return text;
}

qsizetype characterCount(const QString& text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

} // namespace chain
