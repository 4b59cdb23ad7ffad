#include "handover.h"

#include "file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#include <tlhelp32.h>
#else
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace platform {

int runWatched(const QString &program, const QStringList &arguments, const std::function<void(const QByteArray &)> &onLine)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
#ifdef Q_OS_LINUX
    // Ended with its keeper: a process that stops this one stops the emulator too.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return 127;
    QByteArray pending;
    const auto take = [&](bool all) {
        pending += process.readAll();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            onLine(pending.left(end));
            pending.remove(0, end + 1);
        }
        if (pending.size() > 64 * 1024 || (all && !pending.isEmpty())) {
            onLine(pending);
            pending.clear();
        }
    };
    while (process.state() == QProcess::Running) {
        process.waitForReadyRead(-1);
        take(false);
    }
    process.waitForFinished(-1);
    take(true);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 1;
}

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

QList<qint64> childProcesses(qint64 pid)
{
    QList<qint64> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (bool more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (qint64(entry.th32ParentProcessID) == pid && entry.th32ProcessID != 0)
            children.append(qint64(entry.th32ProcessID));
    CloseHandle(snapshot);
    return children;
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

QList<qint64> childProcesses(qint64 pid)
{
    // /proc/<id>/stat: "id (name) state parent ..."; the name may hold blanks and brackets.
    QList<qint64> children;
    const QStringList ids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &id : ids) {
        bool number = false;
        const qint64 child = id.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/") + id + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.read(1024);
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (close > 0 && fields.size() > 1 && fields[1].toLongLong() == pid)
            children.append(child);
    }
    return children;
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

QString bundledAdapter()
{
#ifdef Q_OS_WIN
    const QFileInfo adapter(QCoreApplication::applicationDirPath() + QStringLiteral("/tarumin-openmsx.exe"));
    return adapter.isFile() ? adapter.absoluteFilePath() : QString();
#else
    return {}; // the folder's mess.exe is made at its seeding
#endif
}

QStringList emulatorPlaces(const QString &name, const QString &folder)
{
#ifdef Q_OS_WIN
    const QString file = name + QStringLiteral(".exe");
#else
    const QString file = name;
#endif
    QStringList candidates{QCoreApplication::applicationDirPath() + u'/' + file,
                           QCoreApplication::applicationDirPath() + u'/' + folder + u'/' + file};
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty())
        candidates << found;
#ifdef Q_OS_WIN
    for (const char *variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
        const QString programs = qEnvironmentVariable(variable);
        if (!programs.isEmpty())
            candidates << QDir::fromNativeSeparators(programs) + u'/' + folder + u'/' + file;
    }
#else
    candidates << QStringLiteral("/usr/games/") + file << QStringLiteral("/usr/local/games/") + file;
#endif
    QStringList places;
    for (const QString &c : candidates) {
        const QFileInfo info(c);
        if (info.isFile() && info.isExecutable() && !places.contains(info.absoluteFilePath()))
            places << info.absoluteFilePath();
    }
    return places;
}

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
