#include "new_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#include <vector>
#else
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

QString leftoverName()
{
    return QLatin1String(NewFile::LeftoverPrefix)
           + QString::number(QRandomGenerator::system()->generate64(), 36);
}

} // namespace

#ifdef Q_OS_WIN

namespace {

std::wstring wide(const QString &s)
{
    return s.toStdWString();
}

} // namespace

NewFile::NewFile(const QString &folder) : folder_(QDir::toNativeSeparators(folder))
{
    const DWORD attributes = GetFileAttributesW(wide(folder_).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        failure_ = lastSystemError();
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        failure_ = SystemError{SystemError::Kind::NotAFolder, {}};
        return;
    }
    for (int tries = 0; tries < 100; ++tries) {
        const QString name = leftoverName();
        // Not shared for deleting: while it is open, nobody removes it as a leftover.
        const HANDLE h = CreateFileW(wide(folder_ + u'\\' + name).c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = h;
            temporary_ = name;
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    failure_ = lastSystemError();
}

NewFile::~NewFile()
{
    if (handle_)
        CloseHandle(static_cast<HANDLE>(handle_));
    if (!named_ && !temporary_.isEmpty())
        DeleteFileW(wide(folder_ + u'\\' + temporary_).c_str());
}

bool NewFile::write(const char *data, qint64 size)
{
    if (failure_)
        return false;
    while (size > 0) {
        DWORD wrote = 0;
        const DWORD chunk = DWORD(qMin<qint64>(size, 1 << 30));
        if (!WriteFile(static_cast<HANDLE>(handle_), data, chunk, &wrote, nullptr)) {
            failure_ = lastSystemError();
            return false;
        }
        data += wrote;
        size -= wrote;
    }
    return true;
}

bool NewFile::restart()
{
    if (failure_)
        return false;
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(static_cast<HANDLE>(handle_), zero, nullptr, FILE_BEGIN)
        || !SetEndOfFile(static_cast<HANDLE>(handle_))) {
        failure_ = lastSystemError();
        return false;
    }
    return true;
}

NewFile::Naming NewFile::name(const QString &fileName)
{
    if (failure_)
        return Naming::Failed;
    const HANDLE h = static_cast<HANDLE>(handle_);
    if (!FlushFileBuffers(h)) {
        failure_ = lastSystemError();
        return Naming::Failed;
    }
    // Renamed through its own handle, never over a file that is there.
    const std::wstring target = wide(folder_ + u'\\' + fileName);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto *info = reinterpret_cast<FILE_RENAME_INFO *>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = DWORD(target.size() * sizeof(wchar_t));
    memcpy(info->FileName, target.c_str(), target.size() * sizeof(wchar_t));
    if (!SetFileInformationByHandle(h, FileRenameInfo, info, DWORD(buffer.size()))) {
        const DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
            return Naming::Taken;
        failure_ = lastSystemError();
        return Naming::Failed;
    }
    named_ = true;
    CloseHandle(h); // done: others may open it as they like
    handle_ = nullptr;
    return Naming::Named;
}

int removeLeftovers(const QString &folder)
{
    int removed = 0;
    // Compared by hand, not by a name filter (a pattern match on a worker thread).
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1String(NewFile::LeftoverPrefix)))
            continue;
        // A copy still being written is open without sharing for deleting: it stays.
        if (DeleteFileW(wide(QDir::toNativeSeparators(folder + u'/' + name)).c_str()))
            ++removed;
    }
    return removed;
}

#else

namespace {

// Linux makes files without a name, named later through /proc; elsewhere, and on file systems
// that cannot (FAT, exFAT, NFS), the file has a name of its own until then.
bool canNameThroughProc()
{
#ifdef O_TMPFILE
    static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    return proc;
#else
    return false;
#endif
}

} // namespace

