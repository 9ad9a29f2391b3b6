// The process list and the launcher, on real processes: copies of the child program
// (platform_child) under chosen names.

#include "TestSupport.h"

#include "platform/Files.h"
#include "platform/Launch.h"
#include "platform/Processes.h"

#include <algorithm>

#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace chain::platform;
using namespace test;
using Lines = std::vector<std::string>;

namespace {

#ifndef _WIN32

std::optional<std::string> procFile(const std::string& pid, const char* name) {
    return readFile("/proc/" + pid + "/" + name);
}

std::vector<std::string> processIds() {
    std::vector<std::string> ids;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos)
            ids.push_back(name);
    }
    return ids;
}

// The processes whose parent is this test, as "PID STATE" (a "Z" would be our zombie).
std::vector<std::string> ourChildren() {
    std::vector<std::string> children;
    const std::string self = std::to_string(::getpid());
    for (const std::string& pid : processIds()) {
        const std::string stat = procFile(pid, "stat").value_or("");
        const auto paren = stat.rfind(')');
        if (paren == std::string::npos || paren + 2 >= stat.size())
            continue;
        const std::string rest = stat.substr(paren + 2); // "S PPID ..."
        const auto blank = rest.find(' ');
        if (blank != std::string::npos && rest.compare(blank + 1, self.size() + 1, self + " ") == 0)
            children.push_back(pid + " " + rest.substr(0, blank));
    }
    return children;
}

// The processes that run a program from `folder` or name it on their command line.
std::vector<std::string> processesUnder(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& pid : processIds()) {
        if (pid == std::to_string(::getpid()))
            continue;
        std::error_code error;
        const std::string exe = fs::read_symlink("/proc/" + pid + "/exe", error).string();
        if (exe.starts_with(folder + "/") ||
            procFile(pid, "cmdline").value_or("").find(folder + "/") != std::string::npos)
            found.push_back(pid);
    }
    return found;
}

void killProcessesUnder(const std::string& folder) {
    for (const std::string& pid : processesUnder(folder))
        ::kill(std::stoi(pid), SIGKILL);
}

bool makeScript(const std::string& path, const std::string& body) {
    if (!writeFile(path, "#!/bin/sh\n" + body))
        return false;
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    return true;
}

// Kills what a test started from its folder, also when the test fails halfway.
struct ProcessCleanup {
    std::string folder;
    ~ProcessCleanup() { killProcessesUnder(folder); }
};

#endif

// Runs `body` with `folder` as the working folder.
template <typename Body> void inFolder(const std::string& folder, Body body) {
    const fs::path before = fs::current_path();
    fs::current_path(toPath(folder));
    body();
    fs::current_path(before);
}

} // namespace

