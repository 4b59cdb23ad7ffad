#pragma once

#include "system_error.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// Splits the argument part of a command line the way the Windows C runtime does: blanks and
// tabs separate arguments, double quotes group, backslashes before a quote escape it, and a
// trailing blank adds nothing.
QStringList splitCommandLine(const QString &arguments);

// Starts a program on its own, not through a shell, with the given working folder; on Windows
// its window comes up maximised and activated and the argument text is passed unchanged.
// The program is not watched afterwards. Returns why it could not be started.
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
std::optional<LaunchError> startProgram(const QString &program, const QString &arguments,
                                    const QString &workingFolder);

} // namespace platform
