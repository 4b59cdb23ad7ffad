#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the emulator adapter needs of the system: handing its process over to the emulator,
// telling whether a process still runs, and folders and links of the user's alone.
namespace platform {

// Runs program with the arguments in place of this process (Unix: exec, so that whoever
// started us started the emulator itself). On Windows the program is run, waited for, and its
// exit status returned. Returns only when it could not be started (127), or on Windows when it
// ended.
int handOver(const QString &program, const QStringList &arguments);

// Runs program with the arguments as this process's child and waits for its end, giving each
// line of its output (standard output and error together) to onLine as it comes. The child
// does not outlive this process (Linux). Returns its exit status; 127 when it could not be
// started, 1 when it crashed.
int runWatched(const QString &program, const QStringList &arguments, const std::function<void(const QByteArray &)> &onLine);

// The processes that process started and that still run.
QList<qint64> childProcesses(qint64 pid);

// Where an emulator of that name may be, in the order to look: the folder of this program, then
// PATH (and /usr/games), then on Windows %ProgramFiles%\<folder>; the paths that exist.
QStringList emulatorPlaces(const QString &name, const QString &folder);

// The emulator adapter that comes with the program (Windows: tarumin-openmsx.exe beside it),
// for a folder without a mess.exe of its own; empty where there is none.
QString bundledAdapter();

// Whether a process of that id is still running.
bool processRunning(qint64 pid);

// The folder for this user's private temporary things: $XDG_RUNTIME_DIR when it is a folder
// of this user's that no one else may enter, else the temporary folder (TMPDIR).
QString privateBase();

// Makes a new folder of an unpredictable name (base/prefix.XXXXXXXXXX, mode 0700) that only
// this user may enter; nothing when it cannot be made.
std::optional<QString> makePrivateFolder(const QString &base, const QString &prefix);

// Whether path is a folder of this user's, itself and not a link to one.
bool ownFolder(const QString &path);

// Makes link name the file target, so that what is written through it reaches the file
// (a symbolic link; on Windows a hard link).
bool linkFile(const QString &target, const QString &link);

} // namespace platform

namespace platform {
// Whether path is a plain file of this user's, itself and not a link to one.
bool ownFile(const QString &path);
}
