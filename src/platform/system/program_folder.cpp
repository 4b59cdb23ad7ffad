#include "program_folder.h"

#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

// Relative paths are written the Windows way and joined as the program always joined them.
const QString Data = QStringLiteral("\\tarumin");
const QString Snapshots = QStringLiteral("\\tarumin\\snap");

constexpr qsizetype LongestSnapName = 1024;

} // namespace

QString ProgramFolder::dataFolder() const
{
    return joinPath(root_, Data);
}

QString ProgramFolder::catalogue() const
{
    return joinPath(root_, QStringLiteral("\\tarumin\\list.csv"));
}

QString ProgramFolder::snapshotFolder() const
{
    return joinPath(root_, Snapshots);
}

QString ProgramFolder::softwareLists() const
{
    return joinPath(root_, QStringLiteral("\\hash"));
}

QStringList ProgramFolder::softwareListFolders() const
{
    QStringList folders{softwareLists()};
    if (!sharedLists_.isEmpty() && QDir::cleanPath(sharedLists_) != QDir::cleanPath(softwareLists()))
        folders << sharedLists_;
    return folders;
}

QString ProgramFolder::emulator() const
{
    return joinPath(root_, QStringLiteral("\\mess.exe"));
}

QString ProgramFolder::copiedGames() const
{
    return joinPath(root_, QStringLiteral("\\games"));
}

QString ProgramFolder::picture(Picture picture) const
{
    switch (picture) {
    case Picture::StandBy: return joinPath(root_, QStringLiteral("\\tarumin\\image\\notimage.jpg"));
    case Picture::SwitchOff: return joinPath(root_, QStringLiteral("\\tarumin\\image\\swhich.gif"));
    case Picture::SwitchOn: return joinPath(root_, QStringLiteral("\\tarumin\\image\\swhich2.gif"));
    }
    return {};
}

QString ProgramFolder::sound(Sound sound) const
{
    switch (sound) {
    case Sound::Switch: return joinPath(root_, QStringLiteral("\\tarumin\\sound\\swich.wav"));
    case Sound::Nameplate: return joinPath(root_, QStringLiteral("\\tarumin\\sound\\doka.wav"));
    }
    return {};
}

QStringList ProgramFolder::snapshotCandidates(const QString &snapName) const
{
    if (snapName.size() > LongestSnapName)
        return {};
    const QString folder = QDir::cleanPath(snapshotFolder());
    QStringList files;
    for (const char *suffix : {".gif", ".png"}) {
        const QString path =
            QDir::cleanPath(joinPath(root_, Snapshots + u'\\' + snapName + QLatin1String(suffix)));
        if (!path.startsWith(folder + u'/'))
            return {};
        files << path;
    }
    // A PNG taken from the running game after the GIF was made is the newer picture.
    const QFileInfo gif(files[0]), png(files[1]);
    if (gif.exists() && png.exists() && png.lastModified() > gif.lastModified())
        files.swapItemsAt(0, 1);
    return files;
}

bool ProgramFolder::holdsDirectly(const QString &filePath) const
{
    const QString folder = QDir(QFileInfo(filePath).absolutePath()).canonicalPath();
    return !folder.isEmpty() && folder == QDir(root_).canonicalPath();
}

} // namespace platform
