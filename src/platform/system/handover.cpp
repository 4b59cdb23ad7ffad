#include "handover.h"

#include "file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

int handOver(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return 127;
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 1;
}

bool processRunning(qint64 pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

QString privateBase()
{
    return QDir::tempPath(); // the user's own %TEMP%
}

bool ownFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && !info.isJunction();
}

bool ownFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

bool linkFile(const QString &target, const QString &link)
{
    return CreateHardLinkW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(link).utf16()),
                           reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(target).utf16()),
                           nullptr);
}

#else

int handOver(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> bytes;
    bytes.push_back(nameForSystem(program));
    for (const QString &argument : arguments)
        bytes.push_back(nameForSystem(argument));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    return 127;
}

bool processRunning(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

bool ownFolder(const QString &path)
{
    struct stat st;
    return ::lstat(nameForSystem(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && st.st_uid == ::geteuid();
}

bool ownFile(const QString &path)
{
    struct stat st;
    return ::lstat(nameForSystem(path).constData(), &st) == 0 && S_ISREG(st.st_mode)
           && st.st_uid == ::geteuid();
}

QString privateBase()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat st;
    if (runtime.startsWith(u'/') && ::lstat(nameForSystem(runtime).constData(), &st) == 0
        && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0)
        return QDir::cleanPath(runtime); // "/run/user/1000/" names the folder "/run/user/1000"
    return QDir::tempPath();
}

bool linkFile(const QString &target, const QString &link)
{
    return ::symlink(nameForSystem(target).constData(), nameForSystem(link).constData()) == 0;
}

#endif

std::optional<QString> makePrivateFolder(const QString &base, const QString &prefix)
{
    if (!QFileInfo(base).isDir())
        return std::nullopt;
    // QTemporaryDir makes the folder with mkdtemp's rules: a new random name, mode 0700, never
    // one that was there.
    QTemporaryDir folder(base + u'/' + prefix + QStringLiteral(".XXXXXXXXXX"));
    if (!folder.isValid())
        return std::nullopt;
    folder.setAutoRemove(false);
    return folder.path();
}

} // namespace platform
