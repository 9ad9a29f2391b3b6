#pragma once

#include <string>
#include <vector>

namespace chain::platform {

// Whether processes of given image names exist, names compared case-insensitively.
// Windows: one Toolhelp32 snapshot. Linux: one pass over /proc, zombies left out; a
// process matches a name when its comm equals the first 15 characters of the name, or
// the base name of its exe link or of its argv[0] is the name, or it is one of Wine's
// starters (wine, wine64...) still loading a program of that name. Each process costs
// the read of its stat line (state and comm), and while names are left unanswered the
// read of its exe link and of its command line. A list that can't be read gives
// Unknown, with the reason in `error`.
enum class ProcessAnswer { No, Yes, Unknown };

// One pass over the process list answers every name: found[i] tells whether
// imageNames[i] runs. Yes when at least one of them runs.
ProcessAnswer processesRunning(const std::vector<std::string>& imageNames, std::vector<bool>& found,
                               std::string& error);

#ifndef _WIN32
// The same pass over another folder laid out as /proc: tests give it made-up processes.
ProcessAnswer processesRunningIn(const std::string& procFolder, const std::vector<std::string>& imageNames,
                                 std::vector<bool>& found, std::string& error);
#endif

// The same question for one name.
ProcessAnswer processExists(const std::string& imageName, std::string& error);

} // namespace chain::platform
