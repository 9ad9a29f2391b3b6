#include "Lock.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace chain::platform {

OpResult FileLock::tryLock(const std::string& path, FileLock& lock) {
    // O_CLOEXEC: a started tool must not carry our lock on after we end. O_NOFOLLOW: the
    // lock file is ours, never a link planted to make us create a file elsewhere.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0644);
    if (fd < 0) {
        const int error = errno;
        return OpResult{error == EACCES || error == EPERM ? OpResult::Kind::Denied
                        : error == EROFS                  ? OpResult::Kind::ReadOnly
                        : error == ENOENT                 ? OpResult::Kind::NotFound
                                                          : OpResult::Kind::Other,
                        error, std::generic_category().message(error)};
    }
    // flock() locks belong to the open file, so a second open in this process conflicts
    // too, and the lock goes when the last descriptor closes (at the latest, at exit).
    int result = 0;
    while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return OpResult{error == EWOULDBLOCK ? OpResult::Kind::Busy : OpResult::Kind::Other, error,
                        std::generic_category().message(error)};
    }
    lock.release();
    lock.m_handle = fd;
    return OpResult::success();
}

void FileLock::release() {
    if (m_handle == Unheld)
        return;
    ::close(static_cast<int>(m_handle)); // closing the only descriptor drops the lock
    m_handle = Unheld;
}

} // namespace chain::platform
