#include "Lock.h"

// What a lock does the same on every system: it is released when its holder goes, and a move
// hands it on. Taking and releasing it are in Lock_posix.cpp and Lock_win.cpp.
namespace chain::platform {

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept : m_handle(other.m_handle) {
    other.m_handle = Unheld;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = other.m_handle;
        other.m_handle = Unheld;
    }
    return *this;
}

} // namespace chain::platform
