#pragma once

#include <QString>

namespace chain {

// Pieces of the command lines the engines give their outside tools.

// An argument between double quotes, written so that a Windows program (and our POSIX
// launcher) reads back exactly `value`: backslashes before the closing quote are
// doubled, so a value ending in "\" can't swallow the quote. Other values come out as
// they are, between quotes.
QString quoteArgument(const QString& value);

// The program's path as the command line starts with it: as it is, or between quotes
// when it holds a blank or tab (unquoted, Windows would start another program).
QString programArgument(const QString& programPath);

} // namespace chain
