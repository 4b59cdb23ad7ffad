#include "file_read.h"

#include "file_names.h"
#include "handover.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <memory>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_WIN
// Opens without following into a pipe's wait, then checks the handle: a disk file, not a folder.
int openChecked(const QString &path, bool follow, ReadProblem &problem, SystemError &system,
                qint64 &size)
{
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            problem = ReadProblem::Folder;
        else if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            problem = ReadProblem::Missing;
        else if (code == ERROR_PIPE_BUSY)
            problem = ReadProblem::NotAFile;
        else {
            SetLastError(code);
            problem = ReadProblem::Failed;
            system = lastSystemError();
        }
        return -1;
    }
    LARGE_INTEGER bytes;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &bytes)
        || (!follow && (!GetFileInformationByHandle(h, &info)
                        || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)))) {
        CloseHandle(h);
        problem = ReadProblem::NotAFile;
        return -1;
    }
    size = bytes.QuadPart;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        problem = ReadProblem::Failed;
        system = systemErrorFromErrno(errno);
    }
    return fd;
}
#else
int openChecked(const QString &path, bool follow, ReadProblem &problem, SystemError &system,
                qint64 &size)
{
    const int fd = ::open(nameForSystem(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            problem = ReadProblem::Missing;
        else if (code == ENXIO || (!follow && code == ELOOP)) // a socket, a device with nothing behind it, a link
            problem = ReadProblem::NotAFile;
        else {
            problem = ReadProblem::Failed;
            system = systemErrorFromErrno(code);
        }
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        problem = folder ? ReadProblem::Folder : ReadProblem::NotAFile;
        return -1;
    }
    size = st.st_size;
    return fd;
}
#endif

} // namespace

PlainFile::PlainFile(const QString &path, Links links)
{
    const int fd = openChecked(path, links == Links::Follow, problem_, system_, size_);
    if (fd < 0)
        return;
    if (!file_.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
#ifdef Q_OS_WIN
        _close(fd);
#else
        ::close(fd);
#endif
        problem_ = ReadProblem::Failed;
        system_ = SystemError{SystemError::Kind::Other, file_.errorString()};
    }
}

int PlainFile::takeDescriptor()
{
    if (!ok())
        return -1;
    const int fd = file_.handle();
#ifdef Q_OS_WIN
    const int copy = _dup(fd);
#else
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
#endif
    file_.close();
    problem_ = ReadProblem::Failed;
    return copy;
}

FileRead readPlainFile(const QString &path, qint64 maxBytes)
{
    FileRead result;
    PlainFile file(path);
    if (!file.ok()) {
        result.problem = file.problem();
        result.system = file.system();
        return result;
    }
    if (file.size() > maxBytes) {
        result.problem = FileRead::Problem::TooLarge;
        return result;
    }
    constexpr qint64 Chunk = 64 * 1024;
    QIODevice &device = file.device();
    for (;;) {
        const qsizetype had = result.data.size();
        result.data.resize(had + Chunk);
        clearSystemError();
        const qint64 got = device.read(result.data.data() + had, Chunk);
        if (got < 0) {
            result.data.clear();
            result.problem = FileRead::Problem::Failed;
            result.system = lastSystemError(device.errorString());
            return result;
        }
        result.data.resize(had + got);
        if (result.data.size() > maxBytes) {
            result.data.clear();
            result.problem = FileRead::Problem::TooLarge;
            return result;
        }
        if (got == 0)
            return result;
    }
}

FileStamp stampOf(const QString &path)
{
    FileStamp stamp;
#ifdef Q_OS_WIN
    // Opened for nothing but its attributes, sharing everything: no writer is held up. The
    // time a file was made is not told: Windows gives a file put in place of another by a
    // rename the old one's.
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return stamp;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(h, &info)) {
        stamp.exists = true;
        stamp.device = info.dwVolumeSerialNumber;
        stamp.file = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        stamp.size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
        const quint64 ticks = (quint64(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
        stamp.modifiedMs = qint64(ticks / 10000) - 11644473600000LL; // from 1601 to 1970
    }
    CloseHandle(h);
#else
    const QByteArray name = nameForSystem(path);
#if defined(STATX_BTIME)
    struct statx sx;
    if (::statx(AT_FDCWD, name.constData(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
        stamp.exists = true;
        stamp.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
        stamp.file = sx.stx_ino;
        stamp.size = qint64(sx.stx_size);
        stamp.modifiedMs = qint64(sx.stx_mtime.tv_sec) * 1000 + sx.stx_mtime.tv_nsec / 1000000;
        if (sx.stx_mask & STATX_BTIME)
            stamp.bornMs = qint64(sx.stx_btime.tv_sec) * 1000 + sx.stx_btime.tv_nsec / 1000000;
        return stamp;
    }
    if (errno != ENOSYS)
        return stamp;
#endif
    struct stat st;
    if (::stat(name.constData(), &st) == 0) {
        stamp.exists = true;
        stamp.device = quint64(st.st_dev);
        stamp.file = quint64(st.st_ino);
        stamp.size = qint64(st.st_size);
        stamp.modifiedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    }
#endif
    return stamp;
}

std::optional<QByteArray> readOwnCache(const QString &path, qint64 maxBytes)
{
    if (path.isEmpty() || !ownFile(path))
        return std::nullopt;
    FileRead read = readPlainFile(path, maxBytes); // opened without waiting, size capped
    if (!read.ok())
        return std::nullopt;
    return std::move(read.data);
}

bool writeOwnCache(const QString &path, const QByteArray &data)
{
    if (path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QFileInfo there(path);
    if ((there.exists() || there.isSymLink()) && !ownFile(path) && !QFile::remove(path))
        return false;
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(data) == data.size() && out.commit();
}

QThreadPool *diskLookThreads()
{
    // Made once and never destroyed: destroying a pool waits for its threads.
    static QThreadPool *const pool = [] {
        auto *threads = new QThreadPool;
        threads->setMaxThreadCount(2);
        return threads;
    }();
    return pool;
}

std::optional<bool> existsWithin(const QString &path, int ms)
{
    // -1 until the look answers; shared with it, which may outlive the wait.
    const auto answer = std::make_shared<std::atomic<int>>(-1);
    diskLookThreads()->start([answer, path] { *answer = QFileInfo::exists(path) ? 1 : 0; });
    const QDeadlineTimer deadline(ms);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (*answer >= 0 || deadline.hasExpired())
            loop.quit();
    });
    poll.start(5);
    if (*answer < 0)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (*answer < 0)
        return std::nullopt;
    return *answer == 1;
}

} // namespace platform
