#include "file_check.h"

#include <QFileInfo>
#include <QHash>

namespace {

// For a file whose own folder is gone: the nearest folder above it that is there (an empty
// mount point, say), or the highest that is gone when none is (a drive letter not there).
// Empty when the file's own folder is there: the file alone is missing.
QString absentRoot(const QString &file)
{
    QString at = QFileInfo(file).absolutePath();
    if (QFileInfo(at).isDir())
        return {};
    for (;;) {
        const QString up = QFileInfo(at).absolutePath();
        if (up == at)
            return at;
        if (QFileInfo(up).isDir())
            return up;
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
    QHash<QString, int> absent;
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
        const QString root = absentRoot(file);
        if (root.isEmpty())
            continue;
        if (!absent.contains(root))
            order << root;
        ++absent[root];
    }
    for (const QString &folder : order) {
        const bool onlyMissing = std::none_of(present.begin(), present.end(),
                                              [&](const QString &file) { return under(file, folder); });
        if (absent.value(folder) >= 2 && onlyMissing)
            check.absentFolders.append({folder, absent.value(folder)});
    }
    return check;
}
