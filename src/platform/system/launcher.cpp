#include "launcher.h"

#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
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

std::optional<LaunchError> startProgram(const QString &program, const QString &arguments,
                                    const QString &workingFolder)
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

    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(workingFolder);
#ifdef Q_OS_WIN
    process.setNativeArguments(arguments);
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
    });
#else
    process.setArguments(splitCommandLine(arguments));
#endif
    clearSystemError();
    if (!process.startDetached())
        return LaunchError{LaunchError::Kind::StartFailed, lastSystemError(process.errorString())};
    return std::nullopt;
}

} // namespace platform
