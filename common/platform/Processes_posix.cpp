#include "Processes.h"

#include "AsciiCase.h"

#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

// The Linux process list: /proc, one folder per process.

namespace chain::platform {

namespace {

// Reads up to `limit` bytes of a small /proc file of the folder `proc` into `out`, in one
// read: the kernel makes the whole record (a stat line, a command line) for one read that
// has room for it. False when it can't be read: the process may have ended, or belong
// to someone we may not look at.
bool readSmallFile(int proc, const std::string& path, std::string& out, std::size_t limit) {
    out.resize(limit);
    const int fd = ::openat(proc, path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ssize_t n;
    do {
        n = ::read(fd, out.data(), limit);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return n >= 0;
}

// The last part of a path. Wine gives its processes an argv[0] in Windows form, so a
// backslash ends a folder name too.
std::string_view baseName(std::string_view path, bool windowsSeparators) {
    const auto slash = path.find_last_of(windowsSeparators ? "/\\" : "/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Up to `count` first arguments of a /proc/PID/cmdline text (NUL-separated).
std::vector<std::string_view> firstArguments(std::string_view cmdline, std::size_t count) {
    std::vector<std::string_view> args;
    while (!cmdline.empty() && args.size() < count) {
        const auto end = cmdline.find('\0');
        args.push_back(cmdline.substr(0, end));
        cmdline = end == std::string_view::npos ? std::string_view() : cmdline.substr(end + 1);
    }
    return args;
}

bool isWineStarter(std::string_view arg) {
    const std::string_view base = baseName(arg, false);
    return base == "wine" || base == "wine64" || base.starts_with("wine-") || base.starts_with("wine64-");
}

// The program that Wine is starting, when these are the first arguments of its
// starters: the "wine" script (run by a shell: "sh -e /usr/bin/wine PROGRAM..."), its
// loader ("wine64 PROGRAM...") or a preloader ("wine64-preloader wine64 PROGRAM...").
// Empty for any other process.
std::string_view programStartedByWine(const std::vector<std::string_view>& args) {
    std::size_t i = 0;
    while (i < args.size() && !isWineStarter(args[i]))
        ++i;
    if (i == args.size())
        return {};
    while (i < args.size() && isWineStarter(args[i]))
        ++i;
    return i < args.size() ? args[i] : std::string_view();
}

// What /proc/PID/stat tells: "PID (comm) STATE ...". The command name in it is the
// kernel's name of the task (the same as /proc/PID/comm) and may itself hold blanks and
// parentheses, so it ends at the last ')', and the state is the field after that.
struct StatLine {
    std::string_view comm;
    char state = '?';
};

std::optional<StatLine> parseStat(std::string_view stat) {
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
        close + 2 >= stat.size())
        return std::nullopt;
    return StatLine{stat.substr(open + 1, close - open - 1), stat[close + 2]};
}

bool isZombie(char state) {
    return state == 'Z' || state == 'X' || state == 'x';
}

// The image names, of those still unanswered, that this process matches: found[i] is set
// for each. Looks at the cheapest facts first (the command name, which the stat line
// read for the state already holds, then the exe link, then the command line) and stops
// once every name is answered. A process that ends halfway matches by what was read.
void matchProcess(int proc, const std::string& pid, std::string_view comm,
                  const std::vector<std::string>& names, std::vector<bool>& found) {
    auto settle = [&](auto&& matches) {
        bool left = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!found[i] && !names[i].empty() && matches(std::string_view(names[i])))
                found[i] = true;
            left = left || (!found[i] && !names[i].empty());
        }
        return left;
    };
    const auto baseIs = [](std::string_view base) {
        return [base](std::string_view name) { return equalsIgnoringAsciiCase(base, name); };
    };

    // comm: the kernel's name of the task, cut to 15 bytes; for a script it is the
    // script's file name.
    if (!comm.empty() &&
        !settle([&](std::string_view name) { return equalsIgnoringAsciiCase(comm, name.substr(0, 15)); }))
        return;

    // The executable itself (unreadable for other users' processes unless we are root).
    {
        char target[4096];
        const ssize_t n = ::readlinkat(proc, (pid + "/exe").c_str(), target, sizeof target);
        if (n > 0 && static_cast<std::size_t>(n) < sizeof target) {
            std::string_view path(target, static_cast<std::size_t>(n));
            constexpr std::string_view deleted = " (deleted)";
            if (path.size() > deleted.size() && path.ends_with(deleted))
                path.remove_suffix(deleted.size());
            if (!settle(baseIs(baseName(path, false))))
                return;
        }
    }

    // argv[0]: the first NUL-terminated string of the command line (empty for kernel
    // threads). Until Wine has loaded a program, its process runs under the name of one
    // of Wine's starters, with the program's path as the next argument.
    std::string cmdline;
    if (readSmallFile(proc, pid + "/cmdline", cmdline, 4096)) {
        const std::vector<std::string_view> args = firstArguments(cmdline, 6);
        if (!args.empty() && !args[0].empty() && !settle(baseIs(baseName(args[0], true))))
            return;
        if (const std::string_view program = programStartedByWine(args); !program.empty())
            settle(baseIs(baseName(program, true)));
    }
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

ProcessAnswer processesRunningIn(const std::string& procFolder, const std::vector<std::string>& imageNames,
                                 std::vector<bool>& found, std::string& error) {
    error.clear();
    found.assign(imageNames.size(), false);
    DIR* proc = ::opendir(procFolder.c_str());
    if (proc == nullptr) {
        error = procFolder + ": " + std::generic_category().message(errno);
        return ProcessAnswer::Unknown;
    }
    const int procFd = ::dirfd(proc);
    // No process has an empty name; such names are never found.
    auto unanswered = [&] {
        for (std::size_t i = 0; i < imageNames.size(); ++i) {
            if (!found[i] && !imageNames[i].empty())
                return true;
        }
        return false;
    };
    bool readable = true;
    std::string pid;
    std::string stat;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(proc);
        if (entry == nullptr) {
            if (errno != 0) {
                error = procFolder + ": " + std::generic_category().message(errno);
                readable = false;
            }
            break;
        }
        if (!unanswered())
            break;
        if (!isProcessFolderName(entry->d_name))
            continue;
        pid = entry->d_name;
        // A process that has ended since the listing has no stat left to read.
        if (!readSmallFile(procFd, pid + "/stat", stat, 1024))
            continue;
        const std::optional<StatLine> line = parseStat(stat);
        if (line && isZombie(line->state))
            continue;
        matchProcess(procFd, pid, line ? line->comm : std::string_view(), imageNames, found);
    }
    ::closedir(proc);
    if (!readable) {
        found.assign(imageNames.size(), false);
        return ProcessAnswer::Unknown;
    }
    for (const bool f : found) {
        if (f)
            return ProcessAnswer::Yes;
    }
    return ProcessAnswer::No;
}

ProcessAnswer processesRunning(const std::vector<std::string>& imageNames, std::vector<bool>& found,
                               std::string& error) {
    return processesRunningIn("/proc", imageNames, found, error);
}

ProcessAnswer processExists(const std::string& imageName, std::string& error) {
    std::vector<bool> found;
    return processesRunning({imageName}, found, error);
}

} // namespace chain::platform
