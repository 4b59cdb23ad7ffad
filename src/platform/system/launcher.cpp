#include "launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace platform {

QStringList splitCommandLine(const QString &arguments)
{
    QStringList out;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    const qsizetype n = arguments.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = arguments.at(i);
        if (!quoted && (c == u' ' || c == u'\t')) {
            if (inArgument) {
                out << current;
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            qsizetype slashes = 0;
            while (i < n && arguments.at(i) == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < n && arguments.at(i) == u'"') {
                current.append(QString(slashes / 2, u'\\'));
                if (slashes % 2) {
                    current.append(u'"');
                    ++i;
                }
            } else {
                current.append(QString(slashes, u'\\'));
            }
            continue;
        }
        if (c == u'"') {
            if (quoted && i + 1 < n && arguments.at(i + 1) == u'"') {
                current.append(u'"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current.append(c);
        ++i;
    }
    if (inArgument)
        out << current;
    return out;
}

namespace {

// The last few lines of what a program wrote to its error output.
QString tailOf(QFile &file)
{
    constexpr qint64 Bytes = 2048;
    constexpr int Lines = 6;
    const qint64 size = file.size();
    if (!file.seek(qMax<qint64>(0, size - Bytes)))
        return {};
    QByteArray data = file.read(Bytes);
    QList<QByteArray> lines = data.trimmed().split('\n');
    if (size > Bytes && lines.size() > 1)
        lines.removeFirst(); // cut in the middle
    while (lines.size() > Lines)
        lines.removeFirst();
    for (QByteArray &line : lines)
        line = line.trimmed();
    return QString::fromLocal8Bit(lines.join('\n'));
}

// Watches a started program for its first seconds, then lets it go.
class ExitWatch : public QObject
{
public:
    ExitWatch(QObject *context, std::unique_ptr<QTemporaryFile> errors,
              std::function<void(const EarlyExit &)> report, std::function<void()> ended)
        : QObject(context), errors_(std::move(errors)), report_(std::move(report)), ended_(std::move(ended))
    {
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, &ExitWatch::poll);
        timer_.start(100);
    }
#ifdef Q_OS_WIN
    void watch(HANDLE process) { process_ = process; }
    ~ExitWatch() override
    {
        if (process_)
            CloseHandle(process_);
    }
#else
    void watch(pid_t pid) { pid_ = pid; }
    ~ExitWatch() override
    {
        // Still running: nobody reaps it now, so it becomes init's child when this program
        // ends; until then it would stay a zombie after its end, which does no harm.
    }
#endif

private:
    void poll()
    {
        std::optional<EarlyExit> exit;
        bool ended = false;
#ifdef Q_OS_WIN
        DWORD code = STILL_ACTIVE;
        if (!GetExitCodeProcess(process_, &code) || code != STILL_ACTIVE) {
            ended = true;
            if (code != 0 && code != STILL_ACTIVE)
                exit = EarlyExit{int(code), false, {}};
        }
#else
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno != EINTR)) {
            ended = true;
            if (r == pid_ && WIFEXITED(status) && WEXITSTATUS(status) != 0)
                exit = EarlyExit{WEXITSTATUS(status), false, {}};
            else if (r == pid_ && WIFSIGNALED(status))
                exit = EarlyExit{WTERMSIG(status), true, {}};
        }
#endif
        const bool watching = clock_.elapsed() <= EarlyExitWatchMs;
        if (exit && watching && report_) {
            // Without a temporary folder there is no log: the exit is told without its words.
            if (errors_)
                exit->errorTail = tailOf(*errors_);
            timer_.stop();
            report_(*exit);
        }
        if (ended) {
            if (ended_)
                ended_();
            deleteLater();
            return;
        }
        if (!watching && timer_.interval() < 1000) {
            // From now on only to collect its end, quietly.
            errors_.reset();
            timer_.setInterval(1000);
        }
    }

    std::unique_ptr<QTemporaryFile> errors_;
    std::function<void(const EarlyExit &)> report_;
    std::function<void()> ended_;
    QElapsedTimer clock_;
    QTimer timer_;
#ifdef Q_OS_WIN
    HANDLE process_ = nullptr;
#else
    pid_t pid_ = -1;
#endif
};

} // namespace

