#include "Processes.h"

#include "WinApi.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <tlhelp32.h>

// The Windows process list: one Toolhelp32 snapshot per question. Image names are
// compared whole and with letter case ignored, which gives the same yes/no answers as a
// query of Win32_Process by Name.

namespace chain::platform {

ProcessAnswer processesRunning(const std::vector<std::string>& imageNames, std::vector<bool>& found,
                               std::string& error) {
    error.clear();
    found.assign(imageNames.size(), false);
    std::vector<std::wstring> names(imageNames.size());
    std::size_t left = 0;
    for (std::size_t i = 0; i < imageNames.size(); ++i) {
        // No process has an empty name; a name that isn't UTF-8 can't be one either.
        if (!imageNames[i].empty() && win::toWide(imageNames[i], names[i]))
            ++left;
        else
            names[i].clear();
    }

    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        error = "process list: " + win::errorText(::GetLastError());
        return ProcessAnswer::Unknown;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool more = ::Process32FirstW(snapshot, &entry) != FALSE;
    while (more && left > 0) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!found[i] && !names[i].empty() &&
                ::CompareStringOrdinal(entry.szExeFile, -1, names[i].c_str(),
                                       static_cast<int>(names[i].size()), TRUE) == CSTR_EQUAL) {
                found[i] = true;
                --left;
            }
        }
        more = ::Process32NextW(snapshot, &entry) != FALSE;
    }
    const DWORD lastError = more ? ERROR_SUCCESS : ::GetLastError();
    ::CloseHandle(snapshot);
    if (lastError != ERROR_SUCCESS && lastError != ERROR_NO_MORE_FILES) {
        error = "process list: " + win::errorText(lastError);
        found.assign(imageNames.size(), false);
        return ProcessAnswer::Unknown;
    }
    for (const bool f : found) {
        if (f)
            return ProcessAnswer::Yes;
    }
    return ProcessAnswer::No;
}

ProcessAnswer processExists(const std::string& imageName, std::string& error) {
    std::vector<bool> found;
    return processesRunning({imageName}, found, error);
}

} // namespace chain::platform
