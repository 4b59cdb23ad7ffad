#include "paths.h"

#include "file_lock.h"
#include "program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <climits>
#include <unistd.h>
#endif

namespace platform {

std::optional<QString> folderName(const QByteArray &nativePath)
{
    const QString name = QFile::decodeName(nativePath);
    if (QFile::encodeName(name) != nativePath)
        return std::nullopt;
    return name;
}

std::optional<QString> executableFolder()
{
#ifdef Q_OS_LINUX
    // The executable's own path, in the bytes the system has for it.
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n > 0 && n < ssize_t(sizeof buffer)) {
        QByteArray path(buffer, n);
        path.truncate(path.lastIndexOf('/'));
        if (path.isEmpty())
            path = "/";
        return folderName(path);
    }
#endif
    return QCoreApplication::applicationDirPath();
}

namespace {

// Copies what the template has and the folder has not; nothing there is replaced.
void copyMissing(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = QDir(from).relativeFilePath(source);
        // The software lists are read where they are installed, so that a newer package's
        // lists reach the user: they are not copied.
        if (relative.startsWith(QStringLiteral("hash/")))
            continue;
        const QString target = to + u'/' + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink()) {
            QFile::copy(source, target);
            // Installed files are read-only; the user's copies are the user's to change.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        }
    }
}

} // namespace

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
namespace {
// The XDG rules: a variable's folder when it is absolute (a relative one is to be ignored),
// else the default below the home folder.
QString xdgFolder(const char *variable, const QString &fallback, const QString &programName)
{
    const QString xdg = qEnvironmentVariable(variable);
    const QString base = QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + fallback;
    return QDir::cleanPath(base + u'/' + programName);
}
} // namespace
#endif

QString perUserFolder(const QString &programName)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"), programName);
#elif defined(Q_OS_WIN)
    // The user's roaming application data, as the user's documents are: %APPDATA%\tarumin.
    const QString roaming = qEnvironmentVariable("APPDATA");
    if (!roaming.isEmpty() && QDir::isAbsolutePath(roaming))
        return QDir::cleanPath(QDir::fromNativeSeparators(roaming) + u'/' + programName);
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + programName);
#else
    Q_UNUSED(programName);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#endif
}

QString perUserCacheFolder(const QString &programName)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return xdgFolder("XDG_CACHE_HOME", QStringLiteral("/.cache"), programName);
#else
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u'/' + programName);
#endif
}

namespace {

ProgramFolderChoice cannotCreate(ProgramFolderChoice choice, const QString &folder)
{
    choice.kind = ProgramFolderChoice::Kind::CannotCreate;
    choice.folder = folder;
    choice.system = lastSystemError();
    return choice;
}

// Moves what the seeded folder has and the user's folder has not into it, the data folder
// last: its arrival is what makes the folder seeded.
bool moveMissing(const QString &from, const QString &to)
{
    QStringList names = QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                             | QDir::NoDotAndDotDot);
    const QString data = QFileInfo(ProgramFolder(from).dataFolder()).fileName();
    names.removeAll(data);
    names << data;
    for (const QString &name : names) {
        const QString target = to + u'/' + name;
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        if (!QDir().rename(from + u'/' + name, target))
            return false;
    }
    return true;
}

} // namespace

ProgramFolderChoice chooseProgramFolder(const std::optional<QString> &executableFolder,
                                        const InstalledParts &parts)
{
    ProgramFolderChoice choice;
    if (!executableFolder) {
        choice.kind = ProgramFolderChoice::Kind::Unnameable;
        return choice;
    }
    if (QFileInfo(ProgramFolder(*executableFolder).dataFolder()).isDir()) {
        choice.kind = ProgramFolderChoice::Kind::Portable;
        choice.folder = *executableFolder;
        return choice;
    }

    choice.kind = ProgramFolderChoice::Kind::PerUser;
    choice.folder = QDir::cleanPath(parts.perUserFolder);
    const ProgramFolder folder(choice.folder);
    // Seeded once, all or nothing: the folder is built beside its place and renamed into it,
    // so that a start killed half way leaves no half-seeded folder. Once seeded, the folder is
    // the user's: what the user removes stays removed.
    const QFileInfo place(choice.folder);
    const QString parent = place.absolutePath();
    const QString lockPath = parent + QStringLiteral("/.") + place.fileName() + QStringLiteral(".seeding.lock");
    const QString building = parent + QStringLiteral("/.") + place.fileName() + QStringLiteral(".seeding");
    if (QFileInfo(folder.dataFolder()).exists()) {
        // A start killed between putting the folder in place and letting go of its lock left
        // the lock (and, completing an older folder, what it built): gone once nobody holds it.
        if (QFileInfo(lockPath).isFile() || QFileInfo(building).isDir()) {
            FileLock leftover(lockPath);
            if (leftover.lock(0) == FileLock::Result::Locked)
                QDir(building).removeRecursively();
        }
        return choice;
    }
    clearSystemError();
    if (!QDir().mkpath(parent))
        return cannotCreate(choice, parent);
    // One copy of the program seeds at a time; a second one waits and finds it done.
    FileLock lock(lockPath);
    lock.lock(10000);
    if (QFileInfo(folder.dataFolder()).exists())
        return choice;

    QDir(building).removeRecursively(); // what a killed start left
    clearSystemError();
    if (!QDir().mkpath(building))
        return cannotCreate(choice, building);
    const ProgramFolder seeded(building);
    if (QFileInfo(parts.templateFolder).isDir())
        copyMissing(parts.templateFolder, building);
    QDir().mkpath(seeded.dataFolder());
    if (!parts.adapter.isEmpty() && QFileInfo(parts.adapter).isFile())
        QFile::link(QFileInfo(parts.adapter).absoluteFilePath(), seeded.emulator());

    clearSystemError();
    // A folder already there (empty, or left half-seeded by an older version) is completed.
    const bool placed = QFileInfo::exists(choice.folder) ? moveMissing(building, choice.folder)
                                                         : QDir().rename(building, choice.folder);
    if (!placed) {
        const ProgramFolderChoice failed = cannotCreate(choice, choice.folder);
        QDir(building).removeRecursively();
        return failed;
    }
    QDir(building).removeRecursively();
    return choice;
}

QString joinPath(const QString &folder, const QString &relative)
{
#ifdef Q_OS_WIN
    return folder + relative;
#else
    QString rel = relative;
    rel.replace(u'\\', u'/');
    return folder + rel;
#endif
}

} // namespace platform
