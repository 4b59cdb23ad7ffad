#include "file_check.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

// For a file whose own folder is gone: the highest folder above it that is gone, and the
// nearest folder above that is there (an empty mount point, say; empty when none is, as for a
// drive letter not there). Nothing when the file's own folder is there: the file alone is
// missing.
struct Absent
{
    QString gone, there;
};
std::optional<Absent> absentFolder(const QString &file)
{
    QString at = QFileInfo(file).absolutePath();
    if (QFileInfo(at).isDir())
        return std::nullopt;
    for (;;) {
        const QString up = QFileInfo(at).absolutePath();
        if (up == at)
            return Absent{at, {}};
        if (QFileInfo(up).isDir())
            return Absent{at, up};
        at = up;
    }
}

bool under(const QString &file, const QString &folder)
{
    return file.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

} // namespace

FileCheck checkGameFiles(const QStringList &files)
{
    FileCheck check;
    check.missing.reserve(files.size());
    // Missing files grouped by the folder that is there above them.
    struct Group
    {
        int games = 0;
        QSet<QString> gone;
    };
    QHash<QString, Group> groups;
    QList<QString> order;
    QStringList present;
    for (const QString &file : files) {
        const bool missing = !file.isEmpty() && !QFileInfo::exists(file);
        check.missing << missing;
        if (!missing) {
            if (!file.isEmpty())
                present << file;
            continue;
        }
        const auto absent = absentFolder(file);
        if (!absent)
            continue;
        const QString key = absent->there.isEmpty() ? absent->gone : absent->there;
        if (!groups.contains(key))
            order << key;
        Group &group = groups[key];
        ++group.games;
        group.gone.insert(absent->gone);
    }
    for (const QString &key : order) {
        const Group &group = groups.value(key);
        const bool onlyMissing = std::none_of(present.begin(), present.end(),
                                              [&](const QString &file) { return under(file, key); });
        if (group.games >= 2 && onlyMissing)
            check.absentFolders.append({group.gone.size() == 1 ? *group.gone.begin() : key, group.games});
    }
    return check;
}

