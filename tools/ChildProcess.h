#pragma once

#include <string>
#include <vector>

// Running ffmpeg as a child that lives no longer than the tool that started it (POSIX).
namespace tools {

// Passes SIGTERM, SIGINT and SIGHUP sent to this process on to the child that runs, and
// remembers them instead of ending at once, so the tool can clean up after its child.
void forwardStopSignals();

// The signal that asked this process to stop, or 0.
int stopSignal();

// Runs a program (looked up on PATH) to its end. Its standard input is the null device; its
// standard output goes to `output` when given, else to ours; it is killed should this
// process die first. Returns its exit status, 128 + the signal that ended it, or 127 when
// it couldn't be started (said on standard error).
int runChild(const std::vector<std::string>& args, std::string* output = nullptr);

} // namespace tools
