/* Preloaded into a program to make its disk fail: with FAIL_IO=write every write() to a
 * regular file fails as on a full disk (ENOSPC); with FAIL_IO=fsync every fsync() and
 * fdatasync() fails with EIO. Anything else goes through. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int failing(const char *what)
{
    const char *mode = getenv("FAIL_IO");
    return mode && strcmp(mode, what) == 0;
}

static int regular(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

ssize_t write(int fd, const void *buf, size_t count)
{
    static ssize_t (*real)(int, const void *, size_t);
    if (!real)
        real = (ssize_t (*)(int, const void *, size_t))dlsym(RTLD_NEXT, "write");
    if (failing("write") && regular(fd)) {
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
    if (failing("fsync")) {
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
    if (failing("fsync")) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}
