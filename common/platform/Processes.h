#pragma once

#include <string>

namespace chain::platform {

// Whether a process of the image name exists, the name compared case-insensitively.
// Windows: a Toolhelp32 snapshot. Linux: /proc, zombies left out; a process matches
// when the base name of its exe link or of its argv[0] is the name, or its comm equals
// the first 15 characters of the name. A list that can't be read gives Unknown, with
// the reason in `error`.
enum class ProcessAnswer { No, Yes, Unknown };
ProcessAnswer processExists(const std::string& imageName, std::string& error);

} // namespace chain::platform
