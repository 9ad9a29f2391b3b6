#include "Console.h"

#include <cstdio>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace chain::platform {

namespace {

// A standard handle the parent gave us (a file, a pipe, a console) is kept as it is.
bool hasTarget(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

void attachParentConsole() {
    const bool out = hasTarget(STD_OUTPUT_HANDLE);
    const bool err = hasTarget(STD_ERROR_HANDLE);
    if (out && err)
        return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    FILE* ignored = nullptr;
    if (!out)
        ::freopen_s(&ignored, "CONOUT$", "w", stdout);
    if (!err)
        ::freopen_s(&ignored, "CONOUT$", "w", stderr);
}

} // namespace chain::platform