std::optional<LaunchError> startProgram(const QString &program, const QString &arguments,
                                        const QString &workingFolder, QObject *context,
                                        std::function<void(const EarlyExit &)> onEarlyExit,
                                        qint64 *started, std::function<void()> onEnd)
{
    const QFileInfo info(program);
    if (!info.exists())
        return LaunchError{LaunchError::Kind::Missing, {}};
    if (info.isDir())
        return LaunchError{LaunchError::Kind::IsAFolder, {}};
#ifndef Q_OS_WIN
    if (!info.isExecutable())
        return LaunchError{LaunchError::Kind::NotExecutable, {}};
#endif

    // Its error output, kept for the report of an early failure.
    // Qt names no folder when TMPDIR names one that is not there: then there is no log.
    const QString temporary = QDir::tempPath();
    std::unique_ptr<QTemporaryFile> errors;
    if (!temporary.isEmpty() && QFileInfo(temporary).isDir()) {
        errors = std::make_unique<QTemporaryFile>(temporary + QStringLiteral("/tarumin-emulator-XXXXXX.log"));
        if (!errors->open())
            errors.reset();
    }

#ifdef Q_OS_WIN
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(workingFolder);
    if (errors)
        process.setStandardErrorFile(errors->fileName());
    // The command line exactly as the catalogue's users have always had it: the program's path,
    // one blank, the arguments as they stand (Qt would put two blanks between them). The path
    // is quoted only when it holds a blank, or the emulator would take its second word for the
    // machine.
    const QString path = QDir::toNativeSeparators(info.absoluteFilePath());
    const QString line = (path.contains(u' ') ? u'"' + path + u'"' : path) + u' ' + arguments;
    auto commandLine = std::make_shared<std::wstring>(line.toStdWString());
    process.setCreateProcessArgumentsModifier([commandLine](QProcess::CreateProcessArguments *args) {
        args->arguments = commandLine->data();
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
    });
    qint64 pid = 0;
    clearSystemError();
    if (!process.startDetached(&pid))
        return LaunchError{LaunchError::Kind::StartFailed, lastSystemError(process.errorString())};
    if (started)
        *started = pid;
    if (context) {
        HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
        if (handle) {
            auto *watch = new ExitWatch(context, std::move(errors), std::move(onEarlyExit), std::move(onEnd));
            watch->watch(handle);
        }
    }
    return std::nullopt;
#else
    // Everything the child needs is made before the fork: after it, only calls that are safe
    // in a copy of a program with threads (chdir, dup2, exec, write, _exit).
    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(workingFolder);
    QList<QByteArray> args{path};
    for (const QString &a : splitCommandLine(arguments))
        args << QFile::encodeName(a);
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int errorFd = errors ? errors->handle() : -1;

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return LaunchError{LaunchError::Kind::StartFailed, lastSystemError()};
    const pid_t pid = fork();
    if (pid < 0) {
        const SystemError error = lastSystemError();
        close(report[0]);
        close(report[1]);
        return LaunchError{LaunchError::Kind::StartFailed, error};
    }
    if (pid == 0) {
        close(report[0]);
        setsid(); // its own session: it outlives this program and its terminal
        int failure = 0;
        if (chdir(folder.constData()) != 0)
            failure = errno;
        if (!failure && errorFd >= 0 && dup2(errorFd, STDERR_FILENO) < 0)
            failure = errno;
        if (!failure) {
            execv(path.constData(), argv.data());
            failure = errno;
        }
        while (write(report[1], &failure, sizeof failure) < 0 && errno == EINTR) {
        }
        _exit(127);
    }
    close(report[1]);
    int failure = 0;
    ssize_t got;
    do {
        got = read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == ssize_t(sizeof failure)) {
        waitpid(pid, nullptr, 0);
        return LaunchError{LaunchError::Kind::StartFailed, systemErrorFromErrno(failure)};
    }
    // Watched for its first seconds when someone wants to hear of a failure, and reaped at
    // its end either way.
    auto *watch = new ExitWatch(context ? context : QCoreApplication::instance(), std::move(errors),
                                context ? std::move(onEarlyExit) : nullptr, context ? std::move(onEnd) : nullptr);
    watch->watch(pid);
    if (started)
        *started = pid;
    return std::nullopt;
#endif
}

} // namespace platform
