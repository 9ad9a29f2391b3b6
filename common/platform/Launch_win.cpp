#include "Launch.h"

#include "CommandLine.h"
#include "WinApi.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// Starting a program on Windows: CreateProcessW with the command-line text exactly as
// built and no application name, so the system finds the program as it would for that
// text; the window shown normal and activated, or minimised; the working folder and
// the environment inherited; no handles passed on, none kept, and no waiting.

namespace chain::platform {

OpResult launchDetached(const std::string& commandLine, bool minimised, bool /*keepOutput: own console*/) {
    const std::vector<std::string> args = splitCommandLine(commandLine);
    if (args.empty() || args.front().empty())
        return OpResult{OpResult::Kind::Other, 0, "no program named in the command line"};
    std::wstring text;
    if (!win::toWide(commandLine, text))
        return OpResult{OpResult::Kind::Other, 0, "the command line is not valid UTF-8"};

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(minimised ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    PROCESS_INFORMATION process{};
    // A console program gets a console of its own, as it would when started from a
    // window: its output never mixes with ours, and Ctrl+C in our console doesn't end it.
    if (!::CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                          &startup, &process))
        return win::lastFailure();
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return OpResult::success();
}

} // namespace chain::platform
