#include "paths.h"

#include "program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink()) {
            QFile::copy(source, target);
            // Installed files are read-only; the user's copies are the user's to change.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        }
    }
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
    clearSystemError();
    if (!QDir().mkpath(choice.folder)) {
        choice.kind = ProgramFolderChoice::Kind::CannotCreate;
        choice.system = lastSystemError();
        return choice;
    }
    const ProgramFolder folder(choice.folder);
    if (QFileInfo(folder.dataFolder()).exists())
        return choice; // seeded before: the folder is the user's now
    if (QFileInfo(parts.templateFolder).isDir())
        copyMissing(parts.templateFolder, choice.folder);
    else
        QDir().mkpath(folder.dataFolder());
    const QString emulator = folder.emulator();
    if (!parts.adapter.isEmpty() && QFileInfo(parts.adapter).isFile()
        && !QFileInfo::exists(emulator) && !QFileInfo(emulator).isSymLink())
        QFile::link(QFileInfo(parts.adapter).absoluteFilePath(), emulator);
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