NewFile::NewFile(const QString &folder) : folder_(folder)
{
    folderFd_ = ::open(QFile::encodeName(folder).constData(),
                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd_ < 0) {
        failure_ = systemErrorFromErrno(errno);
        return;
    }
#ifdef O_TMPFILE
    if (canNameThroughProc()) {
        fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            unnamed_ = true;
            return;
        }
    }
#endif
    for (int tries = 0; tries < 100; ++tries) {
        const QString name = leftoverName();
        const QByteArray native = QFile::encodeName(name);
        const int fd = ::openat(folderFd_, native.constData(),
                                O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            failure_ = systemErrorFromErrno(errno);
            return;
        }
        // Locked while it is written; a cleaner that took it between its making and the lock
        // has removed it, and another is made.
        struct stat opened, there;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &opened) != 0
            || ::fstatat(folderFd_, native.constData(), &there, AT_SYMLINK_NOFOLLOW) != 0
            || opened.st_ino != there.st_ino || opened.st_dev != there.st_dev) {
            ::close(fd);
            continue;
        }
        fd_ = fd;
        temporary_ = name;
        return;
    }
    failure_ = systemErrorFromErrno(EEXIST);
}

NewFile::~NewFile()
{
    if (!named_ && !temporary_.isEmpty())
        ::unlinkat(folderFd_, QFile::encodeName(temporary_).constData(), 0);
    if (fd_ >= 0)
        ::close(fd_);
    if (folderFd_ >= 0)
        ::close(folderFd_);
}

bool NewFile::write(const char *data, qint64 size)
{
    if (failure_)
        return false;
    while (size > 0) {
        const ssize_t wrote = ::write(fd_, data, size_t(qMin<qint64>(size, 1 << 30)));
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            failure_ = systemErrorFromErrno(errno);
            return false;
        }
        data += wrote;
        size -= wrote;
    }
    return true;
}

bool NewFile::restart()
{
    if (failure_)
        return false;
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        failure_ = systemErrorFromErrno(errno);
        return false;
    }
    return true;
}

NewFile::Naming NewFile::name(const QString &fileName)
{
    if (failure_)
        return Naming::Failed;
    if (::fsync(fd_) != 0) {
        failure_ = systemErrorFromErrno(errno);
        return Naming::Failed;
    }
    const QByteArray target = QFile::encodeName(fileName);
    int result;
    if (unnamed_) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
        result = ::linkat(AT_FDCWD, self.constData(), folderFd_, target.constData(), AT_SYMLINK_FOLLOW);
    } else {
        // A second name for the file, made only where no name is: then its own name goes. A
        // file system without links (FAT) renames it instead, equally never over a file.
        const QByteArray own = QFile::encodeName(temporary_);
        result = ::linkat(folderFd_, own.constData(), folderFd_, target.constData(), 0);
        if (result == 0) {
            ::unlinkat(folderFd_, own.constData(), 0);
        } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK) {
            result = ::renameat2(folderFd_, own.constData(), folderFd_, target.constData(), RENAME_NOREPLACE);
        }
    }
    if (result != 0) {
        if (errno == EEXIST)
            return Naming::Taken;
        failure_ = systemErrorFromErrno(errno);
        return Naming::Failed;
    }
    named_ = true;
    return Naming::Named;
}

int removeLeftovers(const QString &folder)
{
    const int folderFd = ::open(QFile::encodeName(folder).constData(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return 0;
    DIR *dir = ::fdopendir(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    int removed = 0;
    const size_t prefix = strlen(NewFile::LeftoverPrefix);
    while (dir) {
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        if (strncmp(entry->d_name, NewFile::LeftoverPrefix, prefix) != 0)
            continue;
        const int fd = ::openat(folderFd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        // One still being written is locked by its writer.
        struct stat opened, there;
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::fstatat(folderFd, entry->d_name, &there, AT_SYMLINK_NOFOLLOW) == 0
            && opened.st_ino == there.st_ino && opened.st_dev == there.st_dev
            && ::unlinkat(folderFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    if (dir)
        ::closedir(dir);
    ::close(folderFd);
    return removed;
}

#endif

} // namespace platform