TEST_CASE("the process list sees a running tool until it ends") {
    const struct {
        std::string how;       // how the tool is started
        std::string asked;     // the name asked for
        std::string unrelated; // a name that must not be seen meanwhile
    } rows[] = {
        {"direct", "Zz{tag}Tool.exe", "Zz{tag}Tool.ex"},
        {"direct", "zz{tag}tool.exe", "zz{tag}tool"},
        {"direct", "ZZ{TAG}TOOL.EXE", "{TAG}TOOL.EXE"},
#ifndef _WIN32
        // Started through a symbolic link: argv[0] and comm show the link, only the exe
        // link shows the program.
        {"symlink", "Zz{tag}Tool.exe", "Zz{tag}Tool.ex"},
        {"deleted", "Zz{tag}Tool.exe", "Zz{tag}Tool.ex"},
        // argv[0] in Windows form, as Wine gives it; exe and comm are another program.
        {"argv0", "Zz{tag}Argv.exe", "Tools\\Zz{tag}Argv.exe"},
        // A script: exe and argv[0] are the shell; comm is the script's name cut to 15.
        {"script", "Zz{tag}LongScriptName.exe", "Zz{tag}LongScr.exe"},
        // Wine's "wine" script still starting a program: only the argument after it
        // names the program.
        {"wine starting", "Zz{tag}Loader.exe", "Zz{tag}Loader.ex"},
        {"wine preloading", "Zz{tag}Loader.exe", "wine64"},
#endif
    };
    for (const auto& row : rows) {
        const std::string asked = named(row.asked);
        const std::string unrelated = named(row.unrelated);
        INFO(row.how);
        CAPTURE(asked);
        TempDir dir;
        REQUIRE(answerFor(asked) == ProcessAnswer::No);

        const std::string tool = dir.file(named("Zz{tag}Tool.exe"));
        REQUIRE(copyChild(tool));
#ifdef _WIN32
        const std::string lifetime = " 1500"; // milliseconds: it ends by itself
#else
        const std::string lifetime = " 60000"; // it is ended below
#endif
        std::string command = quoted(tool) + lifetime;
#ifndef _WIN32
        ProcessCleanup cleanup{dir.path()};
        const std::string alias = dir.file(named("Zz{tag}Alias.exe"));
        const std::string& how = row.how;
        if (how == "symlink" || how == "deleted") {
            fs::create_symlink(tool, alias);
            command = quoted(alias) + lifetime;
        } else if (how == "argv0") {
            const std::string sleeper = dir.file("sleeper");
            fs::rename(tool, sleeper);
            command = "/bin/bash -c \"exec -a 'C:\\Tools\\" + named("Zz{tag}Argv.exe") + "' '" + sleeper +
                      "'" + lifetime + "\"";
        } else if (how == "script") {
            const std::string script = dir.file(named("Zz{tag}LongScriptName.exe"));
            REQUIRE(makeScript(script, "'" + tool + "'" + lifetime + "\n"));
            command = quoted(script);
        } else if (how == "wine starting" || how == "wine preloading") {
            const std::string wine = dir.file(how == "wine starting" ? "wine" : "wine64-preloader");
            REQUIRE(makeScript(wine, "'" + tool + "'" + lifetime + "\n"));
            command = quoted(wine) + (how == "wine starting" ? "" : " /usr/lib/wine/wine64") +
                      " C:\\Tools\\" + named("Zz{tag}Loader.exe");
        }
#endif

        const OpResult started = launchDetached(command, false);
        REQUIRE_MESSAGE(started.ok(), started.detail);
#ifndef _WIN32
        CHECK(ourChildren().empty()); // no zombie of ours
        if (how == "deleted")
            fs::remove(tool);
#endif
        CHECK(waitForAnswer(asked, ProcessAnswer::Yes));
        // One pass answers every name asked.
        std::vector<bool> found;
        std::string error;
        CHECK(processesRunning({unrelated, asked, ""}, found, error) == ProcessAnswer::Yes);
        CHECK(found == std::vector<bool>{false, true, false});
        // Once the tool has ended (even if nobody reaps it) the list no longer shows it.
#ifndef _WIN32
        killProcessesUnder(dir.path());
#endif
        CHECK(waitForAnswer(asked, ProcessAnswer::No));
    }
}

TEST_CASE("the process list answers no for absent names") {
    std::string error = "old";
    CHECK(processExists("ZzNoSuchProgram.exe", error) == ProcessAnswer::No);
    CHECK(error.empty());
    CHECK(processExists("", error) == ProcessAnswer::No); // kernel threads have no argv[0]
}

