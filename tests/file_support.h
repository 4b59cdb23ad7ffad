#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

// Small file helpers shared by the tests.

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The lines of a CR LF file, each with its CR.
inline QList<QByteArray> linesOf(const QByteArray &data)
{
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// How many rounds a loop of kills or races runs: a few in the everyday test run, the full
// count when TARUMIN_KILLS says (scripts/stress.sh), so that no test depends on the machine's
// speed to finish in time.
inline int killRounds(int everyday)
{
    const int asked = qEnvironmentVariableIntValue("TARUMIN_KILLS");
    return asked > 0 ? asked : everyday;
}

// Waits for a program started beside others. While the test waits on one, Qt on Windows may
// already see another end, whose own wait then returns false at once: ended all the same.
inline bool ended(QProcess &p, int ms)
{
    return p.waitForFinished(ms) || (p.state() == QProcess::NotRunning && p.error() != QProcess::FailedToStart);
}

// File permissions stop this process (root, like Windows, is not stopped by a read-only mode).
inline bool permissionsApply()
{
#ifdef Q_OS_UNIX
    return geteuid() != 0;
#else
    return false;
#endif
}

#ifdef Q_OS_UNIX
// While it lives, no file of this process may grow past limit bytes: a write past it fails
// (EFBIG) as on a full disk, for root too, so that a save fails at its write.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit now = old_;
        now.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }

private:
    rlimit old_;
    void (*oldSignal_)(int);
};
#endif
