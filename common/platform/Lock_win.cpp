#include "Lock.h"

#include "WinApi.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace chain::platform {

namespace {
HANDLE handleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}
} // namespace

OpResult FileLock::tryLock(const std::string& path, FileLock& lock) {
    // Shared for reading, writing and deleting: the lock is the byte range below, not
    // the share mode, so other programs may still look at the file. No security
    // attributes: the handle is not inherited by a started tool.
    const HANDLE file = ::CreateFileW(win::filePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return win::lastFailure();
    // The system drops the lock when the handle closes, at the latest when the process ends.
    OVERLAPPED at{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(file);
        OpResult result = win::failure(error);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION || error == ERROR_IO_PENDING)
            result.kind = OpResult::Kind::Busy;
        return result;
    }
    lock.release();
    lock.m_handle = reinterpret_cast<std::intptr_t>(file);
    return OpResult::success();
}

void FileLock::release() {
    if (m_handle == Unheld)
        return;
    const HANDLE file = handleOf(m_handle);
    OVERLAPPED at{};
    ::UnlockFileEx(file, 0, 1, 0, &at);
    ::CloseHandle(file);
    m_handle = Unheld;
}

} // namespace chain::platform
