#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tools {

namespace {
volatile std::sig_atomic_t child = 0;
volatile std::sig_atomic_t stopRequest = 0;
constexpr int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void passOn(int signal) {
    stopRequest = signal;
    if (child > 0) {
        ::kill(static_cast<pid_t>(child), SIGTERM);
    }
}

sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : stopSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// In the child, before exec: default signal handling, death with the parent, and the
// standard streams in place. Only async-signal-safe calls here.
[[noreturn]] void becomeChild(char* const* argv, pid_t parent, int outputFd) {
    for (int signal : stopSignals) {
        std::signal(signal, SIG_DFL);
    }
    const sigset_t set = stopSet();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        _exit(127); // the parent died before prctl took hold
    }
    const int null = ::open("/dev/null", O_RDONLY);
    if (null < 0 || ::dup2(null, 0) < 0 || (outputFd >= 0 && ::dup2(outputFd, 1) < 0)) {
        _exit(127);
    }
    ::execvp(argv[0], argv);
    const char* why = std::strerror(errno);
    for (const char* part : {"cannot run ", static_cast<const char*>(argv[0]), ": ", why, "\n"}) {
        [[maybe_unused]] const auto written = ::write(2, part, std::strlen(part));
    }
    _exit(127);
}
} // namespace

void forwardStopSignals() {
    struct sigaction action = {};
    action.sa_handler = passOn;
    sigemptyset(&action.sa_mask);
    for (int signal : stopSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

int stopSignal() {
    return stopRequest;
}

int runChild(const std::vector<std::string>& args, std::string* output) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    int pipeFds[2] = {-1, -1};
    if (output && ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return 127;
    }
    // A stop signal between fork and noting the child would miss it: hold them until then.
    const sigset_t set = stopSet();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &set, &before);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        becomeChild(argv.data(), parent, pipeFds[1]);
    }
    child = pid;
    if (pid > 0 && stopRequest != 0) {
        ::kill(pid, SIGTERM);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
    if (output) {
        ::close(pipeFds[1]);
        char buffer[4096];
        for (ssize_t got; pid > 0 && (got = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
            if (got > 0) {
                output->append(buffer, static_cast<std::size_t>(got));
            } else if (errno != EINTR) {
                break;
            }
        }
        ::close(pipeFds[0]);
    }
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    child = 0;
    if (pid < 0) {
        return 127;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace tools
