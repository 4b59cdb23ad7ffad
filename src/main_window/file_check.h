#pragma once

#include <QList>
#include <QString>

// Which games' files are not there, looked at off the window's thread (a stat each, nothing
// read), and the folders whose games are all missing because the folder itself is gone (a
// drive not mounted, a library moved).
struct FileCheck
{
    QList<bool> missing; // a row each; a row that names no file is not missing
    struct AbsentFolder
    {
        QString folder;
        int games = 0;
    };
    QList<AbsentFolder> absentFolders; // at least two games each
};

FileCheck checkGameFiles(const QStringList &files);
