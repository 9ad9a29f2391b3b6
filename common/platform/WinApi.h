#pragma once

#include "OpResult.h"

#include <string>
#include <string_view>

// What the Windows files of the platform layer share: UTF-8 and UTF-16 text, paths in
// the form the system takes past MAX_PATH, and results made from GetLastError codes.
namespace chain::platform::win {

// UTF-8 to UTF-16; false (and `wide` emptied) for bytes that aren't valid UTF-8.
bool toWide(std::string_view utf8, std::wstring& wide);
// UTF-16 to UTF-8 (unpaired surrogates become U+FFFD).
std::string toUtf8(std::wstring_view wide);

// A path (UTF-8) for the wide file functions. One of 248 characters or more (the limit
// for folders) becomes an extended-length path: "\\?\C:\..." or "\\?\UNC\server\...",
// made absolute with separators as backslashes and "." and ".." resolved, since the
// system does none of that behind the prefix. Empty for text that isn't UTF-8.
std::wstring filePath(std::string_view utf8);
// The same for an already wide path.
std::wstring extendedIfLong(std::wstring path);

// A failed result for a GetLastError code, with the system's message as the detail.
OpResult failure(unsigned long error);
// The same for the calling thread's last error.
OpResult lastFailure();
// The system's message for an error code, in UTF-8, without the final line break.
std::string errorText(unsigned long error);

} // namespace chain::platform::win
