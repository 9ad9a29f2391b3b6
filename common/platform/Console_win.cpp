#include "Console.h"

#include <io.h>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace chain::platform {

namespace {

// A standard handle the parent gave us (a file, a pipe, a console) is kept as it is.
bool hasTarget(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// The console behind `stream`, or nothing when it goes to a pipe, a file or nowhere.
HANDLE consoleOf(std::FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor < 0)
        return nullptr;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
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

void writeText(std::FILE* stream, std::string_view utf8) {
    const HANDLE console = consoleOf(stream);
    if (console == nullptr || utf8.empty()) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    std::wstring wide(utf8.size(), L'\0'); // never more UTF-16 units than UTF-8 bytes
    wide.resize(size_t(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()))));
    std::fflush(stream); // what went out through the stream before comes first
    const wchar_t* rest = wide.data();
    size_t left = wide.size();
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteConsoleW(console, rest, DWORD(left), &written, nullptr) || written == 0)
            return;
        rest += written;
        left -= written;
    }
}

} // namespace chain::platform
