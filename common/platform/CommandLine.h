#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chain::platform {

// Splits a command-line text into the argument vector a Windows program receives (the
// rules of the Microsoft C runtime since 2008; CommandLineToArgvW differs only in
// corners, see CommandLine.cpp): the program name ends at the first blank or tab outside
// quotes, its quotes only toggle and it takes no backslash escapes; in the other
// arguments 2n backslashes before a quote give n backslashes and toggle quoting, 2n+1
// give n backslashes and a literal quote, other backslashes are literal, and "" inside
// quotes gives a quote. An empty text gives no arguments; a text starting with a blank
// gives an empty program name.
std::vector<std::string> splitCommandLine(std::string_view text);

// An argument (not the program name) between double quotes, written so that the split
// above gives back exactly `value`: backslashes before a quote, and at the end before
// the closing quote, are doubled; a quote inside becomes \". A value without quotes and
// without backslashes at its end is just put between quotes.
std::string quoteArgument(std::string_view value);

} // namespace chain::platform
