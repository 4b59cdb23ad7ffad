#pragma once

#include "system_error.h"

#include <QString>

#include <functional>

namespace platform {

// An exclusive lock on a lock file beside the file it guards, held from lock() until the lock
// object goes. The lock file is opened without following a link and without blocking, and is
// used only when it is a plain file: a folder, a pipe, a device or a link standing there is
// reported at once, never waited on. The system releases the lock of a program that dies, so
// no lock is ever left stale. Locks taken by QLockFile on the same file exclude this one too.
class FileLock
{
public:
    enum class Result {
        Locked,
        Busy,      // another program held it for the whole wait
        NotAFile,  // something that is not a plain file stands at the lock's path
        Failed,    // the lock file could not be made or opened (system())
    };

    explicit FileLock(QString path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Tries until it has the lock or waitMs have passed; whileWaiting is called between tries
    // (so that a window can repaint), only when the lock is held by another program.
    Result lock(int waitMs, const std::function<void()> &whileWaiting = {});
    const SystemError &system() const { return system_; }
    const QString &path() const { return path_; }

private:
    enum class Try { Locked, Held, Again };
    Try tryOnce(Result &failure);
    void release();

    QString path_;
    SystemError system_;
#ifdef Q_OS_WIN
    void *handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

} // namespace platform
