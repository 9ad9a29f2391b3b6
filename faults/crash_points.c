// Crash points: an LD_PRELOAD library that numbers the calls of a program that change
// something on disk (renames, links, deletes, opens for writing or creating, writes to
// regular files, fsync, new folders) and can kill the program with SIGKILL right before
// one of them, so that the call never happens.
//
//   CRASH_LOG=path  each counted call appends a line "k call names" to that file, written
//                   before the call is made, so a kill loses none
//   CRASH_AT=k      the program kills itself right before its k-th counted call
//
// The library reads both variables and LD_PRELOAD when it is loaded and removes them from
// the environment, so the tools the program starts run without it. Calls made in a forked
// child before it starts its program (the launcher's fork + exec) are not counted either:
// only the process that loaded the library counts. Writes to standard output and error,
// pipes and terminals are not counted.

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

// glibc's entry points for opens checked by _FORTIFY_SOURCE; declared only when it is on.
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);
int __openat_2(int dir, const char* path, int flags);
int __openat64_2(int dir, const char* path, int flags);

static atomic_long g_count;
static long g_crashAt;     // 0: count only
static int g_log = -1;     // the CRASH_LOG file, or -1
static pid_t g_pid;        // the process that loaded the library
static atomic_int g_ready; // set once the variables are read

// The C library's own functions, looked up once when the library is loaded: a forked child
// may call them before it starts its program, and looking a name up there could block on
// a lock that another thread of the parent held at the fork.
static struct {
    int (*rename)(const char*, const char*);
    int (*renameat)(int, const char*, int, const char*);
    int (*renameat2)(int, const char*, int, const char*, unsigned int);
    int (*link)(const char*, const char*);
    int (*linkat)(int, const char*, int, const char*, int);
    int (*unlink)(const char*);
    int (*unlinkat)(int, const char*, int);
    int (*mkdir)(const char*, mode_t);
    int (*mkdirat)(int, const char*, mode_t);
    int (*open)(const char*, int, ...);
    int (*open64)(const char*, int, ...);
    int (*openat)(int, const char*, int, ...);
    int (*openat64)(int, const char*, int, ...);
    int (*__open_2)(const char*, int);
    int (*__open64_2)(const char*, int);
    int (*__openat_2)(int, const char*, int);
    int (*__openat64_2)(int, const char*, int);
    int (*creat)(const char*, mode_t);
    int (*creat64)(const char*, mode_t);
    ssize_t (*write)(int, const void*, size_t);
    ssize_t (*pwrite)(int, const void*, size_t, off_t);
    ssize_t (*pwrite64)(int, const void*, size_t, off64_t);
    int (*fsync)(int);
    int (*fdatasync)(int);
    long (*syscall)(long, ...);
} g_real;

// The C library's function `name`, looked up now if the library's start has not run yet
// (another library's start-up may call it first).
#define NEXT(name)                                                                                           \
    ({                                                                                                       \
        if (!g_real.name)                                                                                    \
            g_real.name = (__typeof__(g_real.name))dlsym(RTLD_NEXT, #name);                                  \
        g_real.name;                                                                                         \
    })

static void lookUpAll(void) {
    (void)NEXT(rename), (void)NEXT(renameat), (void)NEXT(renameat2), (void)NEXT(link), (void)NEXT(linkat);
    (void)NEXT(unlink), (void)NEXT(unlinkat), (void)NEXT(mkdir), (void)NEXT(mkdirat);
    (void)NEXT(open), (void)NEXT(open64), (void)NEXT(openat), (void)NEXT(openat64);
    (void)NEXT(__open_2), (void)NEXT(__open64_2), (void)NEXT(__openat_2), (void)NEXT(__openat64_2);
    (void)NEXT(creat), (void)NEXT(creat64), (void)NEXT(write), (void)NEXT(pwrite), (void)NEXT(pwrite64);
    (void)NEXT(fsync), (void)NEXT(fdatasync), (void)NEXT(syscall);
}

// Whether this call is one to count: made by the process that loaded the library, once it
// has read its variables (not by a forked child, nor before the start).
static int counting(void) {
    return atomic_load(&g_ready) && getpid() == g_pid;
}

static void logLine(const char* line) {
    if (g_log >= 0)
        NEXT(write)(g_log, line, strlen(line));
}

// Counts one changing call and kills the process when it is the chosen one.
static void point(const char* call, const char* first, const char* second) {
    if (!counting())
        return;
    const int saved = errno;
    const long k = atomic_fetch_add(&g_count, 1) + 1;
    char line[3 * PATH_MAX];
    snprintf(line, sizeof line, "%ld %s %s%s%s\n", k, call, first ? first : "", second ? " -> " : "",
             second ? second : "");
    logLine(line);
    if (k == g_crashAt) {
        kill(g_pid, SIGKILL);
        for (;;)
            pause();
    }
    errno = saved;
}

// The file an open descriptor refers to, for the log; "fd N" when it can't be named.
static void nameOfFd(int fd, char* name, size_t size) {
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, name, size - 1);
    if (n > 0)
        name[n] = '\0';
    else
        snprintf(name, size, "fd %d", fd);
}

