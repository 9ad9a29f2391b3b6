#include "Processes.h"

#include <cerrno>
#include <string_view>
#include <system_error>
#include <vector>

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

// The image names, of those still unanswered, that this process matches: found[i] is set
// for each. Reads the cheapest facts first and stops reading once nothing is left to ask.
void matchProcess(const std::string& procDir, const std::vector<std::string>& names,
                  std::vector<bool>& found) {
    auto settle = [&](auto&& matches) {
        bool left = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!found[i] && !names[i].empty() && matches(std::string_view(names[i])))
                found[i] = true;
            left = left || (!found[i] && !names[i].empty());
        }
        return left;
    };
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
            const std::string_view base = baseName(path, false);
            if (!settle([&](std::string_view name) { return equalsIgnoringAsciiCase(base, name); }))
                return;
        }
    }

    // argv[0]: the first NUL-terminated string of the command line (empty for kernel
    // threads). Until Wine has loaded a program, its process runs under the name of one
    // of Wine's starters, with the program's path as the next argument.
    if (readSmallFile(procDir + "/cmdline", text)) {
        const std::vector<std::string_view> args = firstArguments(text, 6);
        if (!args.empty() && !args[0].empty()) {
            const std::string_view base = baseName(args[0], true);
            if (!settle([&](std::string_view name) { return equalsIgnoringAsciiCase(base, name); }))
                return;
        }
        if (const std::string_view program = programStartedByWine(args); !program.empty()) {
            const std::string_view base = baseName(program, true);
            if (!settle([&](std::string_view name) { return equalsIgnoringAsciiCase(base, name); }))
                return;
        }
    }

    // comm: the kernel's name of the task, cut to 15 bytes; for a script it is the
    // script's file name.
    if (readSmallFile(procDir + "/comm", text, 64)) {
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        if (!text.empty())
            settle([&](std::string_view name) { return equalsIgnoringAsciiCase(text, name.substr(0, 15)); });
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

ProcessAnswer processesRunning(const std::vector<std::string>& imageNames, std::vector<bool>& found,
                               std::string& error) {
    error.clear();
    found.assign(imageNames.size(), false);
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        error = "/proc: " + std::generic_category().message(errno);
        return ProcessAnswer::Unknown;
    }
    // No process has an empty name; such names are never found.
    auto unanswered = [&] {
        for (std::size_t i = 0; i < imageNames.size(); ++i) {
            if (!found[i] && !imageNames[i].empty())
                return true;
        }
        return false;
    };
    bool readable = true;
    std::string stat;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(proc);
        if (entry == nullptr) {
            if (errno != 0) {
                error = "/proc: " + std::generic_category().message(errno);
                readable = false;
            }
            break;
        }
        if (!unanswered())
            break;
        if (!isProcessFolderName(entry->d_name))
            continue;
        const std::string dir = std::string("/proc/") + entry->d_name;
        if (!readSmallFile(dir + "/stat", stat) || isZombie(stat))
            continue;
        matchProcess(dir, imageNames, found);
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

ProcessAnswer processExists(const std::string& imageName, std::string& error) {
    std::vector<bool> found;
    return processesRunning({imageName}, found, error);
}

} // namespace chain::platform
