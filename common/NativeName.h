#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace chain {

// Paths cross into the platform layer as the system's own bytes. On POSIX a name need
// not be valid UTF-8 (raw cp932 bytes are common in files copied from Windows): each
// byte that is not part of valid UTF-8 is carried in the text as the lone surrogate
// U+DC80 + byte and turned back into that byte on the way out, so such a file is found,
// renamed and moved under its real name. On Windows names are UTF-8 both ways.
QString fromNative(std::string_view bytes);
std::string toNative(const QString& text);

} // namespace chain
