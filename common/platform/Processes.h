#pragma once

#include <string>
#include <vector>

namespace chain::platform {

// Whether processes of given image names exist, names compared case-insensitively.
// Windows: one Toolhelp32 snapshot. Linux: one pass over /proc, zombies left out; a
// process matches a name when the base name of its exe link or of its argv[0] is the
// name, or its comm equals the first 15 characters of the name, or it is one of Wine's
// starters (wine, wine64...) still loading a program of that name. A list that can't be
// read gives Unknown, with the reason in `error`.
enum class ProcessAnswer { No, Yes, Unknown };

// One pass over the process list answers every name: found[i] tells whether
// imageNames[i] runs. Yes when at least one of them runs.
ProcessAnswer processesRunning(const std::vector<std::string>& imageNames, std::vector<bool>& found,
                               std::string& error);

// The same question for one name.
ProcessAnswer processExists(const std::string& imageName, std::string& error);

} // namespace chain::platform
