#pragma once

#include "OpResult.h"

#include <cstdint>
#include <string>

namespace chain::platform {

// An exclusive lock on a lock file, held until it is released or the process ends (the
// system releases it then, so a kill never leaves a stale lock). The lock file itself is
// left in place: removing it would let two programs lock two different files of one name.
// flock() on POSIX, LockFileEx() on Windows; the lock is never handed on to a started
// program.
class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on `path` without waiting, creating the file when it is missing.
    // Fails with Busy while another holder has it (another process, or another FileLock
    // of this one); `lock` then stays as it was.
    static OpResult tryLock(const std::string& path, FileLock& lock);
    bool held() const { return m_handle != Unheld; }
    void release();

  private:
    static constexpr std::intptr_t Unheld = -1;
    std::intptr_t m_handle = Unheld; // the file descriptor, or the Windows HANDLE
};

} // namespace chain::platform
