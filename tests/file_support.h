#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Small file helpers shared by the tests.

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The lines of a CR LF file, each with its CR.
inline QList<QByteArray> linesOf(const QByteArray &data)
{
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// File permissions stop this process (root, like Windows, is not stopped by a read-only mode).
inline bool permissionsApply()
{
#ifdef Q_OS_UNIX
    return geteuid() != 0;
#else
    return false;
#endif
}
