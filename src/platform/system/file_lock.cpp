#include "file_lock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {
constexpr int RetryMs = 20;
}

FileLock::FileLock(QString path) : path_(std::move(path)) {}

FileLock::~FileLock()
{
    release();
}

FileLock::Result FileLock::lock(int waitMs, const std::function<void()> &whileWaiting)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        Result failure = Result::Failed;
        switch (tryOnce(failure)) {
        case Try::Locked: return Result::Locked;
        case Try::Again: // the holder removed the file as we opened it
            if (deadline.hasExpired())
                return Result::Busy;
            continue;
        case Try::Held: break;
        }
        if (failure != Result::Busy)
            return failure;
        if (deadline.hasExpired())
            return Result::Busy;
        if (whileWaiting)
            whileWaiting();
        QThread::msleep(RetryMs);
    }
}

#ifdef Q_OS_WIN

FileLock::Try FileLock::tryOnce(Result &failure)
{
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(path_.utf16()),
                                 GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path_.utf16()));
        // Another program has the lock file open without sharing it (QLockFile does so): it
        // holds the lock.
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
            failure = Result::Busy;
            return Try::Held;
        }
        SetLastError(code);
        if (attributes != INVALID_FILE_ATTRIBUTES
            && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
            failure = Result::NotAFile;
        } else {
            system_ = lastSystemError();
            failure = Result::Failed;
        }
        return Try::Held;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info)
        || (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        CloseHandle(h);
        failure = Result::NotAFile;
        return Try::Held;
    }
    OVERLAPPED overlapped = {};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &overlapped)) {
        CloseHandle(h);
        failure = Result::Busy;
        return Try::Held;
    }
    handle_ = h;
    return Try::Locked;
}

void FileLock::release()
{
    if (handle_) {
        CloseHandle(static_cast<HANDLE>(handle_)); // the lock goes with the handle
        handle_ = nullptr;
    }
}

#else

FileLock::Try FileLock::tryOnce(Result &failure)
{
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        const int code = errno;
        // A link (ELOOP), a folder (EISDIR), a socket or a device with nothing behind it (ENXIO).
        if (code == ELOOP || code == EISDIR || code == ENXIO || code == EMLINK) {
            failure = Result::NotAFile;
        } else {
            system_ = systemErrorFromErrno(code);
            failure = Result::Failed;
        }
        return Try::Held;
    }
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        failure = Result::NotAFile;
        return Try::Held;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK || code == EINTR) {
            failure = Result::Busy;
        } else {
            system_ = systemErrorFromErrno(code);
            failure = Result::Failed;
        }
        return Try::Held;
    }
    // The holder before us removes the file as it lets go: what we locked must still be the
    // file at the path, or we start again with the new one.
    struct stat named;
    if (::lstat(name.constData(), &named) != 0 || named.st_dev != opened.st_dev
        || named.st_ino != opened.st_ino) {
        ::close(fd);
        return Try::Again;
    }
    fd_ = fd;
    return Try::Locked;
}

void FileLock::release()
{
    if (fd_ >= 0) {
        ::unlink(QFile::encodeName(path_).constData());
        ::close(fd_);
        fd_ = -1;
    }
}

#endif

} // namespace platform
