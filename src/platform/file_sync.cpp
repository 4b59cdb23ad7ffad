#include "file_sync.h"

#include <QFileDevice>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform {

std::optional<QString> syncToDisk(QFileDevice &file)
{
    if (!file.flush())
        return file.errorString();
    const int fd = file.handle();
    if (fd < 0)
        return QStringLiteral("no file handle");
#ifdef Q_OS_WIN
    const int result = _commit(fd);
#else
    const int result = fsync(fd);
#endif
    if (result != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return std::nullopt;
}

} // namespace platform
