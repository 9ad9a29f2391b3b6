#include "Files.h"

#include "AsciiCase.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace chain::platform {

namespace {

#ifndef RENAME_NOREPLACE
constexpr unsigned RenameNoReplace = 1U << 0; // from <linux/fs.h>
#else
constexpr unsigned RenameNoReplace = RENAME_NOREPLACE;
#endif

// The system's own words for an error number (strerror text, thread-safe).
std::string errorText(int error) {
    return std::generic_category().message(error);
}

OpResult::Kind kindOf(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY:
        return OpResult::Kind::Exists;
    case EXDEV:
        return OpResult::Kind::CrossVolume;
    case ENOENT:
    case ENOTDIR:
        return OpResult::Kind::NotFound;
    case EACCES:
    case EPERM:
        return OpResult::Kind::Denied;
    case EROFS:
        return OpResult::Kind::ReadOnly;
    case EBUSY:
    case ETXTBSY:
        return OpResult::Kind::Busy;
    case ENOSPC:
    case EDQUOT:
        return OpResult::Kind::NoSpace;
    case ENAMETOOLONG:
        return OpResult::Kind::NameTooLong;
    case EILSEQ:
        return OpResult::Kind::InvalidName;
    case EISDIR:
        return OpResult::Kind::NotRegularFile;
    default:
        return OpResult::Kind::Other;
    }
}

OpResult failure(int error) {
    return OpResult{kindOf(error), error, errorText(error)};
}

// rename() that fails with EEXIST instead of replacing; EINVAL or ENOSYS when the
// filesystem or kernel can't do it. Names are relative to their folder's descriptor
// (AT_FDCWD: the working folder).
int renameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
#if defined(__linux__) && defined(SYS_renameat2)
    return static_cast<int>(::syscall(SYS_renameat2, fromDir, from, toDir, to, RenameNoReplace));
#else
    (void)fromDir;
    (void)from;
    (void)toDir;
    (void)to;
    (void)RenameNoReplace;
    errno = ENOSYS;
    return -1;
#endif
}

// Last resort for filesystems with neither renameat2 flags nor hard links (CIFS and
// the like): claim the target name with an exclusively created empty file, then rename
// the source over that placeholder, which is our own. Files only.
OpResult moveOverPlaceholder(int fromDir, const char* from, int toDir, const char* to, int linkError) {
    struct stat st {};
    if (::fstatat(fromDir, from, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return failure(errno);
    if (S_ISDIR(st.st_mode))
        return failure(linkError);
    const int fd = ::openat(toDir, to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return failure(errno);
    ::close(fd);
    if (::renameat(fromDir, from, toDir, to) != 0) {
        const int error = errno;
        ::unlinkat(toDir, to, 0);
        return failure(error);
    }
    return OpResult::success();
}

// moveNoReplace() with each name relative to a folder's descriptor.
OpResult moveNoReplaceAt(int fromDir, const char* from, int toDir, const char* to) {
    if (renameNoReplace(fromDir, from, toDir, to) == 0)
        return OpResult::success();
    const int renameError = errno;
    if (renameError != EINVAL && renameError != ENOSYS)
        return failure(renameError);

    // The filesystem can't rename without replacing: a hard link under the new name
    // (which fails if the name is taken), then the old name removed.
    if (::linkat(fromDir, from, toDir, to, 0) == 0) {
        if (::unlinkat(fromDir, from, 0) == 0)
            return OpResult::success();
        const int error = errno;
        ::unlinkat(toDir, to, 0); // the link we just made; the file stays under its old name
        return failure(error);
    }
    const int linkError = errno;
    if (linkError == EPERM || linkError == EOPNOTSUPP || linkError == EMLINK || linkError == ENOSYS)
        return moveOverPlaceholder(fromDir, from, toDir, to, linkError);
    return failure(linkError);
}

} // namespace

OpResult moveNoReplace(const std::string& from, const std::string& to) {
    return moveNoReplaceAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

std::vector<OpResult> renameInFolder(const std::string& folder,
                                     const std::vector<std::pair<std::string, std::string>>& renames) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return std::vector<OpResult>(renames.size(), failure(errno));
    std::vector<OpResult> results;
    results.reserve(renames.size());
    for (const auto& [from, to] : renames)
        results.push_back(moveNoReplaceAt(dir, from.c_str(), dir, to.c_str()));
    ::close(dir);
    return results;
}

OpResult deleteFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return failure(errno);
    if (!S_ISREG(st.st_mode))
        return OpResult{OpResult::Kind::NotRegularFile, 0, "not a regular file"};
    if (::unlink(path.c_str()) != 0)
        return failure(errno);
    return OpResult::success();
}

OpResult setNormalAttributes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return failure(errno);
    return OpResult::success();
}

