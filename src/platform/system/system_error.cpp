#include "system_error.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L // not in every SDK's headers
#endif
#endif

namespace platform {

namespace {

SystemError::Kind kindOfErrno(int code)
{
    using Kind = SystemError::Kind;
    switch (code) {
    case ENOSPC: return Kind::NoSpace;
#ifdef EDQUOT
    case EDQUOT: return Kind::QuotaExceeded;
#endif
    case EIO: return Kind::DiskFailure;
    case EACCES:
    case EPERM: return Kind::AccessDenied;
    case EROFS: return Kind::ReadOnlyMedium;
    case ENOENT: return Kind::NotFound;
    case ENOTDIR: return Kind::NotAFolder;
#ifdef ELOOP
    case ELOOP: return Kind::Link;
#endif
    case EISDIR: return Kind::IsAFolder;
    case ENAMETOOLONG: return Kind::NameTooLong;
    case EFBIG: return Kind::TooLarge;
    case EBUSY:
    case ETXTBSY: return Kind::Busy;
    case ENOMEM:
    case EMFILE:
    case ENFILE: return Kind::OutOfResources;
    default: return Kind::Other;
    }
}

} // namespace

SystemError systemErrorFromErrno(int code)
{
    return {kindOfErrno(code), QString::fromLocal8Bit(std::strerror(code))};
}

void clearSystemError()
{
    errno = 0;
#ifdef Q_OS_WIN
    SetLastError(0);
#endif
}

#ifdef Q_OS_WIN

SystemError lastSystemError(const QString &fallbackText)
{
    using Kind = SystemError::Kind;
    const DWORD code = GetLastError();
    if (code == 0)
        return {Kind::Other, fallbackText};
    Kind kind = Kind::Other;
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: kind = Kind::NoSpace; break;
    case ERROR_DISK_QUOTA_EXCEEDED: kind = Kind::QuotaExceeded; break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: kind = Kind::DiskFailure; break;
    case ERROR_ACCESS_DENIED: kind = Kind::AccessDenied; break;
    case ERROR_WRITE_PROTECT: kind = Kind::ReadOnlyMedium; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: kind = Kind::NotFound; break;
    case ERROR_FILENAME_EXCED_RANGE: kind = Kind::NameTooLong; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: kind = Kind::Busy; break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_TOO_MANY_OPEN_FILES: kind = Kind::OutOfResources; break;
    default: break;
    }
    wchar_t *buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                       | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text = buffer ? QString::fromWCharArray(buffer).trimmed() : fallbackText;
    LocalFree(buffer);
    return {kind, text};
}

#else

SystemError lastSystemError(const QString &fallbackText)
{
    const int code = errno;
    if (code == 0)
        return {SystemError::Kind::Other, fallbackText};
    return systemErrorFromErrno(code);
}

#endif

} // namespace platform