TEST_CASE("a launch passes the arguments without a shell") {
    const struct {
        bool minimised;
        const char* show;                             // what a Windows program reads as its show mode
    } rows[] = {{false, "show=1"}, {true, "show=2"}}; // SW_SHOWNORMAL, SW_SHOWMINIMIZED
    for (const auto& row : rows) {
        CAPTURE(row.minimised);
        TempDir dir;
        const std::string child = dir.file("ArgDump.exe");
        REQUIRE(copyChild(child));
        const std::string command =
            quoted(child) + R"( 0 -i "D:\rec\A B.ts" -rf64"1" "" $HOME;x>y "a\"b" 番組)";

        std::string cwd;
        OpResult r;
        inFolder(dir.path(), [&] {
            r = launchDetached(command, row.minimised);
            cwd = currentDirectory();
        });
        REQUIRE_MESSAGE(r.ok(), r.detail);

        Lines expected{cwd,           "[0]",      "[-i]",  R"([D:\rec\A B.ts])", "[-rf641]", "[]",
                       "[$HOME;x>y]", R"([a"b])", "[番組]"};
#ifdef _WIN32
        expected.push_back("cmdline=" + command); // the text itself, not rebuilt
        expected.push_back(row.show);
#endif
        CHECK(childReport(child) == expected);
        CHECK_FALSE(fs::exists(toPath(dir.file("y"))));
    }
}

TEST_CASE("a launch that can't start the program says why") {
    const struct {
        std::string what;
        Kind expected;
    } rows[] = {
        {"missing program", Kind::NotFound}, {"missing folder", Kind::NotFound},
#ifndef _WIN32
        {"not executable", Kind::Denied},
#endif
        {"a folder", Kind::Denied},          {"not a program", Kind::Other},
        {"empty command", Kind::Other},      {"blank command", Kind::Other},
    };
    for (const auto& row : rows) {
        INFO(row.what);
        TempDir dir;
        const std::string& what = row.what;
        const std::string file = dir.file("Tool.exe");
        std::string command;
        if (what == "missing program") {
            command = quoted(dir.file("NoSuchTool.exe")) + " -x";
        } else if (what == "missing folder") {
            command = quoted(dir.file("none/Tool.exe"));
        } else if (what == "not executable") {
            REQUIRE(writeFile(file, "#!/bin/sh\n"));
            fs::permissions(toPath(file), fs::perms::owner_read | fs::perms::owner_write);
            command = quoted(file);
        } else if (what == "a folder") {
            command = quoted(dir.path());
        } else if (what == "not a program") {
            REQUIRE(writeFile(file, "plain text, no #! line\n"));
            fs::permissions(toPath(file), fs::perms::owner_all);
            command = quoted(file);
        } else if (what == "blank command") {
            command = "   ";
        }

        const OpResult r = launchDetached(command, false);
        CHECK(r.kind == row.expected);
        CHECK_FALSE(r.detail.empty());
#ifndef _WIN32
        CHECK(ourChildren().empty());
#endif
    }
}

#ifndef _WIN32

// A Windows program (a file that starts with "MZ") runs through the wine found on PATH,
// which gets the program's path and then the same arguments; without wine the launch
// says so. Here "wine" is the child program, which reports what it was given.
TEST_CASE("a Windows program starts through wine") {
    TempDir dir;
    const std::string wine = dir.file("bin/wine");
    fs::create_directory(toPath(dir.file("bin")));
    REQUIRE(copyChild(wine));
    const std::string program = dir.file("Tool.exe");
    REQUIRE(writeFile(program, std::string("MZ\x90\0", 4))); // no need to be executable

    const std::string oldPath = std::getenv("PATH");
    struct RestorePath {
        std::string path;
        ~RestorePath() { ::setenv("PATH", path.c_str(), 1); }
    } restore{oldPath};
    ::setenv("PATH", ("/nonexistent:" + dir.file("bin")).c_str(), 1);

    OpResult r = launchDetached(quoted(program) + R"( -i "D:\rec\A B.ts" -rf64"1")", false);
    REQUIRE_MESSAGE(r.ok(), r.detail);
    CHECK(childReport(wine) ==
          Lines{currentDirectory(), "[" + program + "]", "[-i]", R"([D:\rec\A B.ts])", "[-rf641]"});

    // A bare name is the one in the working folder, not one of Wine's own programs.
    fs::remove(toPath(wine + ".out"));
    inFolder(dir.path(), [&] { r = launchDetached("Tool.exe -x", false); });
    REQUIRE_MESSAGE(r.ok(), r.detail);
    CHECK(childReport(wine) == Lines{dir.path(), "[./Tool.exe]", "[-x]"});

    ::setenv("PATH", "/nonexistent", 1);
    r = launchDetached(quoted(program), false);
    CHECK(r.kind == Kind::NeedsWine);
    CHECK(r.detail.find("wine") != std::string::npos);
}

