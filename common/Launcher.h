#pragma once

#include <QString>

namespace chain {

// Starts an outside program from one command-line text, without waiting for it.
class Launcher {
  public:
    enum class Window { Normal, Minimised };
    virtual ~Launcher() = default;
    // Returns an empty text when the program was started, otherwise the reason.
    virtual QString start(const QString& commandLine, Window window) = 0;
};

// Starts real processes: on Windows from the text itself, elsewhere from the argument
// vector that a Windows program would read from that text. No shell is involved, and
// the started program outlives ours. On POSIX the program's standard output and error
// go to the null device, so nothing of it mixes into our output; with the environment
// variable CHAIN_SHOW_TOOL_OUTPUT set to 1 (for debugging) it writes to ours.
class SystemLauncher : public Launcher {
  public:
    QString start(const QString& commandLine, Window window) override;
};

// The debugging switch above: true when CHAIN_SHOW_TOOL_OUTPUT is 1.
bool showToolOutput();

} // namespace chain
