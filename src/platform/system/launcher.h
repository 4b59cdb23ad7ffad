#pragma once

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
// The program is not watched afterwards. Returns the reason when it could not be started.
std::optional<QString> startProgram(const QString &program, const QString &arguments,
                                    const QString &workingFolder);

} // namespace platform
