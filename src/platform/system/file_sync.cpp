#include "file_sync.h"

#include <QFileDevice>

#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
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

} // namespace platform
