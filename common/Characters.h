#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace chain {

// A text as the characters a user counts, for character tables and one-character
// boxes: a surrogate pair (an emoji, say) is one character. A lone surrogate, which is
// how a file name's byte that isn't UTF-8 is carried (NativeName.h), stays a character
// of its own, unchanged, so it turns back into the same byte; QString::toUcs4 would
// make it U+FFFD.
std::u32string toCharacters(const QString& text);
QString fromCharacters(std::u32string_view characters);
qsizetype characterCount(const QString& text);

} // namespace chain