// With this test as subreaper the ended tool stays a zombie until we reap it.
TEST_CASE("the process list leaves out zombies") {
    TempDir dir;
    ProcessCleanup cleanup{dir.path()};
    REQUIRE(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
    struct Unset {
        std::string folder;
        ~Unset() {
            ::prctl(PR_SET_CHILD_SUBREAPER, 0);
            killProcessesUnder(folder); // and reap them, should the test have failed halfway
            waitUntil([] { return ::waitpid(-1, nullptr, WNOHANG) < 0 && ourChildren().empty(); }, 5000);
        }
    } unset{dir.path()};

    const std::string name = named("Zz{tag}Zombie.exe");
    const std::string tool = dir.file(name);
    REQUIRE(copyChild(tool));
    const OpResult started = launchDetached(quoted(tool) + " 60000", false);
    REQUIRE_MESSAGE(started.ok(), started.detail);
    REQUIRE(waitForAnswer(name, ProcessAnswer::Yes));

    // Only the tool is our child now: the intermediate process was reaped at once.
    const std::vector<std::string> children = ourChildren();
    REQUIRE(children.size() == 1);
    const pid_t toolPid = std::stoi(children.front());
    REQUIRE(toolPid > 0);

    REQUIRE(::kill(toolPid, SIGKILL) == 0);
    const std::string zombie = std::to_string(toolPid) + " Z";
    REQUIRE(waitUntil([&] { return ourChildren() == std::vector<std::string>{zombie}; }));
    CHECK(answerFor(name) == ProcessAnswer::No);
    CHECK(::waitpid(toolPid, nullptr, 0) == toolPid);
}

// A made-up /proc, so that each fact the list reads can be the only one that names the
// process, and a process can end between the listing and the reads. One pass answers
// the names of all rows at once, as each row alone.
TEST_CASE("the process list finds a name by comm, exe or argv[0] alone") {
    using namespace std::string_literals;
    const struct {
        std::string what;
        std::string pid;
        std::string stat;    // the stat line; no file when empty
        std::string exe;     // where the exe link points; no link when empty
        std::string cmdline; // no file when empty
        std::string asked;
        bool found;
    } rows[] = {
        {"comm alone (a script)", "201", "201 (ZzLongScriptNam) S 1 1 1", "/bin/dash", "/bin/sh\0/tmp/x\0"s,
         "zzlongscriptname.EXE", true},
        {"exe alone, deleted", "202", "202 (bash) S 1 1 1", "/opt/Tools/ZzExe.exe (deleted)", "bash\0-c\0"s,
         "ZzExe.exe", true},
        {"argv[0] alone, Windows form", "203", "203 (sleeper) S 1 1 1", "/tmp/sleeper",
         "C:\\Tools\\ZzArgv.exe\0-x\0"s, "zzargv.exe", true},
        {"wine starting it", "204", "204 (wine) S 1 1 1", "/bin/dash",
         "/bin/sh\0/usr/bin/wine\0C:\\Tools\\ZzLoader.exe\0"s, "ZzLoader.exe", true},
        {"comm with blanks and parentheses", "205", "205 (Zz (a) b) R 1 1 1", "/bin/true", "true\0"s,
         "Zz (a) b", true},
        {"zombie", "206", "206 (ZzZombie.exe) Z 1 1 1", "", "", "ZzZombie.exe", false},
        {"dead", "207", "207 (ZzDead.exe) X 1 1 1", "", "", "ZzDead.exe", false},
        {"ended before its stat was read", "208", "", "", "", "ZzGone.exe", false},
        {"ended after its stat was read", "209", "209 (sleeper) S 1 1 1", "", "", "sleeper.exe", false},
    };
    TempDir proc;
    std::vector<std::string> names;
    std::vector<bool> expected;
    for (const auto& row : rows) {
        INFO(row.what);
        TempDir single;
        for (const std::string& folder : {single.path(), proc.path()}) {
            const std::string dir = folder + "/" + row.pid;
            REQUIRE(fs::create_directory(dir));
            if (!row.stat.empty())
                REQUIRE(writeFile(dir + "/stat", row.stat));
            if (!row.exe.empty())
                fs::create_symlink(row.exe, dir + "/exe");
            if (!row.cmdline.empty())
                REQUIRE(writeFile(dir + "/cmdline", row.cmdline));
        }
        REQUIRE(fs::create_directory(single.file("self"))); // not a process
        std::vector<bool> found;
        std::string error;
        CHECK(processesRunningIn(single.path(), {row.asked}, found, error) ==
              (row.found ? ProcessAnswer::Yes : ProcessAnswer::No));
        CHECK(error.empty());
        names.push_back(row.asked);
        expected.push_back(row.found);
    }
    std::vector<bool> found;
    std::string error;
    CHECK(processesRunningIn(proc.path(), names, found, error) == ProcessAnswer::Yes);
    CHECK(found == expected);

    CHECK(processesRunningIn(proc.file("none"), names, found, error) == ProcessAnswer::Unknown);
    CHECK_FALSE(error.empty());
}

// A caller that blocks or ignores signals (as a headless runner may) must not pass that
// on: the tool must stay stoppable. Nor does it get our open files, nor, unless asked
// to, our standard streams: its output never mixes into ours.
TEST_CASE("a launched tool starts clean") {
    for (const bool keepOutput : {false, true}) {
        CAPTURE(keepOutput);
        TempDir dir;
        ProcessCleanup cleanup{dir.path()};
        const std::string tool = dir.file(named("Zz{tag}Signals.exe"));
        REQUIRE(copyChild(tool));

        const int leak = ::open("/dev/null", O_RDONLY); // not close-on-exec
        REQUIRE(leak > 2);
        sigset_t blocked, old;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGTERM);
        ::pthread_sigmask(SIG_BLOCK, &blocked, &old);
        const auto oldInt = std::signal(SIGINT, SIG_IGN);
        const OpResult r = launchDetached(quoted(tool) + " 60000", false, keepOutput);
        std::signal(SIGINT, oldInt);
        ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
        ::close(leak);
        REQUIRE_MESSAGE(r.ok(), r.detail);

        std::vector<std::string> pids;
        REQUIRE(waitUntil([&] { return (pids = processesUnder(dir.path())).size() == 1; }));
        // Once its report is written the child holds no file of its own open.
        REQUIRE(waitUntil([&] { return fs::exists(toPath(tool + ".out")); }));
        const std::string status = procFile(pids.front(), "status").value_or("");
        CHECK(status.find("\nSigBlk:\t0000000000000000\n") != std::string::npos);
        CHECK(status.find("\nSigIgn:\t0000000000000000\n") != std::string::npos);
        std::vector<std::string> fds;
        for (const auto& entry : fs::directory_iterator("/proc/" + pids.front() + "/fd"))
            fds.push_back(entry.path().filename().string());
        CHECK_FALSE(fds.empty());
        CHECK(std::find(fds.begin(), fds.end(), std::to_string(leak)) == fds.end());
        for (int fd = 0; fd <= 2; ++fd) {
            const std::string target =
                fs::read_symlink("/proc/" + pids.front() + "/fd/" + std::to_string(fd));
            const std::string ours = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
            CHECK(target == (keepOutput ? ours : std::string("/dev/null")));
        }
    }
}

#endif
