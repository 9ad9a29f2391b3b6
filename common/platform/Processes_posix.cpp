#include "Processes.h"

#include <cerrno>
#include <string_view>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

// The Linux process list: /proc, one folder per process.

namespace chain::platform {

namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Up to `limit` bytes of a small /proc file; nothing if it can't be read (the process
// may have ended, or belong to someone we may not look at).
bool readSmallFile(const std::string& path, std::string& out, std::size_t limit = 4096) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[1024];
    bool ok = true;
    while (out.size() < limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok;
}

// The last part of a path. Wine gives its processes an argv[0] in Windows form, so a
// backslash ends a folder name too.
std::string_view baseName(std::string_view path, bool windowsSeparators) {
    const auto slash = path.find_last_of(windowsSeparators ? "/\\" : "/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Whether /proc/PID/stat shows a zombie (or dead) process. The command name in it is
// in parentheses and may itself hold blanks and parentheses, so the state is the field
// after the last ')'.
bool isZombie(const std::string& stat) {
    const auto paren = stat.rfind(')');
    if (paren == std::string::npos || paren + 2 >= stat.size())
        return false;
    const char state = stat[paren + 2];
    return state == 'Z' || state == 'X' || state == 'x';
}

bool processMatches(const std::string& procDir, std::string_view imageName) {
    std::string text;

    // The executable itself (unreadable for other users' processes unless we are root).
    {
        char target[4096];
        const ssize_t n = ::readlink((procDir + "/exe").c_str(), target, sizeof target);
        if (n > 0 && static_cast<std::size_t>(n) < sizeof target) {
            std::string_view path(target, static_cast<std::size_t>(n));
            constexpr std::string_view deleted = " (deleted)";
            if (path.size() > deleted.size() && path.substr(path.size() - deleted.size()) == deleted)
                path.remove_suffix(deleted.size());
            if (equalsIgnoringAsciiCase(baseName(path, false), imageName))
                return true;
        }
    }

    // argv[0]: the first NUL-terminated string of the command line (empty for kernel
    // threads).
    if (readSmallFile(procDir + "/cmdline", text)) {
        const auto end = text.find('\0');
        const std::string_view argv0 = std::string_view(text).substr(0, end);
        if (!argv0.empty() && equalsIgnoringAsciiCase(baseName(argv0, true), imageName))
            return true;
    }

    // comm: the kernel's name of the task, cut to 15 bytes; for a script it is the
    // script's file name.
    if (readSmallFile(procDir + "/comm", text, 64)) {
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        const std::string_view wanted = imageName.substr(0, 15);
        if (!text.empty() && equalsIgnoringAsciiCase(text, wanted))
            return true;
    }
    return false;
}

bool isProcessFolderName(const char* name) {
    if (*name == '\0')
        return false;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

} // namespace

ProcessAnswer processExists(const std::string& imageName, std::string& error) {
    error.clear();
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        error = "/proc: " + std::generic_category().message(errno);
        return ProcessAnswer::Unknown;
    }
    ProcessAnswer answer = ProcessAnswer::No;
    std::string stat;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(proc);
        if (entry == nullptr) {
            if (errno != 0) {
                error = "/proc: " + std::generic_category().message(errno);
                answer = ProcessAnswer::Unknown;
            }
            break;
        }
        if (!isProcessFolderName(entry->d_name))
            continue;
        if (imageName.empty())
            continue; // no process has an empty name; still read the list through
        const std::string dir = std::string("/proc/") + entry->d_name;
        if (!readSmallFile(dir + "/stat", stat) || isZombie(stat))
            continue;
        if (processMatches(dir, imageName)) {
            answer = ProcessAnswer::Yes;
            break;
        }
    }
    ::closedir(proc);
    return answer;
}

} // namespace chain::platform
