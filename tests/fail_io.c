/* Preloaded into a program to make its disk fail: with FAIL_IO=write every write() to a
 * regular file fails as on a full disk (ENOSPC); with FAIL_IO=fsync every fsync() and
 * fdatasync() fails with EIO; with FAIL_IO=rename every rename() fails with EIO. Lock files
 * (names ending in ".lock") are spared, so that the failure reaches the catalogue's own save.
 * FAIL_IO=tmpfile makes the file system one without unnamed files (O_TMPFILE fails, as on
 * FAT or NFS); FAIL_IO=killcopy kills the program at its first write to a copy's file of its
 * own (".tarumin-partial-"). Several may be given, separated by commas.
 * Anything else goes through. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>

static int failing(const char *what)
{
    const char *mode = getenv("FAIL_IO");
    const size_t n = strlen(what);
    while (mode && *mode) {
        if (strncmp(mode, what, n) == 0 && (mode[n] == ',' || mode[n] == '\0'))
            return 1;
        mode = strchr(mode, ',');
        if (mode)
            ++mode;
    }
    return 0;
}

static int isLockName(const char *name)
{
    const size_t n = strlen(name);
    return n >= 5 && strcmp(name + n - 5, ".lock") == 0;
}

/* The name an open file has, or an empty one. */
static const char *nameOf(int fd, char *name, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, name, size - 1);
    name[n > 0 ? n : 0] = '\0';
    return name;
}

/* A regular file, and not a lock file. */
static int target(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    char name[4096];
    return !isLockName(nameOf(fd, name, sizeof name));
}

static int isCopyName(int fd)
{
    char name[4096];
    return strstr(nameOf(fd, name, sizeof name), "/.tarumin-partial-") != NULL;
}

ssize_t write(int fd, const void *buf, size_t count)
{
    static ssize_t (*real)(int, const void *, size_t);
    if (!real)
        real = (ssize_t (*)(int, const void *, size_t))dlsym(RTLD_NEXT, "write");
    if (failing("killcopy") && isCopyName(fd))
        raise(SIGKILL);
    if (failing("write") && target(fd)) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buf, count);
}

int fsync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    if (failing("fsync") && target(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

int fdatasync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
    if (failing("fsync") && target(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

int rename(const char *from, const char *to)
{
    static int (*real)(const char *, const char *);
    if (!real)
        real = (int (*)(const char *, const char *))dlsym(RTLD_NEXT, "rename");
    if (failing("rename") && !isLockName(to)) {
        errno = EIO;
        return -1;
    }
    return real(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    static int (*real)(int, const char *, int, const char *);
    if (!real)
        real = (int (*)(int, const char *, int, const char *))dlsym(RTLD_NEXT, "renameat");
    if (failing("rename") && !isLockName(to)) {
        errno = EIO;
        return -1;
    }
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    static int (*real)(int, const char *, int, const char *, unsigned);
    if (!real)
        real = (int (*)(int, const char *, int, const char *, unsigned))dlsym(RTLD_NEXT, "renameat2");
    if (failing("rename") && !isLockName(to)) {
        errno = EIO;
        return -1;
    }
    return real(fromDir, from, toDir, to, flags);
}

#define OPEN_AT(name)                                                                     \
    int name(int dir, const char *path, int flags, ...)                                   \
    {                                                                                     \
        static int (*real)(int, const char *, int, ...);                                  \
        if (!real)                                                                        \
            real = (int (*)(int, const char *, int, ...))dlsym(RTLD_NEXT, #name);        \
        mode_t mode = 0;                                                                  \
        if (flags & (O_CREAT | __O_TMPFILE)) {                                            \
            va_list args;                                                                 \
            va_start(args, flags);                                                        \
            mode = va_arg(args, mode_t);                                                  \
            va_end(args);                                                                 \
        }                                                                                 \
        if ((flags & __O_TMPFILE) == __O_TMPFILE && failing("tmpfile")) {                 \
            errno = EOPNOTSUPP;                                                           \
            return -1;                                                                    \
        }                                                                                 \
        return real(dir, path, flags, mode);                                              \
    }
OPEN_AT(openat)
OPEN_AT(openat64)