// Writes and syncs count on regular files (fsync also on folders), never on the standard
// streams, pipes, sockets or terminals.
static void fdPoint(const char* call, int fd, int foldersToo) {
    if (fd <= 2 || !counting())
        return;
    const int saved = errno;
    struct stat st;
    const int counts = fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || (foldersToo && S_ISDIR(st.st_mode)));
    errno = saved;
    if (!counts)
        return;
    char name[PATH_MAX];
    nameOfFd(fd, name, sizeof name);
    point(call, name, NULL);
}

// An open counts when it may create or change a file: a write flag or O_CREAT, on a name
// that is not there yet or is a regular file (so /dev/null opened for writing does not).
static void openPoint(const char* call, int dir, const char* path, int flags) {
    if (!(flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) || !counting())
        return;
    const int saved = errno;
    struct stat st;
    const int exists = fstatat(dir, path, &st, 0) == 0;
    errno = saved;
    if (exists && !S_ISREG(st.st_mode) && !((flags & O_TMPFILE) == O_TMPFILE))
        return;
    point(call, path, NULL);
}

static mode_t modeOf(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

__attribute__((constructor)) static void start(void) {
    const char* at = getenv("CRASH_AT");
    const char* log = getenv("CRASH_LOG");
    lookUpAll();
    g_pid = getpid();
    g_crashAt = at ? strtol(at, NULL, 10) : 0;
    if (log && *log)
        g_log = NEXT(open)(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    unsetenv("CRASH_AT");
    unsetenv("CRASH_LOG");
    unsetenv("LD_PRELOAD");
    atomic_store(&g_ready, 1);
}

int rename(const char* from, const char* to) {
    point("rename", from, to);
    return NEXT(rename)(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    point("renameat", from, to);
    return NEXT(renameat)(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    point("renameat2", from, to);
    return NEXT(renameat2)(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    point("link", from, to);
    return NEXT(link)(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    point("linkat", from, to);
    return NEXT(linkat)(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    point("unlink", path, NULL);
    return NEXT(unlink)(path);
}

int unlinkat(int dir, const char* path, int flags) {
    point("unlinkat", path, NULL);
    return NEXT(unlinkat)(dir, path, flags);
}

int mkdir(const char* path, mode_t mode) {
    point("mkdir", path, NULL);
    return NEXT(mkdir)(path, mode);
}

int mkdirat(int dir, const char* path, mode_t mode) {
    point("mkdirat", path, NULL);
    return NEXT(mkdirat)(dir, path, mode);
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    openPoint("open", AT_FDCWD, path, flags);
    return NEXT(open)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    openPoint("open64", AT_FDCWD, path, flags);
    return NEXT(open64)(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    openPoint("openat", dir, path, flags);
    return NEXT(openat)(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    openPoint("openat64", dir, path, flags);
    return NEXT(openat64)(dir, path, flags, mode);
}

int __open_2(const char* path, int flags) {
    openPoint("open", AT_FDCWD, path, flags);
    return NEXT(__open_2)(path, flags);
}

int __open64_2(const char* path, int flags) {
    openPoint("open64", AT_FDCWD, path, flags);
    return NEXT(__open64_2)(path, flags);
}

int __openat_2(int dir, const char* path, int flags) {
    openPoint("openat", dir, path, flags);
    return NEXT(__openat_2)(dir, path, flags);
}

int __openat64_2(int dir, const char* path, int flags) {
    openPoint("openat64", dir, path, flags);
    return NEXT(__openat64_2)(dir, path, flags);
}

int creat(const char* path, mode_t mode) {
    openPoint("creat", AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC);
    return NEXT(creat)(path, mode);
}

int creat64(const char* path, mode_t mode) {
    openPoint("creat64", AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC);
    return NEXT(creat64)(path, mode);
}

ssize_t write(int fd, const void* bytes, size_t count) {
    fdPoint("write", fd, 0);
    return NEXT(write)(fd, bytes, count);
}

ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
    fdPoint("pwrite", fd, 0);
    return NEXT(pwrite)(fd, bytes, count, offset);
}

ssize_t pwrite64(int fd, const void* bytes, size_t count, off64_t offset) {
    fdPoint("pwrite64", fd, 0);
    return NEXT(pwrite64)(fd, bytes, count, offset);
}

int fsync(int fd) {
    fdPoint("fsync", fd, 1);
    return NEXT(fsync)(fd);
}

int fdatasync(int fd) {
    fdPoint("fdatasync", fd, 1);
    return NEXT(fdatasync)(fd);
}

// The platform layer makes its no-replace renames through syscall(SYS_renameat2, ...),
// which no renameat2 above sees. Every other number passes through unchanged.
long syscall(long number, ...) {
    va_list args;
    va_start(args, number);
    long a[6];
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(args, long);
    va_end(args);
    if (number == SYS_renameat2)
        point("renameat2", (const char*)a[1], (const char*)a[3]);
    return NEXT(syscall)(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
