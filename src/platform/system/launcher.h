#pragma once

#include "system_error.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include <optional>

namespace platform {

// Splits the argument part of a command line the way the Windows C runtime does: blanks and
// tabs separate arguments, double quotes group, backslashes before a quote escape it, and a
// trailing blank adds nothing.
QStringList splitCommandLine(const QString &arguments);

// Why a program could not be started.
struct LaunchError
{
    enum class Kind {
        Missing,       // no such file
        IsAFolder,     // the name is a folder's
        NotExecutable, // the file may not be run
        StartFailed,   // the system would not start it (system)
    };
    Kind kind = Kind::StartFailed;
    SystemError system;
};

// A started program that ended with a failure soon after its start.
struct EarlyExit
{
    int status = 0;       // its exit status, or the signal that ended it
    bool crashed = false; // ended by a signal
    QString errorTail;    // the last lines it wrote to its error output
};

// How long after its start a program's failure is still reported.
inline constexpr int EarlyExitWatchMs = 5000;

// Starts a program on its own, not through a shell, with the given working folder; on Windows
// its window comes up maximised and activated and the argument text is passed unchanged.
// The program runs in a session of its own and outlives this one; it is never waited for.
// Its error output goes to a file of its own, and when it ends with a failure within
// EarlyExitWatchMs, onEarlyExit is called (on context's thread, while context lives) with the
// status and the last lines of that output. Returns why it could not be started; started gets
// its process id. onEnd is called (the same way) when it ends, however and whenever, within a
// second of its end.
std::optional<LaunchError> startProgram(const QString &program, const QString &arguments,
                                        const QString &workingFolder, QObject *context = nullptr,
                                        std::function<void(const EarlyExit &)> onEarlyExit = {},
                                        qint64 *started = nullptr, std::function<void()> onEnd = {});

} // namespace platform
