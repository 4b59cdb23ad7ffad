#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Talking to a running openMSX through the control socket every openMSX opens: on Unix
// $TMPDIR/openmsx-<user>/socket.<pid> (a folder only that user may enter), on Windows a TCP
// port on this computer written into %TEMP%\openmsx-default\socket.<pid>, where openMSX first
// asks who is there (SSPI Negotiate, as this user). Console commands go in as <command>
// elements, and each gets a <reply>.
namespace platform {

struct ControlReply
{
    bool ok = false;
    QString text;
};

// Sends the commands to the openMSX of that process and gives its replies, in order; nothing
// when no openMSX of this user's answers there within the time.
std::optional<QList<ControlReply>> sendToEmulator(qint64 pid, const QStringList &commands, int timeoutMs = 3000);

// A word as Tcl reads it back unchanged (a file name in a console command).
QString tclQuoted(const QString &word);

} // namespace platform
