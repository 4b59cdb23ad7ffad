#include "file_sync.h"

#include <QFile>
#include <QFileDevice>

#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

std::optional<SystemError> syncToDisk(QFileDevice &file)
{
    clearSystemError();
    if (!file.flush())
        return lastSystemError(file.errorString());
    const int fd = file.handle();
    if (fd < 0)
        return SystemError{SystemError::Kind::Other, QStringLiteral("no file handle")};
#ifdef Q_OS_WIN
    const int result = _commit(fd);
#else
    const int result = fsync(fd);
#endif
    if (result != 0)
        return systemErrorFromErrno(errno);
    return std::nullopt;
}

void keepOwnerAndMode(QFileDevice &newFile, const QString &oldPath)
{
#ifdef Q_OS_WIN
    Q_UNUSED(newFile);
    Q_UNUSED(oldPath);
#else
    struct stat old;
    const int fd = newFile.handle();
    if (fd < 0 || ::stat(QFile::encodeName(oldPath).constData(), &old) != 0)
        return;
    struct stat now;
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
        (void)::fchown(fd, old.st_uid, old.st_gid); // allowed to root only: a user keeps theirs
    (void)::fchmod(fd, old.st_mode & 07777);
#endif
}

bool replaceHeldByReader(const SystemError &error)
{
#ifdef Q_OS_WIN
    return error.kind == SystemError::Kind::AccessDenied || error.kind == SystemError::Kind::Busy;
#else
    Q_UNUSED(error);
    return false; // a file open elsewhere never stops a rename
#endif
}

} // namespace platform