OpResult listOrdinaryFiles(const std::string& folder, std::vector<std::string>& names,
                           std::string_view extension, std::vector<std::string>* others) {
    names.clear();
    if (others)
        others->clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return failure(errno);
    const int dirFd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            const int error = errno;
            ::closedir(dir);
            if (error != 0) {
                names.clear();
                if (others)
                    others->clear();
                return failure(error);
            }
            return OpResult::success();
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        // The entry's type comes with it on most filesystems: a regular file needs no
        // stat. A symbolic link counts by what it points to, and an entry of unknown type
        // is asked about; one that vanished meanwhile is left out.
        bool ordinary = name[0] != '.' && endsWithIgnoringAsciiCase(name, extension);
        if (ordinary && (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)) {
            struct stat st {};
            ordinary = ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        } else if (ordinary) {
            ordinary = entry->d_type == DT_REG;
        }
        if (ordinary)
            names.emplace_back(name);
        else if (others)
            others->emplace_back(name);
    }
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::vector<std::optional<std::uint64_t>> normalFileSizes(const std::string& folder,
                                                          const std::vector<std::string>& names) {
    std::vector<std::optional<std::uint64_t>> sizes;
    sizes.reserve(names.size());
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& name : names) {
        struct stat st {};
        const int got =
            dir >= 0 ? ::fstatat(dir, name.c_str(), &st, 0) : ::stat((folder + '/' + name).c_str(), &st);
        if (got == 0 && S_ISREG(st.st_mode))
            sizes.emplace_back(static_cast<std::uint64_t>(st.st_size));
        else
            sizes.emplace_back();
    }
    if (dir >= 0)
        ::close(dir);
    return sizes;
}

std::optional<FolderStamp> folderStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return FolderStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                       static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                       static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool entryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool sameEntryName(std::string_view a, std::string_view b) {
    return a == b;
}

std::optional<std::int64_t> modifiedMsecs(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                        static_cast<std::uint64_t>(st.st_size),
                        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool canOpenForReading(const std::string& path) {
    // O_NONBLOCK so that a FIFO can't hang us; only regular files count, as on Windows
    // where a folder can't be opened as a file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

std::optional<bool> sameVolume(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
        return std::nullopt;
    return sa.st_dev == sb.st_dev;
}

namespace {

// Opens a regular file for reading (without blocking on a FIFO or taking a terminal);
// anything else is refused as not a regular file. fd stays -1 on failure.
OpResult openRegularFile(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        fd = -1;
        return failure(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return OpResult{OpResult::Kind::NotRegularFile, 0, "not a regular file"};
    }
    return OpResult::success();
}

} // namespace

OpResult readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = -1;
    if (OpResult opened = openRegularFile(path, fd); !opened.ok())
        return opened;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return failure(error);
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return OpResult::success();
}

OpResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.clear();
    int fd = -1;
    if (OpResult opened = openRegularFile(path, fd); !opened.ok())
        return opened;
    bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(fd, bytes.data() + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return failure(error);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return OpResult::success();
}

namespace {

// Writes all bytes, retrying short writes; `written` (when given) gets how many went, also
// on failure.
int writeAll(int fd, std::string_view bytes, std::size_t* written = nullptr) {
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (written)
        *written = done;
    return error;
}

// Six characters that make a temporary name unlikely to be taken.
std::string randomTag() {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::string tag;
    for (int i = 0; i < 6; ++i)
        tag.push_back(alphabet[device() % (sizeof alphabet - 1)]);
    return tag;
}

} // namespace

std::string linkTarget(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) { // the system's own limit on links in a row
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return path;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const std::size_t slash = current.rfind('/');
            if (slash != std::string::npos)
                target.insert(0, current, 0, slash + 1);
        }
        current = std::move(target);
    }
    return path;
}

OpResult replaceFileContents(const std::string& path, std::string_view bytes) {
    // The new file keeps the old one's permission bits; a new file gets the usual 0666
    // less the umask.
    mode_t mode = 0666;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode))
            return OpResult{OpResult::Kind::NotRegularFile, 0, "not a regular file"};
        mode = old.st_mode & 07777;
    }
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + std::string(TemporarySuffix) + randomTag();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0 && errno != EEXIST)
            return failure(errno);
    }
    if (fd < 0)
        return failure(EEXIST);
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(error);
    }
    return OpResult::success();
}

OpResult appendToFile(const std::string& path, std::string_view bytes) {
    // O_NONBLOCK so that a FIFO can't hang us (one without a reader fails with ENXIO);
    // only a regular file is written to.
    const OpResult notRegular{OpResult::Kind::NotRegularFile, 0, "not a regular file"};
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0)
        return errno == ENXIO ? notRegular : failure(errno);
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error);
    }
    if (!S_ISREG(before.st_mode)) {
        ::close(fd);
        return notRegular;
    }
    std::size_t written = 0;
    int error = writeAll(fd, bytes, &written);
    // The bytes go in whole or not at all: what a full disk let through is cut off again,
    // unless another writer has appended meanwhile.
    struct stat after {};
    if (error != 0 && written > 0 && ::fstat(fd, &after) == 0 &&
        after.st_size == before.st_size + static_cast<off_t>(written)) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error == 0 ? OpResult::success() : failure(error);
}

std::string currentDirectory() {
    std::string buffer(256, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace chain::platform
