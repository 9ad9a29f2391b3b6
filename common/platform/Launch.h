#pragma once

#include "OpResult.h"

#include <string>

namespace chain::platform {

// Starts a program from a command-line text (UTF-8) without waiting for it, in the
// current working directory. Windows: CreateProcessW with the text as it is and a
// normal activated or minimised window. POSIX: no shell; the argument vector is the
// one `splitCommandLine` gives, and the child is detached so it never lingers as a
// zombie and outlives the caller; a Windows program (its file starts with "MZ") runs
// through the wine found on PATH with the same arguments, and fails with NeedsWine
// when there is none. On POSIX the tool's standard input, output and error are the
// null device, so nothing of it mixes into our output, unless `keepOutput` asks for ours
// to be passed on (for debugging); on Windows the tools have consoles of their own.
OpResult launchDetached(const std::string& commandLine, bool minimised, bool keepOutput = false);

} // namespace chain::platform
