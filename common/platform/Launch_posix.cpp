#include "Launch.h"

#include "CommandLine.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// Starting a program on POSIX: no shell, the argument vector that the Windows rules give,
// and a double fork so that the program belongs to init (or the nearest subreaper), never
// lingers as our zombie and outlives us. A pipe that closes on exec tells the caller
// whether the program really started. A Windows program (the real tools are) runs
// through wine with the same arguments.

namespace chain::platform {

namespace {

OpResult failure(int error) {
    OpResult::Kind kind = OpResult::Kind::Other;
    if (error == ENOENT || error == ENOTDIR)
        kind = OpResult::Kind::NotFound;
    else if (error == EACCES || error == EPERM)
        kind = OpResult::Kind::Denied;
    else if (error == ETXTBSY)
        kind = OpResult::Kind::Busy;
    else if (error == ENAMETOOLONG)
        kind = OpResult::Kind::NameTooLong;
    return OpResult{kind, error, std::generic_category().message(error)};
}

// Only async-signal-safe calls from here on: the caller may have other threads, so the
// forked child must not allocate or take locks.
void writeErrorAndExit(int pipeFd, int error) {
    const char* p = reinterpret_cast<const char*>(&error);
    std::size_t left = sizeof error;
    while (left > 0) {
        const ssize_t n = ::write(pipeFd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ::_exit(127);
}

// Marks every descriptor from 3 up close-on-exec, so the program gets only the standard
// three (the report pipe is close-on-exec already).
void closeOtherDescriptorsOnExec() {
#if defined(__linux__) && defined(SYS_close_range)
    constexpr unsigned CloseRangeCloexec = 1U << 2; // CLOSE_RANGE_CLOEXEC, Linux 5.11
    if (::syscall(SYS_close_range, 3U, ~0U, CloseRangeCloexec) == 0)
        return;
#endif
    rlimit limit{};
    long last = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        last = static_cast<long>(limit.rlim_cur);
    if (last > 65536)
        last = 65536;
    for (int fd = 3; fd < last; ++fd)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

// Gives the program a clean start: no blocked signals, and the default action for
// every signal we may have ignored.
void resetSignals() {
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig != SIGKILL && sig != SIGSTOP)
            ::sigaction(sig, &action, nullptr);
    }
}

// Whether the file starts as a Windows program does: "MZ".
bool isWindowsProgram(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    char magic[2] = {};
    const bool windows = ::read(fd, magic, sizeof magic) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    ::close(fd);
    return windows;
}

// The first executable file called `name` in the folders of PATH; empty if none.
std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace

OpResult launchDetached(const std::string& commandLine, bool /*minimised: no meaning here*/,
                        bool keepOutput) {
    std::vector<std::string> args = splitCommandLine(commandLine);
    if (args.empty() || args.front().empty())
        return OpResult{OpResult::Kind::Other, 0, "no program named in the command line"};
    if (isWindowsProgram(args.front())) {
        const std::string wine = findOnPath("wine");
        if (wine.empty())
            return OpResult{OpResult::Kind::NeedsWine, 0,
                            args.front() +
                                " is a Windows program, and wine (which would run it) is not installed"};
        // A bare name would make wine look in its Windows folders first.
        if (args.front().find('/') == std::string::npos)
            args.front().insert(0, "./");
        args.insert(args.begin(), wine);
    }

    // Everything the child needs is prepared before fork.
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const char* program = argv.front();

    // The null device the tool gets as its standard streams (opened here: the forked
    // child may only make async-signal-safe calls).
    int nullDevice = -1;
    if (!keepOutput) {
        nullDevice = ::open("/dev/null", O_RDWR | O_CLOEXEC | O_NOCTTY);
        if (nullDevice < 0)
            return failure(errno);
    }
    const auto closeNullDevice = [&] {
        if (nullDevice >= 0)
            ::close(nullDevice);
    };

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        closeNullDevice();
        return failure(error);
    }

    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        closeNullDevice();
        return failure(error);
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid(); // its own session: no terminal signals from ours
        const pid_t grandchild = ::fork();
        if (grandchild < 0)
            writeErrorAndExit(report[1], errno);
        if (grandchild > 0)
            ::_exit(0);
        resetSignals();
        if (nullDevice >= 0) {
            // dup2 gives the copies without close-on-exec; the original closes on exec.
            for (int fd = 0; fd <= 2; ++fd) {
                if (::dup2(nullDevice, fd) < 0)
                    writeErrorAndExit(report[1], errno);
            }
            if (nullDevice <= 2)
                ::fcntl(nullDevice, F_SETFD, 0); // dup2 onto itself kept close-on-exec
        }
        closeOtherDescriptorsOnExec();
        ::execv(program, argv.data());
        writeErrorAndExit(report[1], errno);
    }

    ::close(report[1]);
    closeNullDevice();
    // The intermediate child ends at once; reap it. (ECHILD if the caller ignores
    // SIGCHLD: then the system reaped it.)
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }

    // End of file: the program was exec'd. An error number: it wasn't.
    int error = 0;
    std::size_t got = 0;
    int readError = 0;
    while (got < sizeof error) {
        const ssize_t n = ::read(report[0], reinterpret_cast<char*>(&error) + got, sizeof error - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            readError = errno;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(report[0]);
    if (readError != 0 || (got > 0 && got < sizeof error))
        return OpResult{OpResult::Kind::Other, readError, "could not confirm that the program started"};
    if (got == 0)
        return OpResult::success();
    return failure(error);
}

} // namespace chain::platform
